#include "sources/tag_cache.h"

#include "support/fake_tag_reader.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using sources::FileStamp;
using sources::TagCache;
using sources::TrackTags;

class TagCacheTest : public testing::Test {
protected:
    TagCacheTest() { drive.makeFolder("Settings"); }

    // A saved cache of two entries: every field, and a file that gave no tags.
    void saveTwo() {
        TagCache cache("D:\\Settings");
        cache.store("D:\\a.mp3", stampA, full);
        cache.store("D:\\b.mp3", stampB, reasonOnly);
        ASSERT_TRUE(cache.save());
    }

    testsupport::TempDrive drive{'D'};
    const TrackTags full{.artist = "Кино",
                         .title = "",
                         .album = "Группа крови",
                         .track = 3,
                         .disc = 2,
                         .year = 1988,
                         .lengthMs = int64_t{1} << 40,
                         .bitrate = 320,
                         .sampleRate = 44100,
                         .channels = 2};
    const TrackTags reasonOnly{.noTagsReason = "формат не распознан"};
    const FileStamp stampA{1234, 1'700'000'000'123'456'789};
    const FileStamp stampB{0, -1};
};

// What is stored comes back field for field after a save, for the same stamp only.
TEST_F(TagCacheTest, SavedEntriesComeBackWhileTheirStampHolds) {
    saveTwo();
    TagCache cache("D:\\Settings");
    ASSERT_EQ(cache.size(), 2u);
    ASSERT_NE(cache.find("D:\\a.mp3", stampA), std::nullopt);
    EXPECT_EQ(*cache.find("D:\\a.mp3", stampA), full);
    ASSERT_NE(cache.find("D:\\b.mp3", stampB), std::nullopt);
    EXPECT_EQ(*cache.find("D:\\b.mp3", stampB), reasonOnly);
    EXPECT_EQ(cache.find("D:\\a.mp3", {1234, stampA.modifiedTime + 1}), std::nullopt);
    EXPECT_EQ(cache.find("D:\\a.mp3", {1235, stampA.modifiedTime}), std::nullopt);
    EXPECT_EQ(cache.find("D:\\A.mp3", stampA), std::nullopt);
}

// A file damaged in any way, or of another version, reads as empty, and the next save replaces it.
TEST_F(TagCacheTest, DamagedFileReadsAsEmpty) {
    saveTwo();
    const std::string good = drive.readFile("Settings/tags.cache");
    const std::pair<const char*, std::function<std::string(std::string)>> damages[] = {
        {"payload byte", [](std::string b) { return b.replace(40, 1, 1, static_cast<char>(b.at(40) ^ 1)); }},
        {"version", [](std::string b) { return b.replace(8, 1, 1, '\x02'); }},
        {"magic", [](std::string b) { return b.replace(0, 1, "X"); }},
        {"cut short", [](std::string b) { return b.substr(0, b.size() - 1); }},
        {"header only", [](std::string b) { return b.substr(0, 20); }},
        {"stray bytes", [](std::string b) { return b + "x"; }},
        {"empty", [](std::string) { return std::string(); }},
    };
    for (const auto& [name, damage] : damages) {
        drive.writeFile("Settings/tags.cache", damage(good));
        TagCache cache("D:\\Settings");
        EXPECT_EQ(cache.size(), 0u) << name;
        cache.store("D:\\c.mp3", stampA, full);
        ASSERT_TRUE(cache.save());
        EXPECT_EQ(TagCache("D:\\Settings").size(), 1u) << name;
    }
}

} // namespace
