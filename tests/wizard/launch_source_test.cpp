#include "wizard/launch_source.h"

#include <gtest/gtest.h>

namespace {

using Paths = std::vector<std::string>;

// One folder, one playlist (either case, .m3u8 too), or files; folders among several paths
// are left out of the picked files.
TEST(LaunchSourceFor, FolderPlaylistOrFiles) {
    const auto isFolder = [](const std::string& path) { return path.back() == '\\'; };
    const struct {
        Paths given;
        int32_t kind;
        std::string path;
        Paths files;
    } cases[] = {
        {{"D:\\Music\\"}, 2, "D:\\Music\\", {}},
        {{"D:\\Лето.M3U"}, 1, "D:\\Лето.M3U", {}},
        {{"D:\\a.m3u8"}, 1, "D:\\a.m3u8", {}},
        {{"D:\\a.mp3"}, 3, "", {"D:\\a.mp3"}},
        {{"D:\\a.mp3", "D:\\b.m3u", "D:\\Music\\"}, 3, "", {"D:\\a.mp3", "D:\\b.m3u"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given.front());
        const auto source = wizard::launchSourceFor(c.given, isFolder);
        ASSERT_TRUE(source.has_value());
        EXPECT_EQ(source->kind, c.kind);
        EXPECT_EQ(source->path, c.path);
        EXPECT_EQ(source->files, c.files);
    }
    EXPECT_FALSE(wizard::launchSourceFor({}, isFolder).has_value());
}

} // namespace
