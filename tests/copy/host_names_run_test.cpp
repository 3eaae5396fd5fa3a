// A host file whose name holds characters that program paths give a meaning to, read by the
// folder source and moved by a copy run: the run touches that file and nothing else.
#include "copy/copy_run.h"

#include "copy_fixture.h"

#include "plan/list_building.h"
#include "sources/source_choice.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using copytest::CopyFixture;

std::string readHostFile(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "x\..\..\victim.mp3" in D:\src would name D:\victim.mp3 if the name went into the program
// path as it is; the move must take the odd file to D:\out and leave the victim where it is.
TEST_F(CopyFixture, OddHostNamesNeverReachAnotherFile) {
    const std::string oddNames[] = {R"(x\..\..\victim.mp3)", "D:victim.mp3", R"(..\victim.mp3)"};
    drive.writeFile("victim.mp3", "victim");
    drive.makeFolder("src");
    for (const std::string& name : oddNames) {
        std::ofstream(drive.hostPath("src") + "/" + name, std::ios::binary) << name;
    }
    plan::BuildTrackList(listDb, {.kind = sources::FolderSource, .folderPath = "D:\\src"}, 0,
                         {.destFolder = "D:\\out", .keepFolderLevels = false}, [](const std::string&) {});
    ASSERT_EQ(store::trackCount(listDb), 3);
    copy::CopyRun({copy::TransferSystemMove, copy::ExistRename, false, "D:\\out"}, listDb, run, display);

    EXPECT_EQ(drive.readFile("victim.mp3"), "victim");
    EXPECT_EQ(testsupport::filesUnder(drive, "src"), std::vector<std::string>{});
    for (const std::string& name : oddNames) {
        EXPECT_EQ(readHostFile(drive.hostPath("out") + "/" + name), name);
    }
    EXPECT_EQ(testsupport::filesUnder(drive, "out").size(), 3u);
}

} // namespace
