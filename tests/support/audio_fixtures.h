// Small real audio files for the tests that read tags: a test tone encoded by GStreamer's
// gst-launch-1.0 (Debian gstreamer1.0-tools with the base and good plugins), made in the test,
// never kept in the repository.
#pragma once

#include <string>

namespace testsupport {

struct ToneFile {
    // The elements after the tags: "lamemp3enc ! id3v2mux", "vorbisenc ! oggmux", "flacenc",
    // "wavenc".
    std::string encoder{};
    // A GStreamer tag list without blanks, texts other than ASCII in double quotes, numbers
    // typed (R"(artist="Кино",title=Star,track-number=(uint)3)"); "" for none.
    std::string tags{};
    int buffers = 15; // of 4,410 samples each: 1.5 s at 44,100 Hz
    int rate = 44100;
    int channels = 2;
    // audiotestsrc's wave: "" for its sine, "silence", "white-noise".
    std::string wave{};
};

// Encodes `tone` into the host file `hostPath`; throws std::runtime_error when that fails.
void encodeTone(const std::string& hostPath, const ToneFile& tone);

// The playing time of `tone` in milliseconds, as the encoder was given it.
long long toneMilliseconds(const ToneFile& tone);

} // namespace testsupport
