// The playing time of an MP3 (any MPEG audio stream) that carries no VBR header: no Xing, Info
// or VBRI frame to give its frame count. TagLib times such a stream by its size and its first
// frame's bitrate, which is right for a constant bitrate and far off for a variable one (an
// encoder's VBR output written without that header reads as a fraction of its length).
#pragma once

#include <taglib/mpegfile.h>

#include <cstdint>
#include <optional>

namespace sources {

struct StreamTiming {
    int64_t lengthMs = 0;
    int bitrate = 0; // kbit/s, the stream's bytes over its length
};

// The time of `file`'s stream counted from its frames, when it has no VBR header and its
// frames do not all share one bitrate; nullopt where TagLib's own figures stand (a VBR header, a
// constant bitrate, no frame found). A constant bitrate is judged from a few frame headers at
// the start and a few further on, so it costs a handful of small reads; otherwise every frame
// header is read (4 bytes each), up to a cap beyond which the rest is timed at the rate of the
// frames walked. Damaged stretches are skipped to the next frame.
std::optional<StreamTiming> timeByFrames(TagLib::MPEG::File& file);

} // namespace sources
