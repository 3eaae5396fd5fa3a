// Tags on the command line: a folder of tagged files copied with renaming by description gets
// its names from the tags, and its result playlist describes and times every entry; --list gives
// each row's playing time as its seventh field; --no-tags leaves the names as the files had them.
#include "cli_fixture.h"

#include "support/audio_fixtures.h"

namespace clitest {
namespace {

TEST_F(CliTest, FolderCopyIsNamedAndDescribedFromTags) {
    drive.makeFolder("src");
    testsupport::encodeTone(
        drive.hostPath("src/a.ogg"),
        {.encoder = "vorbisenc ! oggmux", .tags = R"(artist="Кино",title=Star)", .buffers = 20});
    testsupport::encodeTone(drive.hostPath("src/b.flac"),
                            {.encoder = "flacenc", .tags = "artist=Band,title=Song", .buffers = 30});
    const CliResult listed = cli({"--list", "--flat", "--folder", "src", "out"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("Кино - Star\t" + drive.hostPath("src/a.ogg") + '\t' +
                              drive.hostPath("out/a.ogg") + "\tok\t\t\t0:02\n"),
              std::string::npos)
        << listed.out;
    EXPECT_NE(listed.out.find("\tok\t\t\t0:03\n"), std::string::npos) << listed.out;

    const CliResult tagged = cli({"--rename", "--number", "--flat", "--folder", "src", "out"});
    ASSERT_EQ(tagged.exitCode, 0) << tagged.err;
    EXPECT_EQ(testsupport::filesUnder(drive, "out"),
              (std::vector<std::string>{"0 Кино - Star.ogg", "1 Band - Song.flac", "_playlist_.m3u"}));
    EXPECT_EQ(drive.readFile("out/_playlist_.m3u"),
              "#EXTM3U\r\n#EXTINF:2,Кино - Star\r\n0 Кино - Star.ogg\r\n"
              "#EXTINF:3,Band - Song\r\n1 Band - Song.flac\r\n");

    const CliResult plain = cli({"--no-tags", "--rename", "--number", "--flat", "--folder", "src", "plain"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(testsupport::filesUnder(drive, "plain"),
              (std::vector<std::string>{"0 a.ogg", "1 b.flac", "_playlist_.m3u"}));
}

// A playlist's own description wins over the file's tags; --tags-win reverses that.
TEST_F(CliTest, PlaylistDescriptionWinsUnlessTagsWin) {
    drive.makeFolder("pl");
    testsupport::encodeTone(
        drive.hostPath("pl/a.ogg"),
        {.encoder = "vorbisenc ! oggmux", .tags = "artist=Band,title=Song", .buffers = 20});
    drive.writeFile("pl/list.m3u", "#EXTM3U\r\n#EXTINF:2,Playlist - Name\r\na.ogg\r\n");
    for (const auto& [flag, name] : {std::pair<const char*, const char*>{"--flat", "Playlist - Name.ogg"},
                                     {"--tags-win", "Band - Song.ogg"}}) {
        const CliResult result =
            cli({"--list", "--rename", "--flat", flag, "--playlist", "pl/list.m3u", "out"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.out.find(drive.hostPath("out/") + name), std::string::npos) << flag << "\n"
                                                                                     << result.out;
    }
}

} // namespace
} // namespace clitest
