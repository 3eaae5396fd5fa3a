// The state of the copy run in progress, shared by the parts of the copy engine: the copy run
// writes the counters and the start time, the transfers and the progress display read them,
// the existing-file policy and the skip button clear FileGoOn. Everything lives on the one
// thread that runs the copy and processes the window's messages; nothing is locked.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace copy {

// The flags of the shell that a run shares with the window. idle (WorkActive false, RunIdle
// true) -> running (true, false) -> finished (false, true). The abort button clears WorkActive
// and sets CopyCancelCell to -1 at once; RunIdle stays false until the run has unwound.
// CopyCancelCell is what the system copy watches: 0 lets it go on, any other value stops it.
struct ShellFlags {
    bool WorkActive = false;
    bool RunIdle = true;
    int32_t CopyCancelCell = -1;
};

struct RunState {
    explicit RunState(ShellFlags& shellFlags) : shell(shellFlags) {}

    ShellFlags& shell;
    bool FileGoOn = true;        // false: skip the entry in hand
    int64_t TotalBytes = 0;      // lengths of the sources the scan could open
    int64_t DoneBytes = 0;       // of the finished entries; never above TotalBytes
    int32_t EntryCount = 0;      // entries in the list at the scan
    int32_t MissingCount = 0;    // sources that do not exist
    int32_t UnreadableCount = 0; // sources that exist but cannot be opened
    int64_t RunStartTime = 0;    // Clock reading when the transfers began
    // The verdict of the transfers, one count per entry the run reached: at its destination,
    // skipped (by the policy, the skip button or an abort), failed (a move that had to keep its
    // source included), or without a source; and the entries an abort left unreached.
    int32_t CopiedCount = 0;
    int32_t SkippedCount = 0;
    int32_t FailedCount = 0;
    int32_t NotFoundCount = 0;
    int32_t NotStartedCount = 0;
    // Of CopiedCount (and of the moves that kept their source): the entries written converted.
    int32_t ConvertedCount = 0;
    // Entries whose copy stands under another name than their FileName (the numbered name of
    // the existing-file policy), by list position; the result playlist lists them there.
    std::map<int, std::string> LandedNames;
};

// "Пропустить этот файл": the transfer under way stops at its next progress point. A click
// between entries is forgotten when the next entry starts.
void Button5Click(RunState& run);

// Abort as the exit button does it while a run works (Button4Click).
void requestCancel(ShellFlags& shell);

// done / total as the bars and the estimate take it; 0 of 0 (or of less) counts as complete.
double doneFraction(int64_t done, int64_t total);

} // namespace copy
