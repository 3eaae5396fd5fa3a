// The shell state of the wizard: what the window, the page flow and the copy run share about
// the program as a whole. Plain C++ without Qt.
#pragma once

#include "copy/run_state.h"

#include <cstdint>
#include <string>

namespace wizard {

// One instance lives for the whole process, owned by the window. The run flags WorkActive,
// RunIdle and CopyCancelCell are the copy engine's ShellFlags themselves (copy/run_state.h):
// the window hands this object to the copy run, so the run, the page flow and the exit/abort
// button read and write one set of flags.
struct ShellState : copy::ShellFlags {
    std::string ProgramFolder; // program path of the executable's folder, no trailing "\"
    int32_t SourceKind = 0;    // sources/source_choice.h: 1 playlist, 2 folder, 3 picked files

    // The window may close only while no copy run executes or unwinds.
    bool mayClose() const { return !WorkActive && RunIdle; }
};

} // namespace wizard
