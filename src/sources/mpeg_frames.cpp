#include "sources/mpeg_frames.h"

#include <taglib/mpegfile.h>
#include <taglib/mpegheader.h>
#include <taglib/mpegproperties.h>

#include <algorithm>
#include <cmath>

namespace sources {
namespace {

using TagLib::MPEG::Header;

// A constant bitrate must show in the first frames and again further on: a VBR encoder gives a
// track that opens with silence its lowest bitrate for as long as the silence lasts.
constexpr int LeadingFrames = 32;
constexpr int ProbedStretches = 3; // at a quarter, half and three quarters of the stream
constexpr int FramesInAStretch = 4;
// About 57 minutes at 44.1 kHz. Each frame costs a 4-byte read, counted against the scan budget
// of the reader's stream, which this leaves room within.
constexpr int64_t MostWalkedSteps = int64_t{1} << 17;

// Offsets of the first frame, the last frame and the byte after the last frame.
struct Stream {
    long first = 0;
    long last = 0;
    long end = 0;
};

struct FrameWalk {
    int64_t frames = 0;
    double seconds = 0;
    long reached = 0; // the offset after the last frame walked
    int bitrate = 0;  // of the first frame walked
    bool oneBitrate = true;
};

// The frame whose header is at `offset`, if that header parses and gives a frame that moves a
// walk on and takes time.
std::optional<Header> frameAt(TagLib::MPEG::File& file, long offset) {
    Header header(&file, offset, false);
    if (!header.isValid() || header.frameLength() <= 0 || header.sampleRate() <= 0 ||
        header.samplesPerFrame() <= 0) {
        return std::nullopt;
    }
    return header;
}

// Frame after frame from `offset` for at most `steps` steps or to the end of the stream. Where
// no header parses, the walk goes on from the next frame TagLib's search finds (one whose
// following frame sits where its length says), so a damaged stretch is passed over. Every step
// moves forward, so the walk ends.
FrameWalk walkFrames(TagLib::MPEG::File& file, const Stream& stream, long offset, int64_t steps) {
    FrameWalk walk;
    walk.reached = offset;
    for (int64_t step = 0; step < steps && offset <= stream.last; ++step) {
        const std::optional<Header> header = frameAt(file, offset);
        if (!header) {
            const long next = file.nextFrameOffset(offset + 1);
            if (next <= offset || next > stream.last) {
                break;
            }
            offset = next;
            continue;
        }
        if (walk.frames == 0) {
            walk.bitrate = header->bitrate();
        } else if (header->bitrate() != walk.bitrate) {
            walk.oneBitrate = false;
        }
        walk.seconds += static_cast<double>(header->samplesPerFrame()) / header->sampleRate();
        offset += header->frameLength();
        walk.reached = offset;
        ++walk.frames;
    }
    return walk;
}

bool hasOneBitrate(TagLib::MPEG::File& file, const Stream& stream, int lastBitrate) {
    const FrameWalk lead = walkFrames(file, stream, stream.first, LeadingFrames);
    if (!lead.oneBitrate || lead.bitrate != lastBitrate) {
        return false;
    }
    for (int stretch = 1; stretch <= ProbedStretches; ++stretch) {
        const long point = stream.first + (stream.end - stream.first) / (ProbedStretches + 1) * stretch;
        if (point < lead.reached) {
            continue;
        }
        const long found = file.nextFrameOffset(point);
        if (found < 0 || found > stream.last) {
            continue;
        }
        const FrameWalk probe = walkFrames(file, stream, found, FramesInAStretch);
        if (!probe.oneBitrate || (probe.frames > 0 && probe.bitrate != lead.bitrate)) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<StreamTiming> timeByFrames(TagLib::MPEG::File& file) {
    const TagLib::MPEG::Properties* properties = file.audioProperties();
    if (properties == nullptr || properties->xingHeader() != nullptr) {
        return std::nullopt;
    }
    const long first = file.firstFrameOffset();
    if (first < 0) {
        // Nor is the last frame sought: once the stream's scan budget is spent, TagLib's
        // backward search steps through the whole file 1 KB at a time.
        return std::nullopt;
    }
    const long last = file.lastFrameOffset();
    const std::optional<Header> lastFrame = last >= first ? frameAt(file, last) : std::nullopt;
    if (!lastFrame) {
        return std::nullopt;
    }
    const Stream stream{.first = first, .last = last, .end = last + lastFrame->frameLength()};
    if (hasOneBitrate(file, stream, lastFrame->bitrate())) {
        return std::nullopt;
    }
    const FrameWalk walk = walkFrames(file, stream, first, MostWalkedSteps);
    if (walk.seconds <= 0 || walk.reached <= first) {
        return std::nullopt;
    }
    const double audioBytes = static_cast<double>(stream.end - first);
    // A walk stopped short (at its cap, or where the stream could be read no further) times the
    // rest at the rate of the frames it walked.
    const double seconds = walk.reached > last
                               ? walk.seconds
                               : walk.seconds * audioBytes / static_cast<double>(walk.reached - first);
    return StreamTiming{.lengthMs = std::llround(seconds * 1000),
                        .bitrate =
                            static_cast<int>(std::min(std::round(audioBytes * 8 / (seconds * 1000)), 1e6))};
}

} // namespace sources
