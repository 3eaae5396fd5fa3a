// What a copy run does when a file already stands at an entry's destination path: overwrite it,
// give the copy a free numbered name beside it, or skip the entry, as the user chose in
// cbExistAction. Each choice logs one line.
#pragma once

#include "copy/progress_display.h"
#include "copy/run_state.h"

#include <optional>
#include <string>
#include <string_view>

namespace copy {

enum ExistAction : int { ExistOverwrite = 0, ExistRename = 1, ExistSkip = 2 };

// The policy of a cbExistAction index. An index outside the list (a damaged setting shows no
// selection) is the numbered name, so that a file is never replaced unasked.
ExistAction existActionFromIndex(int index);

// The path with " (n)" before its extension, for the first n = 1, 2, ... that names no existing
// file (a folder of that name does not count): "D:\Music\Song.mp3" -> "D:\Music\Song (1).mp3",
// "a.b.mp3" -> "a.b (1).mp3", "Song" -> "Song (1)", "Song (1).mp3" -> "Song (1) (1).mp3".
// The name is free only at the time of the test.
std::string UniqueName(std::string_view path);

// The policy step for a destination `dest` at which a file exists. Overwrite keeps `dest`;
// rename replaces it by UniqueName(dest) for this transfer only; skip clears run.FileGoOn.
void applyExistAction(ExistAction action, std::string& dest, RunState& run, ProgressDisplay& display);

// The policy once more, for a name `taken` that another program or run took while an entry was
// being transferred to it; `planned` is the entry's own destination. Rename answers
// UniqueName(planned), the next free numbered name; skip clears run.FileGoOn and answers
// nothing. Each logs row 151 for `taken` as applyExistAction does. Overwrite answers nothing
// and logs nothing: its transfers replace and never ask.
std::optional<std::string> reapplyExistAction(ExistAction action, std::string_view planned,
                                              const std::string& taken, RunState& run,
                                              ProgressDisplay& display);

} // namespace copy
