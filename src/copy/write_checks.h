// The checks that a run's files reached the device intact: the read-back of each copy (the
// Verify option) and the flush at the end of a run onto a removable or slow volume, which is
// what lets "Копирование завершено." mean that the device can be pulled out.
#pragma once

#include "copy/progress_display.h"

#include <functional>
#include <string>
#include <vector>

namespace copy {

// Test hook: called with the host path of each copy after it is written and before it is read
// back, so a test can damage it there. An empty function removes it.
void setVerifyHookForTesting(std::function<void(const std::string& hostPath)> hook);

// Reads the copy at `copyPath` back from its device and compares it with `sourcePath`
// (platform/read_back.h). On a difference, or when either cannot be read, logs the line that
// says so and answers false; the caller then takes the copy back (a damaged file under its
// final name would pass for a good one, in a player and in the next run alike).
bool verifyCopy(const std::string& sourcePath, const std::string& copyPath, ProgressDisplay& display);

// Writes what the run wrote to the device: the volume of `destFolder` as a whole while the
// phase title says so, else, when the volume cannot be flushed, each of `written` (program paths
// of the files the run put in place) alone. Answers how many of `written` are known not to have
// reached the device, each with its error line logged: 0 when the flush went through.
int flushWrites(const std::string& destFolder, const std::vector<std::string>& written,
                ProgressDisplay& display);

} // namespace copy
