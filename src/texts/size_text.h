// A byte count as the short text with a decimal unit that the log, the progress labels and
// the limit bar show.
#pragma once

#include <cstdint>
#include <string>

namespace texts {

// Cut toward zero: "9999 байт", "10 Кб", "9999 Кб", "10 Мб", "1999 Мб", "2 Гб"; negative
// counts in bytes.
std::string SizeText(int64_t bytes);

} // namespace texts
