// Conversion on the command line: --convert with --convert-only-unplayable and --jobs writes what
// the device does not play as MP3 under the new names, the list says so beforehand, and an
// encoder that is not installed stops the run before anything is written, naming its package.
#include "cli_fixture.h"

#include "support/audio_fixtures.h"

#include <filesystem>

namespace clitest {
namespace {

TEST_F(CliTest, ConvertsWhatTheDeviceDoesNotPlay) {
    drive.makeFolder("src");
    testsupport::encodeTone(drive.hostPath("src/a.flac"),
                            {.encoder = "flacenc", .tags = "artist=Band,title=Song", .buffers = 20});
    testsupport::encodeTone(drive.hostPath("src/b.ogg"), {.encoder = "vorbisenc ! oggmux", .buffers = 20});
    testsupport::encodeTone(drive.hostPath("src/c.mp3"), {.encoder = "lamemp3enc ! id3v2mux", .buffers = 20});
    const std::vector<std::string> convert = {"--convert", "mp3:v4", "--convert-only-unplayable",
                                              "mp3,ogg",   "--jobs", "2"};

    std::vector<std::string> args = convert;
    args.insert(args.end(), {"--list", "--flat", "--folder", "src", "out"});
    const CliResult listed = cli(args);
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find(drive.hostPath("out/a.mp3") + "\tok\t\tбудет преобразован в MP3\t0:02\n"),
              std::string::npos)
        << listed.out;
    EXPECT_NE(listed.out.find(drive.hostPath("out/b.ogg") + "\tok\t\t\t0:02\n"), std::string::npos)
        << listed.out;

    args = convert;
    args.insert(args.end(), {"--rename", "--flat", "--folder", "src", "out"});
    const CliResult run = cli(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(testsupport::filesUnder(drive, "out"),
              (std::vector<std::string>{"Band - Song.mp3", "_playlist_.m3u", "b.ogg", "c.mp3"}));
    EXPECT_NE(run.out.find("  Преобразование -> " + drive.hostPath("out/Band - Song.mp3") + " ...\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("; из них преобразовано: 1\n"), std::string::npos) << run.out;
    EXPECT_NE(drive.readFile("out/_playlist_.m3u").find("#EXTINF:2,Band - Song\r\nBand - Song.mp3\r\n"),
              std::string::npos);
}

// Without the plugin that holds opusenc the encoder is missing: one line names the element and
// its Debian package, the run does not start and nothing is made at the destination.
TEST_F(CliTest, MissingEncoderIsToldBeforeTheRun) {
    drive.makeFolder("src");
    drive.makeFolder("plugins");
    testsupport::encodeTone(drive.hostPath("src/a.wav"), {.encoder = "wavenc", .buffers = 5});
    for (const auto& plugin : std::filesystem::directory_iterator(GST_PLUGINS_DIR)) {
        if (plugin.path().filename() != "libgstopus.so") {
            std::filesystem::create_symlink(plugin.path(), drive.hostPath("plugins") + "/" +
                                                               plugin.path().filename().string());
        }
    }
    CliOptions options;
    options.environment = {"GST_PLUGIN_SYSTEM_PATH_1_0=" + drive.hostPath("plugins"),
                           "GST_REGISTRY_1_0=" + drive.hostPath("registry.bin")};
    const CliResult run = cli({"--convert", "opus", "--flat", "--folder", "src", "out"}, options);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "Для преобразования в Opus не установлен модуль GStreamer \"opusenc\": установите пакет "
              "gstreamer1.0-plugins-base\n");
    EXPECT_FALSE(drive.exists("out"));

    // The same files convert into a format whose plugins are there.
    const CliResult vorbis = cli({"--convert", "ogg", "--flat", "--folder", "src", "out"}, options);
    EXPECT_EQ(vorbis.exitCode, 0) << vorbis.err;
    EXPECT_TRUE(drive.exists("out/a.ogg"));
}

} // namespace
} // namespace clitest
