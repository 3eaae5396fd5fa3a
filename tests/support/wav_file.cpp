#include "support/wav_file.h"

#include <cmath>

namespace testsupport {

std::string toneWav(uint32_t samples) {
    const uint32_t dataBytes = samples * 2;
    std::string wav;
    const auto put = [&wav](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            wav += static_cast<char>((value >> (8 * i)) & 0xff);
        }
    };
    wav += "RIFF";
    put(36 + dataBytes, 4);
    wav += "WAVEfmt ";
    put(16, 4);
    put(1, 2);     // PCM
    put(1, 2);     // mono
    put(8000, 4);  // samples per second
    put(16000, 4); // bytes per second
    put(2, 2);     // bytes per sample
    put(16, 2);    // bits per sample
    wav += "data";
    put(dataBytes, 4);
    for (uint32_t i = 0; i < samples; ++i) {
        put(static_cast<uint16_t>(static_cast<int16_t>(6000 * std::sin(i * 0.2))), 2);
    }
    return wav;
}

} // namespace testsupport
