// The edge of the window's event handlers. A failure that the core lets rise is a C++
// exception whose message is the text to show ("Cannot open file "D:\a.m3u". No such file or
// directory"); it ends the handler at that point and is shown in an error message box, as a
// desktop toolkit's default handler does, and the window goes on with its event loop. No
// exception ever reaches Qt's event loop, which cannot carry one.
#pragma once

#include "app/user_prompts.h"

#include <functional>

namespace app {

// Runs `handler`; false when it ended with an exception, after the message has been shown
// through `prompts`. Only exceptions derived from std::exception are caught: the core throws
// no others.
bool runGuarded(UserPrompts& prompts, const std::function<void()>& handler);

} // namespace app
