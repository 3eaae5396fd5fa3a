// The partial files of transfers: held locked while they are written, and cleared out of a
// folder once the process that wrote them is gone (killed before its commit).
#include "platform/transfer.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

using namespace transfertest;

// The names on the drive (song.mp3 is too large to print when a check fails).
std::vector<std::string> namesOn(const TempDrive& drive) {
    std::vector<std::string> names;
    for (const auto& [name, content] : snapshot(drive.hostRoot())) {
        names.push_back(name + (content == "half" ? " (half written)" : ""));
    }
    return names;
}

// A second process that opens a partial file for D:\big.mp3, writes into it and waits to be
// killed, the way a copy killed with kill -9 ends.
class PartialWriter {
public:
    PartialWriter() {
        int ready[2];
        if (::pipe(ready) != 0) {
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            platform::PartialFile partial;
            char answer = partial.open("D:\\big.mp3") && platform::writeFile(partial.handle(), "half", 4) == 4
                              ? 'y'
                              : 'n';
            if (::write(ready[1], &answer, 1) == 1) {
                ::pause();
            }
            ::_exit(1);
        }
        ::close(ready[1]);
        char answer = 'n';
        m_writing = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
        ::close(ready[0]);
    }
    ~PartialWriter() { kill(); }
    bool writing() const { return m_writing; }
    void kill() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }

private:
    pid_t m_pid = -1;
    bool m_writing = false;
};

// A partial file whose writer was killed goes at the next clean-up of its folder; one that a
// live process writes, in this process or another, stays, and so do other hidden names.
TEST_F(TransferTest, AbandonedPartialFilesGoWhenTheirWriterIsGone) {
    d.writeFile(".big.mp3.tw-partial-short", "not ours: the tail is not six characters");
    d.writeFile(".notes.txt", "hidden, not a partial file");
    d.makeFolder(".album.tw-partial-ABC123");
    PartialWriter other;
    ASSERT_TRUE(other.writing());
    platform::PartialFile own;
    ASSERT_TRUE(own.open("D:\\own.mp3"));
    const auto before = namesOn(d);
    ASSERT_EQ(before.size(), 6u) << "song.mp3, the three decoys and two partial files";

    EXPECT_EQ(platform::removeAbandonedPartialFiles("D:\\"), 0);
    EXPECT_EQ(namesOn(d), before);

    other.kill();
    EXPECT_EQ(platform::removeAbandonedPartialFiles("d:/"), 1);
    auto after = before;
    std::erase_if(after, [](const std::string& name) { return name.ends_with(" (half written)"); });
    EXPECT_EQ(after.size(), 5u);
    EXPECT_EQ(namesOn(d), after);

    ASSERT_TRUE(own.commit(platform::ExistingFile::Keep));
    EXPECT_TRUE(d.exists("own.mp3"));
    EXPECT_EQ(platform::removeAbandonedPartialFiles("D:\\missing"), 0);
    EXPECT_EQ(platform::removeAbandonedPartialFiles("Q:\\"), 0);
}

} // namespace
