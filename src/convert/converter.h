// Converting one audio file into MP3, Ogg Vorbis or Opus, through GStreamer:
//   filesrc ! decodebin ! audioconvert ! audioresample ! <encoder> ! <muxer> ! filesink
// Paths here are host paths (what the file system takes), never program paths. Any thread may
// call these functions, several at once; GStreamer is set up once per process on first use.
#pragma once

#include "convert/convert_format.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace convert {

// The tags written into the converted file. A field left empty keeps what the source's own tags
// say; the source's other tags (genre, cover picture, ...) are kept where the format has a place
// for them (ID3v2 APIC, the Vorbis comment's METADATA_BLOCK_PICTURE).
struct Tags {
    std::optional<std::string> artist{}; // UTF-8
    std::optional<std::string> title{};
    std::optional<std::string> album{};
    std::optional<int> track{}; // from 1
    std::optional<int> year{};
};

struct ConvertJob {
    std::string sourcePath{};
    // Written whole, or removed: the caller gives a temporary name and renames it when the
    // result is Ok. An existing file there is replaced.
    std::string destPath{};
    ConvertFormat format{};
    Tags tags{};
    // Whether the written file is flushed to its device (fsync) before the result is Ok. A run
    // that flushes at its end, or does not need to, leaves it off so that the worker goes on
    // to the next file instead of waiting for the disk.
    bool flush = true;
};

enum class ConvertStatus { Ok, Failed, Cancelled };

struct ConvertResult {
    ConvertStatus status = ConvertStatus::Failed;
    // Failed: GStreamer's own error text (with its debug detail when that is short), or what
    // went wrong around it ("no audio stream"); empty otherwise.
    std::string message{};

    bool ok() const { return status == ConvertStatus::Ok; }
};

// Called on the converting thread about every 100 ms: the milliseconds encoded so far and the
// source's length in milliseconds when GStreamer can tell it.
using ConvertProgress = std::function<void(int64_t positionMs, std::optional<int64_t> lengthMs)>;
// Polled on the converting thread about every 50 ms; true stops the conversion.
using CancelCheck = std::function<bool()>;

// Converts job.sourcePath into job.destPath. Ok only when the whole source was encoded and (with
// job.flush) the written file reached its device (fsync). On failure or cancel the destination is removed, so
// nothing partial is left; cancel is honoured within about 100 ms. A source that does not decode
// (missing, empty, not audio, damaged) fails with a message, never hangs: a conversion that
// makes no progress for StallTimeoutMs fails too, and so does a format that isValidFormat refuses.
ConvertResult convertFile(const ConvertJob& job, const ConvertProgress& progress = {},
                          const CancelCheck& cancelled = {});
inline constexpr int64_t StallTimeoutMs = 30'000;

// The length in milliseconds of the sound the file decodes to; nullopt when GStreamer cannot
// tell it (not audio, damaged, missing). Used to check a converted file against its source.
std::optional<int64_t> mediaLengthMs(const std::string& hostPath);

// A GStreamer element a conversion needs and the Debian package that brings it.
struct PipelineElement {
    std::string element{};
    std::string package{};
    bool operator==(const PipelineElement&) const = default;
};

// The elements a conversion into `format` builds, in pipeline order.
std::vector<PipelineElement> pipelineElements(const ConvertFormat& format);
// The first of `elements` that GStreamer does not have installed; nullopt when all are there.
std::optional<PipelineElement> firstMissingElement(const std::vector<PipelineElement>& elements);
// The check before a run: the first element a conversion into `format` needs and cannot find.
std::optional<PipelineElement> missingEncoder(const ConvertFormat& format);

} // namespace convert
