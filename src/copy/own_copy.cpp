#include "copy/own_copy.h"

#include "platform/files.h"
#include "platform/shown_paths.h"
#include "platform/transfer.h"
#include "texts/text_table.h"

#include <algorithm>
#include <string>

namespace copy {

namespace {

// Closes the source on every path out of OwnCopy.
class OpenSource {
public:
    explicit OpenSource(const platform::ResolvedPath& path)
        : m_file(platform::openFileExclusive(path, &m_length)) {}
    OpenSource(const OpenSource&) = delete;
    OpenSource& operator=(const OpenSource&) = delete;
    ~OpenSource() {
        if (m_file != platform::InvalidFile) {
            platform::closeFile(m_file);
        }
    }
    platform::FileHandle handle() const { return m_file; }
    // The length the open found.
    int64_t length() const { return m_length; }

private:
    int64_t m_length = -1;
    platform::FileHandle m_file;
};

void reportInterruption(std::string_view dest, ProgressDisplay& display) {
    display.LogLine(texts::FormatText(134, {platform::shownPath(dest)}));
    display.SetOverallBar(0);
    display.SetFileBar(0);
    display.LogLine("");
}

} // namespace

OwnCopyResult OwnCopy(const platform::ResolvedPath& source, const platform::ResolvedPath& dest,
                      const RunState& run, ProgressDisplay& display, platform::ExistingFile existing,
                      const platform::TakenNameRoutine& onTaken, const platform::WrittenCopyCheck& check) {
    OpenSource from(source);
    if (from.handle() == platform::InvalidFile) {
        return OwnCopyResult::SourceError;
    }
    platform::PartialFile to;
    if (!to.open(dest, from.handle())) {
        return OwnCopyResult::DestError;
    }
    int64_t length = from.length();
    // A file of more than one step: a longer read-ahead, and its room taken before the first
    // byte, so that a full disk stops the copy at once instead of halfway (and the file gets
    // its blocks in one piece). One step's write finds that out as soon.
    if (length > static_cast<int64_t>(CopyStepSize)) {
        platform::adviseSequentialRead(from.handle());
        if (!platform::reserveFileSpace(to.handle(), length)) {
            return OwnCopyResult::WriteError;
        }
    }
    // The data, not the length the source reports, decides where the copy ends: a file that
    // grew, or one of /proc that reports 0 bytes, is copied whole.
    platform::StepCopier steps(from.handle(), to);
    int64_t position = 0;
    for (bool ended = false;;) {
        if (!run.shell.WorkActive || !run.FileGoOn) {
            to.discard();
            reportInterruption(dest.programPath(), display);
            return OwnCopyResult::Interrupted;
        }
        if (ended) {
            break;
        }
        int64_t got = steps.copyStep(CopyStepSize);
        if (got < 0) {
            return steps.writeFailed() ? OwnCopyResult::WriteError : OwnCopyResult::ReadError;
        }
        if (got == 0) {
            break;
        }
        position += got;
        double overall = doneFraction(run.DoneBytes + position, run.TotalBytes);
        display.SetOverallBar(overall);
        display.ShowStatus(StatusTime | StatusSize, overall);
        display.SetFileBar(doneFraction(position, std::max(length, position)));
        // A short step is the end of the data (a step moves on until it is): no step more.
        ended = got < static_cast<int64_t>(CopyStepSize);
    }
    if (position < length) {
        return OwnCopyResult::SourceEnded; // it shrank while it was copied
    }
    return to.commit(existing, onTaken, check) ? OwnCopyResult::Done : OwnCopyResult::WriteError;
}

} // namespace copy
