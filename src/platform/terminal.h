// What a command-line front end needs to know of the terminal it writes to.
#pragma once

#include <cstdio>

namespace platform {

// True when `stream` is connected to a terminal (not a file or a pipe).
bool isTerminal(std::FILE* stream);

// The terminal's width in columns, or `fallback` when it cannot be told.
int terminalColumns(std::FILE* stream, int fallback);

} // namespace platform
