#include "cli_fixture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace clitest {

std::string CliTest::z(std::string_view relative) const {
    std::string path = "Z:" + drive.hostRoot();
    if (!relative.empty()) {
        path += "/" + std::string(relative);
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::string CliTest::h(std::string_view relative) const {
    return relative.empty() ? drive.hostRoot() : drive.hostRoot() + "/" + std::string(relative);
}

CliOptions CliTest::inFixture(CliOptions options) const {
    options.folder = drive.hostRoot();
    return options;
}

CliResult CliTest::cli(const std::vector<std::string>& args, CliOptions options) const {
    return runCli(args, inFixture(options));
}

namespace {

std::string joinLines(std::initializer_list<std::string_view> lines, std::string_view end,
                      const std::string& out) {
    std::string joined;
    for (std::string_view line : lines) {
        for (size_t at = line.find("<out>"); at != std::string_view::npos; at = line.find("<out>")) {
            joined += line.substr(0, at);
            joined += out;
            line.remove_prefix(at + 5);
        }
        joined += line;
        joined += end;
    }
    return joined;
}

} // namespace

std::string CliTest::logText(std::initializer_list<std::string_view> lines) const {
    return joinLines(lines, "\n", h("out"));
}

std::string CliTest::playlistText(std::initializer_list<std::string_view> lines) const {
    return joinLines(lines, "\r\n", h("out"));
}

void CliTest::writeLibrary() const {
    drive.writeFile(SongPath, testsupport::patternBytes(3000, 1));
    drive.writeFile(IntroPath, testsupport::patternBytes(2000, 2));
    drive.writeFile(SoloPath, testsupport::patternBytes(1000, 3));
    drive.writeFile("lib/notes.txt", "not music");
    drive.writeFile("lib/list.m3u", "#EXTM3U\r\n"
                                    "#EXTINF:215,Artist - Title\r\n"
                                    "Rock/Band/Album/01 - Song.mp3\r\n"
                                    "#EXTINF:90,AC/DC: Back\r\n"
                                    "Rock\\Band\\Album\\Intro.ogg\r\n"
                                    "Jazz/solo.wav\r\n");
}

void CliTest::writeManyTracks(int count) const {
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "many/track %03d.mp3", i);
        drive.writeFile(name, testsupport::patternBytes(1000, static_cast<unsigned>(i)));
    }
}

std::vector<std::string> CliTest::checkCopiesOf(std::string_view sourceFolder,
                                                std::string_view folder) const {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    for (const std::string& relative : testsupport::filesUnder(drive, folder)) {
        std::string name = fs::path(relative).filename().string();
        if (relative.ends_with("/") || name.starts_with(".")) {
            continue;
        }
        EXPECT_EQ(drive.readFile(std::string(folder) + "/" + relative),
                  drive.readFile(std::string(sourceFolder) + "/" + name))
            << relative;
        names.push_back(relative);
    }
    return names;
}

std::vector<std::string> filesBelow(const std::string& hostFolder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(hostFolder)) {
        if (entry.is_regular_file()) {
            names.push_back(std::filesystem::relative(entry.path(), hostFolder).string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace clitest
