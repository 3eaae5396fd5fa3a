// The step-by-step copy: whole data in the caller's steps through the kernel where it takes the
// two files, by read and write where it refuses them (a file of /proc, a FUSE volume), and the
// refusing pairs of volumes remembered while the pairs that copied (or had nothing to copy) are
// not.
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/transfer.h"
#include "platform/transfer_posix.h"
#include "support/fat_image.h"
#include "support/file_checks.h"
#include "support/temp_drive.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using testsupport::TempDrive;

constexpr int64_t Step = 131072;

uint64_t volumeOf(const std::string& hostPath) {
    struct stat info = {};
    EXPECT_EQ(::stat(hostPath.c_str(), &info), 0) << hostPath;
    return info.st_dev;
}

std::string hostContent(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Copied {
    std::vector<int64_t> steps; // what every step answered, the last one short
    bool committed = false;
};

// Copies the host file `source` to the program path `dest` step by step, then commits.
Copied copyInSteps(const std::string& source, const std::string& dest) {
    Copied copied;
    const int from = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(from, 0) << source;
    platform::PartialFile to;
    if (from < 0 || !to.open(dest)) {
        ADD_FAILURE() << dest << ": " << platform::lastErrorText();
        return copied;
    }
    platform::StepCopier steps(from, to);
    for (int64_t got = Step; got == Step;) {
        got = steps.copyStep(Step);
        copied.steps.push_back(got);
    }
    ::close(from);
    copied.committed = copied.steps.back() >= 0 && to.commit(platform::ExistingFile::Replace);
    return copied;
}

TEST(StepCopierTest, RefusedPairsGoByReadAndWriteAndAreRemembered) {
    testsupport::SavedDriveTable savedTable;
    TempDrive disk('D');
    testsupport::FatImage stick;
    if (!stick.mounted()) {
        GTEST_SKIP() << stick.whyNotMounted();
    }
    platform::mountDrive('F', stick.mountFolder());
    const std::string data = transfertest::bytes(300000, 7);
    disk.writeFile("a.mp3", data);
    disk.writeFile("empty.mp3", "");
    const std::string version = hostContent("/proc/version");
    ASSERT_FALSE(version.empty());
    auto& refusals = platform::detail::kernelCopyRefusals();
    const uint64_t diskVolume = volumeOf(disk.hostRoot()), fatVolume = volumeOf(stick.mountFolder());
    const uint64_t procVolume = volumeOf("/proc/version");

    struct Case {
        std::string source, dest, destHost, expected;
        std::vector<int64_t> steps;
        platform::detail::VolumePair volumes;
        bool remembered;
    } cases[] = {
        // The kernel copies within the disk: nothing to remember.
        {disk.hostPath("a.mp3"),
         "D:\\b.mp3",
         disk.hostPath("b.mp3"),
         data,
         {Step, Step, 37856},
         {diskVolume, diskVolume},
         false},
        // An empty source: the kernel's "end" is the end, not a refusal (a read confirms it).
        {disk.hostPath("empty.mp3"),
         "D:\\e.mp3",
         disk.hostPath("e.mp3"),
         "",
         {0},
         {diskVolume, diskVolume},
         false},
        // /proc reports 0 bytes, and the kernel takes no copy from it (older kernels answer
        // "end", newer ones refuse): read and write find its data.
        {"/proc/version",
         "D:\\version.txt",
         disk.hostPath("version.txt"),
         version,
         {static_cast<int64_t>(version.size())},
         {procVolume, diskVolume},
         true},
        // FUSE takes no copy from another file system: read and write, and again for a second
        // file, which no longer asks the kernel.
        {disk.hostPath("a.mp3"),
         "F:\\a.mp3",
         stick.mountFolder() + "/a.mp3",
         data,
         {Step, Step, 37856},
         {diskVolume, fatVolume},
         true},
        {disk.hostPath("a.mp3"),
         "F:\\b.mp3",
         stick.mountFolder() + "/b.mp3",
         data,
         {Step, Step, 37856},
         {diskVolume, fatVolume},
         true},
    };
    for (const Case& c : cases) {
        const Copied copied = copyInSteps(c.source, c.dest);
        EXPECT_EQ(copied.steps, c.steps) << c.dest;
        EXPECT_TRUE(copied.committed) << c.dest;
        EXPECT_TRUE(hostContent(c.destHost) == c.expected) << c.dest;
        EXPECT_EQ(refusals.known(c.volumes), c.remembered) << c.dest;
    }
}

// A destination that takes fewer bytes than the step moves fails the step as the destination's
// failure, whichever route moved the data.
TEST(StepCopierTest, FullDestinationIsTheWriteSide) {
    TempDrive disk('D');
    disk.writeFile("a.mp3", transfertest::bytes(300000));
    auto answer = testsupport::runWithFileSizeLimit(200000, [&] {
        const int from = ::open(disk.hostPath("a.mp3").c_str(), O_RDONLY | O_CLOEXEC);
        platform::PartialFile to;
        if (from < 0 || !to.open("D:\\b.mp3")) {
            return std::string("not opened");
        }
        platform::StepCopier steps(from, to);
        std::string answers;
        for (int64_t got = Step; got == Step;) {
            got = steps.copyStep(Step);
            answers += std::to_string(got) + " ";
        }
        ::close(from);
        return answers + (steps.writeFailed() ? "write side, " : "read side, ") +
               (platform::lastError() == platform::FileError::DiskFull ? "disk full"
                                                                       : platform::lastErrorText());
    });
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, "131072 -1 write side, disk full");
}

} // namespace
