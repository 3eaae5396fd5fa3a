// Real audio for the tests that play it: a tone as the bytes of a WAV file.
#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

// A mono 16-bit tone at 8000 samples per second, `samples` long: 44 header bytes, then two
// bytes per sample (8000 samples are one second).
std::string toneWav(uint32_t samples);

} // namespace testsupport
