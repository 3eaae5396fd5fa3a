#include "copy/own_copy.h"

#include "platform/files.h"
#include "platform/transfer.h"
#include "texts/text_table.h"

#include <algorithm>
#include <string>

namespace copy {

namespace {

// Shared by every own copy for the life of the process: no allocation per file or chunk.
alignas(4096) unsigned char CopyBuffer[CopyBufferSize];

// Closes the source on every path out of OwnCopy.
class OpenSource {
public:
    explicit OpenSource(std::string_view path) : m_file(platform::openFileExclusive(path)) {}
    OpenSource(const OpenSource&) = delete;
    OpenSource& operator=(const OpenSource&) = delete;
    ~OpenSource() {
        if (m_file != platform::InvalidFile) {
            platform::closeFile(m_file);
        }
    }
    platform::FileHandle handle() const { return m_file; }

private:
    platform::FileHandle m_file;
};

enum class ChunkOutcome { Copied, ReadFailed, WriteFailed };

ChunkOutcome copyChunk(platform::FileHandle from, platform::FileHandle to, int64_t count) {
    // A read ends short only at the end of the file: here, before the length it had when it was
    // opened, so the source shrank or its medium failed.
    if (platform::readFile(from, CopyBuffer, count) != count) {
        return ChunkOutcome::ReadFailed;
    }
    if (platform::writeFile(to, CopyBuffer, count) != count) {
        return ChunkOutcome::WriteFailed;
    }
    return ChunkOutcome::Copied;
}

void reportInterruption(std::string_view dest, ProgressDisplay& display) {
    display.LogLine(texts::FormatText(134, {std::string(dest)}));
    display.SetOverallBar(0);
    display.SetFileBar(0);
    display.LogLine("");
}

} // namespace

OwnCopyResult OwnCopy(std::string_view source, std::string_view dest, const RunState& run,
                      ProgressDisplay& display) {
    OpenSource from(source);
    if (from.handle() == platform::InvalidFile) {
        return OwnCopyResult::SourceError;
    }
    platform::PartialFile to;
    if (!to.open(dest, from.handle())) {
        return OwnCopyResult::DestError;
    }
    int64_t length = platform::fileLength(from.handle());
    if (length < 0) {
        return OwnCopyResult::ReadError;
    }
    int64_t position = 0;
    while (position < length && run.shell.WorkActive && run.FileGoOn) {
        int64_t count = std::min<int64_t>(length - position, CopyBufferSize);
        ChunkOutcome outcome = copyChunk(from.handle(), to.handle(), count);
        if (outcome != ChunkOutcome::Copied) {
            return outcome == ChunkOutcome::ReadFailed ? OwnCopyResult::ReadError : OwnCopyResult::WriteError;
        }
        position += count;
        double overall = DoneFraction(run.DoneBytes + position, run.TotalBytes);
        display.SetOverallBar(overall);
        display.ShowStatus(StatusTime | StatusSize, overall);
        display.SetFileBar(DoneFraction(position, length));
    }
    if (position != length) {
        to.discard();
        reportInterruption(dest, display);
        return OwnCopyResult::Done;
    }
    return to.commit(platform::ExistingFile::Replace) ? OwnCopyResult::Done : OwnCopyResult::WriteError;
}

} // namespace copy
