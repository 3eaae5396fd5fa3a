#include "platform/drives.h"
#include "platform/host_names.h"
#include "platform/shown_paths.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testsupport::TempDrive;

// A program path shows as the host path it names: Z: is the host root, a mounted drive its
// folder, stand-ins turn back into the host characters, and text that names no drive stays.
TEST(ShownPath, ShowsTheHostPathOfAProgramPath) {
    TempDrive drive('D');
    const std::string colonName = platform::programNameOfHostName("Live: Moscow 1999");
    struct Case {
        std::string program;
        std::string shown;
    } cases[] = {
        {.program = "Z:\\home\\ann\\a.mp3", .shown = "/home/ann/a.mp3"},
        {.program = "z:/home/ann/./b/../a.mp3", .shown = "/home/ann/a.mp3"},
        {.program = "Z:\\", .shown = "/"},
        {.program = "D:\\Music\\a.mp3", .shown = drive.hostRoot() + "/Music/a.mp3"},
        {.program = "D:\\", .shown = drive.hostRoot()},
        {.program = "D:\\" + colonName + "\\02 Intro.mp3",
         .shown = drive.hostRoot() + "/Live: Moscow 1999/02 Intro.mp3"},
        {.program = "Q:\\nowhere\\a.mp3", .shown = "Q:\\nowhere\\a.mp3"},
        {.program = "\\\\server\\share\\a.mp3", .shown = "\\\\server\\share\\a.mp3"},
        {.program = "", .shown = ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::shownPath(c.program), c.shown) << c.program;
    }
}

// Showing a host path's program path gives that host path back, whatever its names hold.
TEST(ShownPath, RoundTripsHostPaths) {
    TempDrive drive('D');
    for (std::string host : {"/home/ann/a?b*c.mp3", "/tmp/x\\y|z.mp3", "/"}) {
        EXPECT_EQ(platform::shownPath(platform::toProgramPath(host)), host);
    }
    const std::string below = drive.hostRoot() + "/Live: Moscow/01 \"A\" <B>.mp3";
    EXPECT_EQ(platform::shownPath(platform::toProgramPath(below)), below);
}

} // namespace
