#include "sources/source_paths.h"

#include <gtest/gtest.h>

namespace {

// Runs of backslashes from the start position on shrink to one; the characters before it
// stay, so a network path keeps its leading pair.
TEST(CollapseBackslashes, ShrinksRunsFromTheStartPosition) {
    const struct {
        const char* path;
        int start;
        const char* expected;
    } cases[] = {
        {R"(\\server\\share\\\a.mp3)", 3, R"(\\server\share\a.mp3)"},
        {R"(D:\Music\\\a.mp3)", 3, R"(D:\Music\a.mp3)"},
        {R"(D:\\a.mp3)", 3, R"(D:\a.mp3)"},
        {R"(\\\a)", 1, R"(\a)"},
        {R"(\\\a)", 2, R"(\a)"},
        {R"(a\\)", 3, R"(a\)"},
        {"", 3, ""},
        {"ab", 3, "ab"},
        {R"(a\\b)", 9, R"(a\\b)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sources::CollapseBackslashes(c.path, c.start), c.expected) << c.path << " from " << c.start;
    }
}

TEST(StripTrailingBackslashes, RemovesEveryTrailingBackslash) {
    EXPECT_EQ(sources::StripTrailingBackslashes(R"(D:\Music\\)"), R"(D:\Music)");
    EXPECT_EQ(sources::StripTrailingBackslashes(R"(D:\)"), "D:");
    EXPECT_EQ(sources::StripTrailingBackslashes(R"(\\\)"), "");
    EXPECT_EQ(sources::StripTrailingBackslashes(R"(D:\Music)"), R"(D:\Music)");
}

TEST(TrimControlChars, RemovesCodesUpTo32AtBothEnds) {
    EXPECT_EQ(sources::trimControlChars(std::string("\0\t a b \r\x1f", 9)), "a b");
    EXPECT_EQ(sources::trimControlChars(" \t "), "");
    EXPECT_EQ(sources::trimControlChars("\xA0x\xA0"), "\xA0x\xA0") << "bytes above 32 stay";
}

// The folder that relative playlist lines are joined to.
TEST(PlaylistFolder, KeepsTheBackslashOnlyAfterAColonOrBackslash) {
    const std::pair<const char*, const char*> cases[] = {
        {R"(D:\Lists\a.m3u)", R"(D:\Lists)"},
        {R"(D:\a.m3u)", R"(D:\)"},
        {"D:a.m3u", "D:"},
        {"a.m3u", ""},
        {R"(\\server\share\a.m3u)", R"(\\server\share)"},
        {R"(D:\Lists\\a.m3u)", R"(D:\Lists\\)"},
        {"D:/Lists/a.m3u", R"(D:\Lists)"},
    };
    for (const auto& [path, folder] : cases) {
        EXPECT_EQ(sources::playlistFolderOf(path), folder) << path;
    }
}

} // namespace
