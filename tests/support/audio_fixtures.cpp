#include "support/audio_fixtures.h"

#include <cstdlib>
#include <stdexcept>

namespace testsupport {
namespace {

constexpr int SamplesPerBuffer = 4410;

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

} // namespace

void encodeTone(const std::string& hostPath, const ToneFile& tone) {
    std::string command = "gst-launch-1.0 -q audiotestsrc num-buffers=" + std::to_string(tone.buffers) +
                          " samplesperbuffer=" + std::to_string(SamplesPerBuffer) +
                          (tone.wave.empty() ? "" : " wave=" + tone.wave) +
                          " ! audio/x-raw,rate=" + std::to_string(tone.rate) +
                          ",channels=" + std::to_string(tone.channels) + " ! audioconvert";
    if (!tone.tags.empty()) {
        command += " ! taginject " + quoted("tags=" + tone.tags);
    }
    command += " ! " + tone.encoder + " ! filesink location=" + quoted(hostPath) + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("gst-launch-1.0 could not make " + hostPath + " with " + tone.encoder);
    }
}

long long toneMilliseconds(const ToneFile& tone) {
    return 1000LL * tone.buffers * SamplesPerBuffer / tone.rate;
}

} // namespace testsupport
