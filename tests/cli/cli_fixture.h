// The end-to-end tests' fixture: a temporary folder with a small music library, the program
// run with that folder as its current folder, and the program paths it gives the files there.
// The program runs with its default drive table, so a host path /x/y is Z:\x\y to it.
#pragma once

#include "cli_process.h"

#include "support/file_checks.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace clitest {

// The library that writeLibrary() makes below lib/, with the sizes of its three tracks.
inline constexpr const char* SongPath = "lib/Rock/Band/Album/01 - Song.mp3"; // 3000 bytes
inline constexpr const char* IntroPath = "lib/Rock/Band/Album/Intro.ogg";    // 2000 bytes
inline constexpr const char* SoloPath = "lib/Jazz/solo.wav";                 // 1000 bytes
// lib/list.m3u lists the three in that order, with CR LF line ends: the song as
// "Artist - Title" (215 s), the intro as "AC/DC: Back" (90 s), the solo without a description.

struct CliTest : ::testing::Test {
    testsupport::TempDrive drive{'T'};

    // The program path of a file or folder of the fixture ("" for the fixture's folder).
    std::string z(std::string_view relative = {}) const;
    // Its host path, as the program shows it.
    std::string h(std::string_view relative = {}) const;
    // Runs the program in the fixture's folder.
    CliResult cli(const std::vector<std::string>& args, CliOptions options = {}) const;
    CliOptions inFixture(CliOptions options = {}) const;
    // The lines, each ended by LF (a log) or CR LF (a playlist), with every "<out>" replaced
    // by h("out").
    std::string logText(std::initializer_list<std::string_view> lines) const;
    std::string playlistText(std::initializer_list<std::string_view> lines) const;

    void writeLibrary() const;
    // `count` files many/track NNN.mp3 of 1000 bytes each.
    void writeManyTracks(int count) const;
    // Every file below `folder` other than hidden ones has the bytes of the source file of the
    // same name in `sourceFolder`; the names found, sorted.
    std::vector<std::string> checkCopiesOf(std::string_view sourceFolder, std::string_view folder) const;
};

// Every file below a host folder, hidden ones too, by its path there ("a/b.mp3"), sorted.
std::vector<std::string> filesBelow(const std::string& hostFolder);

} // namespace clitest
