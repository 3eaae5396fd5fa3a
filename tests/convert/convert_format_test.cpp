#include "convert/conversion_choice.h"
#include "convert/convert_format.h"
#include "convert/device_formats.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using convert::BitrateMode;
using convert::ConvertFormat;
using convert::ConvertTarget;

// The command line's spellings read into the format they name, and back into one text.
TEST(ParseConvertFormat, ReadsEachSpellingAndWritesItBack) {
    struct Case {
        std::string text;
        ConvertFormat format{};
        std::string written{};
    };
    const Case cases[] = {
        {"mp3", {.target = ConvertTarget::Mp3, .quality = 2}, "mp3:v2"},
        {"MP3:V0", {.target = ConvertTarget::Mp3, .quality = 0}, "mp3:v0"},
        {"mp3:v9", {.target = ConvertTarget::Mp3, .quality = 9}, "mp3:v9"},
        {"mp3:128", {.target = ConvertTarget::Mp3, .mode = BitrateMode::Constant, .quality = 128}, "mp3:128"},
        {"mp3:192", {.target = ConvertTarget::Mp3, .mode = BitrateMode::Constant, .quality = 192}, "mp3:192"},
        {"mp3:320", {.target = ConvertTarget::Mp3, .mode = BitrateMode::Constant, .quality = 320}, "mp3:320"},
        {"ogg", {.target = ConvertTarget::Vorbis, .quality = 5}, "ogg:q5"},
        {"ogg:q6", {.target = ConvertTarget::Vorbis, .quality = 6}, "ogg:q6"},
        {"ogg:6", {.target = ConvertTarget::Vorbis, .quality = 6}, "ogg:q6"},
        {"ogg:0", {.target = ConvertTarget::Vorbis, .quality = 0}, "ogg:q0"},
        {"Ogg:Q10", {.target = ConvertTarget::Vorbis, .quality = 10}, "ogg:q10"},
        {"opus", {.target = ConvertTarget::Opus, .quality = 128}, "opus:128"},
        {"opus:64", {.target = ConvertTarget::Opus, .quality = 64}, "opus:64"},
        {"opus:96", {.target = ConvertTarget::Opus, .quality = 96}, "opus:96"},
        {"opus:256", {.target = ConvertTarget::Opus, .quality = 256}, "opus:256"},
    };
    for (const Case& c : cases) {
        const std::optional<ConvertFormat> format = convert::parseConvertFormat(c.text);
        ASSERT_TRUE(format.has_value()) << c.text;
        EXPECT_EQ(*format, c.format) << c.text;
        EXPECT_EQ(convert::formatText(*format), c.written) << c.text;
        EXPECT_EQ(convert::parseConvertFormat(c.written), format) << c.written;
    }
}

// Anything out of range or misspelt is refused, never clamped.
TEST(ParseConvertFormat, RefusesTextsOutOfRange) {
    const char* const refused[] = {
        "",        "mp4",     "vorbis",   "mp3:",     "mp3:v10",  "mp3:v",   "mp3:v-1",  "mp3:-2",
        "mp3:200", "mp3:96",  "mp3:640",  "mp3:1920", "mp3: v2",  "mp3:v2 ", " mp3",     "mp3:v2:1",
        "ogg:11",  "ogg:q",   "ogg:q-1",  "ogg:1.5",  "ogg:qq5",  "opus:63", "opus:257", "opus:0",
        "opus:",   "opus:v2", "opus:+96", "mp3:0192", "ogg:q010", ":192",
    };
    for (const char* text : refused) {
        EXPECT_EQ(convert::parseConvertFormat(text), std::nullopt) << text;
    }
}

