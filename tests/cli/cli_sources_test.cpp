// Each source kind run end to end: the log on standard output, the files on disk and the bytes
// of the result playlist.
#include "cli_fixture.h"

namespace clitest {
namespace {

using testsupport::filesUnder;

struct CliSources : CliTest {
    CliSources() { writeLibrary(); }
};

// A playlist run with the default options: one source folder level kept, every line of the log
// as the progress page shows it, the copies, and a playlist with the descriptions.
TEST_F(CliSources, PlaylistIsCopiedWithItsDescriptions) {
    CliResult result = cli({"--playlist", "lib/list.m3u", "out"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, logText({
                              "Сканирование файлов списка ... ",
                              " Файлов: 3",
                              " Общий размер: 6000 байт",
                              "",
                              "Создание папок:",
                              "Создание папки \"<out>/Album\"",
                              "Создание папки \"<out>/Jazz\"",
                              "Копирование:",
                              "  Копирование -> <out>/Album/01 - Song.mp3 ...",
                              "  Копирование -> <out>/Album/Intro.ogg ...",
                              "  Копирование -> <out>/Jazz/solo.wav ...",
                              "",
                              "Копирование завершено.",
                              "Сохранение нового плейлиста: \"<out>/_playlist_.m3u\" ...",
                              "Скопировано: 3, пропущено: 0, с ошибками: 0, не найдено: 0",
                          }));
    EXPECT_EQ(filesUnder(drive, "out"),
              (std::vector<std::string>{"Album/", "Album/01 - Song.mp3", "Album/Intro.ogg", "Jazz/",
                                        "Jazz/solo.wav", "_playlist_.m3u"}));
    EXPECT_EQ(drive.readFile("out/Album/01 - Song.mp3"), drive.readFile(SongPath));
    EXPECT_EQ(drive.readFile("out/Album/Intro.ogg"), drive.readFile(IntroPath));
    EXPECT_EQ(drive.readFile("out/Jazz/solo.wav"), drive.readFile(SoloPath));
    const std::string playlist = playlistText({
        "#EXTM3U",
        "#EXTINF:215,Artist - Title",
        "Album/01 - Song.mp3",
        "#EXTINF:90,AC/DC: Back",
        "Album/Intro.ogg",
        "Jazz/solo.wav",
    });
    EXPECT_EQ(drive.readFile("out/_playlist_.m3u"), playlist);
}

// A folder source takes the audio files only, a folder's own files before its sub-folders,
// each folder in name order; here given by absolute host paths.
TEST_F(CliSources, FolderTreeIsWalkedForAudioFiles) {
    CliResult result = cli({"--folder", drive.hostRoot() + "/lib/", drive.hostRoot() + "/out", "--flat"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string transfers = logText({
        " Файлов: 3",
        " Общий размер: 6000 байт",
        "",
        "Создание папок:",
        "Создание папки \"<out>\"",
        "Копирование:",
        "  Копирование -> <out>/solo.wav ...",
        "  Копирование -> <out>/01 - Song.mp3 ...",
        "  Копирование -> <out>/Intro.ogg ...",
        "",
        "Копирование завершено.",
    });
    EXPECT_NE(result.out.find(transfers), std::string::npos) << result.out;
    EXPECT_EQ(filesUnder(drive, "out"),
              (std::vector<std::string>{"01 - Song.mp3", "Intro.ogg", "_playlist_.m3u", "solo.wav"}));
    EXPECT_EQ(drive.readFile("out/_playlist_.m3u"),
              playlistText({"#EXTM3U", "solo.wav", "01 - Song.mp3", "Intro.ogg"}));
}

// Picked files are taken as given, in order; one that is not there is counted by the scan and
// passed over, but keeps its line in the playlist, as in the wizard. The missing file makes the
// run end with 4 and counts in the summary.
TEST_F(CliSources, PickedFilesGoToTheFolderAfterTo) {
    CliResult result =
        cli({"--flat", "--files", SoloPath, "gone.mp3", drive.hostRoot() + "/" + IntroPath, "--to", "out"});
    ASSERT_EQ(result.exitCode, 4) << result.err;
    EXPECT_EQ(result.err, "Файл не найден: " + h("gone.mp3") + "\n");
    EXPECT_TRUE(result.out.ends_with("\nСкопировано: 2, пропущено: 0, с ошибками: 0, не найдено: 1\n"))
        << result.out;
    const std::string scan = logText({" Файлов: 3", " Общий размер: 3000 байт", " Файлов не найдено: 1"});
    EXPECT_NE(result.out.find(scan), std::string::npos) << result.out;
    const std::string transfers = logText({
        "Копирование:",
        "  Копирование -> <out>/solo.wav ...",
        "  Копирование -> <out>/Intro.ogg ...",
        "",
    });
    EXPECT_NE(result.out.find(transfers), std::string::npos) << result.out;
    EXPECT_EQ(filesUnder(drive, "out"),
              (std::vector<std::string>{"Intro.ogg", "_playlist_.m3u", "solo.wav"}));
    EXPECT_EQ(drive.readFile("out/_playlist_.m3u"),
              playlistText({"#EXTM3U", "solo.wav", "gone.mp3", "Intro.ogg"}));
}

} // namespace
} // namespace clitest
