// Ctrl-C as the abort button of the progress page. The first SIGINT (or SIGTERM or SIGHUP, the
// other polite requests to end) only sets a flag, which the program reads where the window
// would process its messages (interruptRequested); the run then unwinds as after a click on
// the abort button. The handler also puts the default action back for all three signals, so a
// second request ends the process at once, also in the middle of a step that never polls (a
// move between volumes, a long folder walk). Ending there is safe: no file stands at its final
// name before it is complete, since copies and the result playlist are written under temporary
// names and renamed into place.
//
// platform::TerminationSignals does not fit here: its requests wait in a pipe until someone
// reads them, so a second Ctrl-C could not end a step that does not poll.
#pragma once

namespace cli {

// Installs the one-shot handlers; call once, at the start.
void installInterruptHandlers();

// True once a request has arrived.
bool interruptRequested();

} // namespace cli
