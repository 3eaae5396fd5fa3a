// Transfers while another program works on the same files: a source replaced, removed or
// changed during a move across volumes, a destination name taken while the data is copied, and
// sources whose content does not match the length they report.
#include "platform/files.h"
#include "platform/transfer.h"
#include "platform/volume_flush.h"
#include "support/file_checks.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <sys/inotify.h>
#include <thread>

namespace {

using namespace transfertest;
using platform::ExistingFile;
using platform::FileError;
using platform::MoveResult;
using testsupport::RemovalRefused;

std::string readHost(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class MoveRaceTest : public TransferTest {
protected:
    void SetUp() override {
        TransferTest::SetUp();
        if (!f.available()) {
            GTEST_SKIP() << "/dev/shm is not a volume of its own here";
        }
        d.makeFolder("src");
        ASSERT_EQ(::rename(d.hostPath("song.mp3").c_str(), d.hostPath("src/song.mp3").c_str()), 0);
    }
    std::string sourceHost() const { return d.hostPath("src/song.mp3"); }

    OtherVolumeDrive f{'F', d.hostRoot()};
};

// Across volumes the source is removed only when its name still means the file that was copied.
// A new version saved over it, a removal or a change in place while the data is copied keeps
// both files and says why; a source that cannot be removed keeps the copy. The change comes
// from the taken-name routine, which the move asks after it has opened the source and before
// it copies a byte.
TEST_F(MoveRaceTest, SourceChangedDuringAMoveAcrossVolumesIsKept) {
    struct Case {
        const char* name;
        std::function<void()> change;
        std::optional<std::string> sourceAfter; // nullopt: no file at the source's name
        FileError reason;
        std::string copied; // what the copy holds: what the open source had at its end
    };
    const std::string newVersion = "a new version, saved by another program";
    std::optional<RemovalRefused> refusal;
    const Case cases[] = {
        {"saved over by rename",
         [&] {
             std::ofstream(d.hostPath("src/.song.mp3.new")) << newVersion;
             ASSERT_EQ(::rename(d.hostPath("src/.song.mp3.new").c_str(), sourceHost().c_str()), 0);
         },
         newVersion, FileError::SourceChanged, source},
        {"removed", [&] { ASSERT_EQ(::unlink(sourceHost().c_str()), 0); }, std::nullopt,
         FileError::SourceChanged, source},
        {"rewritten in place", [&] { std::ofstream(sourceHost(), std::ios::app) << "tag"; }, source + "tag",
         FileError::SourceChanged, source + "tag"},
        {"cannot be removed", [&] { refusal.emplace(d.hostPath("src")); }, source, FileError::AccessDenied,
         source},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        d.writeFile("src/song.mp3", source);
        std::ofstream(f.hostRoot() + "/taken.mp3") << "taken";
        auto routine = [&](const std::string& taken) -> std::optional<std::string> {
            EXPECT_EQ(taken, "F:\\taken.mp3");
            c.change();
            return "F:\\moved.mp3";
        };
        MoveResult result = platform::systemMove("D:\\src\\song.mp3", "F:\\taken.mp3", routine);
        if (refusal && !refusal->effective()) {
            refusal.reset();
            continue; // root on a file system without the append-only flag removes anyway
        }
        EXPECT_EQ(result, MoveResult::CopiedOnly);
        EXPECT_EQ(platform::lastError(), c.reason) << platform::lastErrorText();
        EXPECT_TRUE(readHost(f.hostRoot() + "/moved.mp3") == c.copied) << "the copy stays";
        EXPECT_EQ(readHost(f.hostRoot() + "/taken.mp3"), "taken");
        EXPECT_EQ(fs::exists(sourceHost()), c.sourceAfter.has_value());
        if (c.sourceAfter) {
            EXPECT_TRUE(readHost(sourceHost()) == *c.sourceAfter);
        }
        EXPECT_EQ(snapshot(f.hostRoot()).size(), 2u) << "no partial file left";
        refusal.reset();
        fs::remove(f.hostRoot() + "/moved.mp3");
    }
}

// A background writer saves a new version over the source (write a new file, rename it over the
// name) while a large file moves to another volume: the new version survives, wherever its
// save fell in the move, and the destination holds the version that was copied.
// A move across volumes puts its copy's data on the device and asks its check while the copy
// still has its temporary name and the source is still there: a check that refuses takes the
// copy back and keeps the source.
TEST_F(MoveRaceTest, CopyIsFlushedAndCheckedBeforeTheSourceGoes) {
    for (bool accepted : {false, true}) {
        SCOPED_TRACE(accepted);
        d.writeFile("src/song.mp3", source);
        const uint64_t flushesBefore = platform::flushRequestCount();
        std::vector<std::string> asked;
        auto check = [&](const std::string& copy) {
            asked.push_back(copy);
            EXPECT_EQ(platform::flushRequestCount() - flushesBefore, 1u);
            EXPECT_TRUE(readHost(sourceHost()) == source);
            EXPECT_TRUE(readHost(*platform::toHostPath(copy)) == source);
            EXPECT_FALSE(fs::exists(f.hostRoot() + "/moved.mp3"));
            return accepted;
        };
        EXPECT_EQ(platform::systemMove("D:\\src\\song.mp3", "F:\\moved.mp3", {}, check),
                  accepted ? MoveResult::Moved : MoveResult::CopyFailed);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_TRUE(asked[0].starts_with("F:\\.moved.mp3.tw-partial-")) << asked[0];
        EXPECT_EQ(d.exists("src/song.mp3"), !accepted);
        std::vector<std::string> onOtherVolume;
        for (const auto& entry : std::filesystem::directory_iterator(f.hostRoot())) {
            onOtherVolume.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(onOtherVolume,
                  accepted ? std::vector<std::string>{"moved.mp3"} : std::vector<std::string>{});
        std::filesystem::remove(f.hostRoot() + "/moved.mp3");
    }
}

TEST_F(MoveRaceTest, NewVersionSavedByAnotherThreadSurvives) {
    const std::string big = bytes(32 * MiB, 9);
    const std::string newVersion = "saved while the move ran";
    d.writeFile("src/song.mp3", big);
    int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, f.hostRoot().c_str(), IN_CREATE), 0);
    std::thread writer([&] {
        // The partial file appears at the destination once the move has opened the source.
        alignas(struct inotify_event) char events[4096];
        if (::read(watch, events, sizeof events) > 0) {
            std::ofstream(d.hostPath("src/.song.new")) << newVersion;
            ::rename(d.hostPath("src/.song.new").c_str(), sourceHost().c_str());
        }
    });
    MoveResult result = platform::systemMove("D:\\src\\song.mp3", "F:\\song.mp3");
    writer.join();
    ::close(watch);
    EXPECT_EQ(result, MoveResult::CopiedOnly) << "the new version came after the copy: timing";
    EXPECT_EQ(readHost(sourceHost()), newVersion);
    EXPECT_TRUE(readHost(f.hostRoot() + "/song.mp3") == big) << "the copy holds the version that was copied";
}

// Under Keep a name taken at the moment of the commit is never replaced: the routine names the
// next one, or the transfer gives up with AlreadyExists and leaves nothing behind. The name is
// taken by another program while the data is copied (from the progress routine, or before the
// move's own check).
TEST_F(TransferTest, KeepNeverReplacesANameTakenMeanwhile) {
    OtherVolumeDrive f('F', d.hostRoot());
    struct Case {
        const char* name;
        const char* dest;
        std::function<bool(const platform::CopyProgressRoutine&, const platform::TakenNameRoutine&)> transfer;
        bool otherVolume = false;
    };
    const Case cases[] = {
        {"system copy", "out.mp3",
         [](const auto& progress, const auto& onTaken) {
             return platform::systemCopy("D:\\song.mp3", "D:\\out.mp3", progress, nullptr, ExistingFile::Keep,
                                         onTaken);
         }},
        {"partial file", "out.mp3",
         [](const auto& progress, const auto& onTaken) {
             platform::PartialFile partial;
             bool opened = partial.open("D:\\out.mp3");
             progress(1, 0);
             return opened && partial.commit(ExistingFile::Keep, onTaken);
         }},
        {"move within a volume", "out.mp3",
         [](const auto& progress, const auto& onTaken) {
             progress(1, 0);
             return platform::systemMove("D:\\song.mp3", "D:\\out.mp3", onTaken) == MoveResult::Moved;
         }},
        {"move across volumes", "F:\\out.mp3",
         [](const auto& progress, const auto& onTaken) {
             progress(1, 0);
             return platform::systemMove("D:\\song.mp3", "F:\\out.mp3", onTaken) == MoveResult::Moved;
         },
         true},
    };
    for (const Case& c : cases) {
        if (c.otherVolume && !f.available()) {
            continue;
        }
        const std::string folder = c.otherVolume ? f.hostRoot() : d.hostRoot();
        for (bool giveUp : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (giveUp ? ", gives up" : ", next name"));
            d.writeFile("song.mp3", source);
            std::vector<std::string> asked;
            auto progress = [&](int64_t, int64_t) {
                if (!fs::exists(folder + "/out.mp3")) {
                    std::ofstream(folder + "/out.mp3") << "another program's file";
                }
                return CopyProgressAnswer::Continue;
            };
            auto onTaken = [&](const std::string& taken) -> std::optional<std::string> {
                asked.push_back(taken);
                if (giveUp) {
                    return std::nullopt;
                }
                return asked.size() == 1 ? (c.otherVolume ? "F:\\out (1).mp3" : "D:\\out (1).mp3")
                                         : std::string(taken); // the same name again: gives up
            };
            bool done = c.transfer(progress, onTaken);
            EXPECT_EQ(done, !giveUp) << platform::lastErrorText();
            EXPECT_EQ(asked.size(), 1u);
            EXPECT_EQ(readHost(folder + "/out.mp3"), "another program's file");
            auto entries = snapshot(folder);
            if (giveUp) {
                EXPECT_EQ(platform::lastError(), FileError::AlreadyExists);
                EXPECT_FALSE(entries.contains("out (1).mp3"));
            } else {
                EXPECT_TRUE(entries.contains("out (1).mp3"));
                fs::remove(folder + "/out (1).mp3");
            }
            fs::remove(folder + "/out.mp3");
            for (const auto& [name, content] : snapshot(folder)) {
                EXPECT_EQ(name.find(".tw-partial-"), std::string::npos) << name;
            }
        }
    }
}

// A source that reports fewer bytes than it has (the files of /proc report 0) is copied to the
// end of its data, never cut to the reported length.
TEST_F(TransferTest, SourceLongerThanItsReportedLengthIsCopiedWhole) {
    platform::mountDrive('P', "/proc");
    const std::string expected = readHost("/proc/version");
    ASSERT_FALSE(expected.empty());
    struct stat info;
    ASSERT_EQ(::stat("/proc/version", &info), 0);
    ASSERT_EQ(info.st_size, 0) << "the fixture relies on /proc reporting 0 bytes";
    ASSERT_TRUE(platform::systemCopy("P:\\version", "D:\\version.txt", {}, nullptr))
        << platform::lastErrorText();
    EXPECT_EQ(d.readFile("version.txt"), expected);
}

} // namespace