// A format built by hand holds only what the command line could name.
TEST(IsValidFormat, RefusesWhatNoTextNames) {
    const ConvertFormat refused[] = {
        {.target = ConvertTarget::Mp3, .quality = 10},
        {.target = ConvertTarget::Mp3, .quality = -1},
        {.target = ConvertTarget::Mp3, .mode = BitrateMode::Constant, .quality = 200},
        {.target = ConvertTarget::Mp3, .mode = BitrateMode::Constant, .quality = 2},
        {.target = ConvertTarget::Vorbis, .quality = 11},
        {.target = ConvertTarget::Vorbis, .mode = BitrateMode::Constant, .quality = 5},
        {.target = ConvertTarget::Opus, .quality = 300},
        {.target = ConvertTarget::Opus, .mode = BitrateMode::Constant, .quality = 128},
    };
    for (const ConvertFormat& format : refused) {
        EXPECT_FALSE(convert::isValidFormat(format)) << convert::formatText(format);
    }
    for (auto target : {ConvertTarget::Mp3, ConvertTarget::Vorbis, ConvertTarget::Opus}) {
        EXPECT_TRUE(convert::isValidFormat(convert::defaultFormat(target)));
    }
}

TEST(ConvertTarget, NamesAndExtensions) {
    EXPECT_EQ(convert::targetExtension(ConvertTarget::Mp3), ".mp3");
    EXPECT_EQ(convert::targetExtension(ConvertTarget::Vorbis), ".ogg");
    EXPECT_EQ(convert::targetExtension(ConvertTarget::Opus), ".opus");
    EXPECT_EQ(convert::targetName(ConvertTarget::Mp3), "MP3");
    EXPECT_EQ(convert::targetName(ConvertTarget::Vorbis), "Ogg Vorbis");
    EXPECT_EQ(convert::targetName(ConvertTarget::Opus), "Opus");
}

