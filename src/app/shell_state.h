// The shell state of the wizard: what the window, the page flow and the copy run share about
// the program as a whole. Plain C++ without Qt, so the core and the command-line front end can
// use it too.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// The text without any trailing "\": "C:\Music\\" -> "C:\Music", "C:\" -> "C:", "\\\" -> "".
std::string StripTrailingBackslashes(std::string_view path);

// Source kinds held in ShellState::SourceKind; any other value selects no source.
enum SourceKindValue : int32_t { SourcePlaylist = 1, SourceFolder = 2, SourcePickedFiles = 3 };

// One instance lives for the whole process, owned by the window.
//
// The run flags move together: idle (WorkActive false, RunIdle true) -> running (true, false)
// -> finished (false, true), or aborted: the exit button clears WorkActive at once and RunIdle
// stays false until the run has unwound. CopyCancelCell is what the platform's file copy
// watches: 0 lets transfers proceed, -1 stops the one in progress.
struct ShellState {
    std::string ProgramFolder; // program path of the executable's folder, no trailing "\"
    int32_t SourceKind = 0;
    bool WorkActive = false;
    bool RunIdle = true;
    std::atomic<int32_t> CopyCancelCell{0};

    // The window may close only while no copy run executes or unwinds.
    bool mayClose() const { return !WorkActive && RunIdle; }
};

} // namespace app
