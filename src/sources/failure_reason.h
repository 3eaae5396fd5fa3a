// The reason of a failed file operation in the interface's language, for the end of a log line
// ("... ошибка при записи файла приемника: нет места на диске") or of an error message.
#pragma once

#include "platform/files.h"

#include <string>

namespace sources {

// The text-table words for a kind of failure; "" for FileError::None. Other carries the
// host's own sentence (platform::lastErrorText()).
std::string failureReason(platform::FileError kind);

// `line` followed by ": " and the reason of the thread's last platform failure, or `line` as
// it is when there is no reason to give.
std::string withLastFailureReason(const std::string& line);

} // namespace sources
