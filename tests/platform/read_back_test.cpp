// The read-back check and the flushes: a copy passes only with the very bytes of its source,
// whatever its length against the 1 MiB chunks it is read in; files that cannot be read or
// flushed are failures, not passes.
#include "platform/read_back.h"
#include "platform/volume_flush.h"

#include "support/file_checks.h"
#include "support/temp_drive.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::ReadBackResult;

struct ReadBackCase {
    const char* name;
    std::string source;
    std::string copy;
    ReadBackResult expected;
};

std::string withLastByteChanged(std::string bytes) {
    bytes.back() = static_cast<char>(~bytes.back());
    return bytes;
}

TEST(ReadBack, PassesOnlyTheSameBytes) {
    const size_t chunk = 1 << 20;
    const std::string whole = testsupport::patternBytes(chunk);
    const std::string longer = testsupport::patternBytes(chunk + 1);
    const ReadBackCase cases[] = {
        {"empty", "", "", ReadBackResult::Same},
        {"one chunk exactly", whole, whole, ReadBackResult::Same},
        {"a chunk and a byte", longer, longer, ReadBackResult::Same},
        {"copy a byte longer past the chunk", whole, longer, ReadBackResult::Differs},
        {"copy a byte shorter past the chunk", longer, whole, ReadBackResult::Differs},
        {"copy empty", "x", "", ReadBackResult::Differs},
        {"last byte differs", longer, withLastByteChanged(longer), ReadBackResult::Differs},
    };
    testsupport::TempDrive drive{'D'};
    for (const ReadBackCase& c : cases) {
        SCOPED_TRACE(c.name);
        drive.writeFile("source.mp3", c.source);
        drive.writeFile("copy.mp3", c.copy);
        EXPECT_EQ(platform::readBackAndCompare("D:\\source.mp3", "D:\\copy.mp3"), c.expected);
    }
    EXPECT_EQ(platform::readBackAndCompare("D:\\source.mp3", "D:\\missing.mp3"), ReadBackResult::Failed);
    EXPECT_EQ(platform::readBackAndCompare("D:\\missing.mp3", "D:\\copy.mp3"), ReadBackResult::Failed);
}

// A flush succeeds on a folder and a file that exist and fails on what is not there; every
// request is counted.
TEST(Flush, ReportsWhatCannotBeFlushed) {
    testsupport::TempDrive drive{'D'};
    drive.writeFile("out/a.mp3", "a");
    const uint64_t before = platform::flushRequestCount();
    EXPECT_TRUE(platform::flushVolume("D:\\out"));
    EXPECT_TRUE(platform::flushFile("D:\\out\\a.mp3"));
    EXPECT_FALSE(platform::flushVolume("D:\\gone"));
    EXPECT_FALSE(platform::flushFile("D:\\out\\gone.mp3"));
    EXPECT_FALSE(platform::flushVolume("Q:\\out"));
    EXPECT_EQ(platform::flushRequestCount() - before, 5u);
}

} // namespace