// A fixed bitrate times the length; a quality level through its typical average bitrate.
TEST(EstimatedBytes, BitrateTimesLength) {
    struct Case {
        std::string format;
        int64_t lengthMs = 0;
        int64_t bytes = 0;
    };
    const Case cases[] = {
        {"mp3:128", 60'000, 960'000},
        {"mp3:320", 1'000, 40'000},
        {"opus:96", 240'000, 2'880'000},
        {"mp3:v0", 60'000, 1'837'500},
        {"mp3:v2", 60'000, 1'425'000},
        {"mp3:v9", 60'000, 487'500},
        {"ogg:q0", 60'000, 480'000},
        {"ogg:q5", 60'000, 1'200'000},
        {"ogg:q10", 60'000, 3'750'000},
        {"mp3:192", 0, 0},
        {"mp3:192", -5, 0},
        {"mp3:192", 1, 24},
        // Ten hours at the highest rate stays far inside the range.
        {"ogg:q10", 36'000'000, 2'250'000'000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convert::estimatedBytes(*convert::parseConvertFormat(c.format), c.lengthMs), c.bytes)
            << c.format << " " << c.lengthMs;
    }
}

// A better level never estimates smaller than a worse one.
TEST(EstimatedBytes, GrowsWithQuality) {
    for (int level = 1; level <= 9; ++level) {
        const ConvertFormat better{.target = ConvertTarget::Mp3, .quality = level - 1};
        const ConvertFormat worse{.target = ConvertTarget::Mp3, .quality = level};
        EXPECT_GT(convert::estimatedBytes(better, 1000), convert::estimatedBytes(worse, 1000)) << level;
    }
    for (int level = 1; level <= 10; ++level) {
        const ConvertFormat better{.target = ConvertTarget::Vorbis, .quality = level};
        const ConvertFormat worse{.target = ConvertTarget::Vorbis, .quality = level - 1};
        EXPECT_GT(convert::estimatedBytes(better, 1000), convert::estimatedBytes(worse, 1000)) << level;
    }
}

// Letter case and the dot do not matter; an extension covers only itself.
TEST(PlayedByDevice, MatchesExtensionsOfTheProfile) {
    const auto car = convert::playedExtensions(convert::DeviceProfile::CarStereo);
    const auto phone = convert::playedExtensions(convert::DeviceProfile::Phone);
    struct Case {
        std::string extension;
        bool onCar = false;
        bool onPhone = false;
    };
    const Case cases[] = {
        {".mp3", true, true},   {"MP3", true, true},    {".Mp3", true, true},   {".flac", false, true},
        {".FLAC", false, true}, {"ogg", false, true},   {".opus", false, true}, {".m4a", false, true},
        {".aac", false, true},  {".mp4", false, false}, {".wav", false, false}, {".wma", false, false},
        {"", false, false},     {".", false, false},    {"mp", false, false},   {".mp3.", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convert::playedByDevice(c.extension, car), c.onCar) << c.extension;
        EXPECT_EQ(convert::playedByDevice(c.extension, phone), c.onPhone) << c.extension;
    }
    EXPECT_FALSE(convert::playedByDevice(".mp3", {}));
    EXPECT_TRUE(convert::playedByDevice(".ogg", {".OGG"}));
}

TEST(ParseExtensionList, ReadsTypedLists) {
    using List = std::vector<std::string>;
    const std::pair<std::string, std::optional<List>> cases[] = {
        {"mp3,M4A, .ogg", List{"mp3", "m4a", "ogg"}},
        {" mp3 ; flac\twav ", List{"mp3", "flac", "wav"}},
        {"mp3,,mp3,.MP3", List{"mp3"}},
        {"", List{}},
        {" , ", List{}},
        {"mp3,.", std::nullopt},
        {"mp3,*.ogg", std::nullopt},
        {"mp3/ogg", std::nullopt},
        {"..mp3", std::nullopt},
        {"мп3", std::nullopt},
    };
    for (const auto& [text, list] : cases) {
        EXPECT_EQ(convert::parseExtensionList(text), list) << text;
    }
}

} // namespace

namespace {

// Which files a choice converts: only sound, only with a format chosen, and with "only what the
// device does not play" only the extensions the device lacks; the name takes the new extension.
TEST(ConversionChoice, PicksTheFilesAndNamesTheirCopies) {
    const convert::ConversionChoice off{};
    const convert::ConversionChoice all{.format = convert::defaultFormat(ConvertTarget::Mp3)};
    const convert::ConversionChoice car{.format = convert::defaultFormat(ConvertTarget::Mp3),
                                        .which = convert::ConvertWhich::Unplayable,
                                        .played =
                                            convert::playedExtensions(convert::DeviceProfile::CarStereo)};
    struct Case {
        std::string path;
        bool byOff, byAll, byCar;
    };
    const Case cases[] = {
        {"D:\\Music\\a.flac", false, true, true},       {"D:\\Music\\a.FLAC", false, true, true},
        {"D:\\Music\\a.mp3", false, true, false},       {"D:\\Music\\a.m4a", false, true, true},
        {"D:\\Music\\cover.jpg", false, false, false},  {"D:\\Music\\list.m3u", false, false, false},
        {"D:\\Music.flac\\noext", false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convert::convertsFile(off, c.path), c.byOff) << c.path;
        EXPECT_EQ(convert::convertsFile(all, c.path), c.byAll) << c.path;
        EXPECT_EQ(convert::convertsFile(car, c.path), c.byCar) << c.path;
    }
    EXPECT_EQ(convert::convertedName("D:\\dst\\01 Song.flac", ConvertTarget::Mp3), "D:\\dst\\01 Song.mp3");
    EXPECT_EQ(convert::convertedName("D:\\d.x\\Song", ConvertTarget::Opus), "D:\\d.x\\Song.opus");
    EXPECT_EQ(convert::convertedName("D:\\dst\\a.b.wav", ConvertTarget::Vorbis), "D:\\dst\\a.b.ogg");
    EXPECT_EQ(convert::conversionWorkers({.jobs = 3}), 3U);
    EXPECT_GE(convert::conversionWorkers({}), 1U);
}

} // namespace
