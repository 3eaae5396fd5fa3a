#include "sources/track_description.h"

#include "support/fake_tag_reader.h"

#include <gtest/gtest.h>

namespace {

using sources::TrackTags;

const TrackTags full{
    .artist = "Кино", .title = "Звезда", .album = "Группа крови", .track = 3, .disc = 2, .year = 1988};

// Placeholders filled, unknown ones and plain text kept, and missing fields taking the text
// before them along, so that no description starts or ends with a dangling separator.
TEST(DescribeTrack, FillsTheFormatFromTheTags) {
    struct Case {
        TrackTags tags;
        std::string format;
        std::string expected;
    };
    const TrackTags titleOnly{.title = "Звезда"};
    const TrackTags artistOnly{.artist = "Кино"};
    const TrackTags noAlbum{.artist = "Кино", .title = "Звезда", .track = 12};
    const TrackTags propertiesOnly{.lengthMs = 1000, .sampleRate = 44100};
    const Case cases[] = {
        {full, sources::DefaultDescriptionFormat, "Кино - Звезда"},
        {full, "%track%. %artist% - %title% (%album%, %year%) CD%disc%",
         "03. Кино - Звезда (Группа крови, 1988) CD2"},
        {full, "%filename%", "03 Star"},
        {full, "%ARTIST% 100% %nope% %title%", "%ARTIST% 100% %nope% Звезда"},
        {full, "  %artist%  ", "Кино"},
        {titleOnly, sources::DefaultDescriptionFormat, "Звезда"},
        {artistOnly, sources::DefaultDescriptionFormat, "Кино"},
        {noAlbum, "%track%. %artist% - %album% - %title%", "12. Кино - Звезда"},
        {noAlbum, "%artist% - %title% [%album%]", "Кино - Звезда"},
        {titleOnly, "(%year%) %title%", "Звезда"},
        {propertiesOnly, sources::DefaultDescriptionFormat, ""},
        {propertiesOnly, "%artist% %filename%", ""},
        {propertiesOnly, "%filename% live", "03 Star live"},
        {propertiesOnly, "Без названия", "Без названия"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sources::describeTrack(c.tags, c.format, "D:\\Music\\03 Star.mp3"), c.expected) << c.format;
    }
}

// The name without folder and extension, whichever separator and however many dots.
TEST(DescribeTrack, FileNameLosesFolderAndExtensionOnly) {
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\a.b\\x.y.flac", "x.y"}, {"D:\\noext", "noext"}, {"D:\\.hidden", ".hidden"}, {"a/b/c.ogg", "c"}};
    for (const auto& [path, name] : cases) {
        EXPECT_EQ(sources::describeTrack({}, "%filename%", path), name) << path;
    }
}

TEST(LengthSecondsOf, RoundsToTheNearestSecond) {
    const std::pair<std::optional<int64_t>, int> cases[] = {{std::nullopt, -1}, {0, 0},    {499, 0},
                                                            {500, 1},           {1499, 1}, {183'500, 184}};
    for (const auto& [ms, seconds] : cases) {
        EXPECT_EQ(sources::lengthSecondsOf(TrackTags{.lengthMs = ms}), seconds) << ms.value_or(-1);
    }
}

} // namespace
