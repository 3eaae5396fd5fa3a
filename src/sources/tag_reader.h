// Tags and audio properties of a source file, read without decoding the sound: what describes
// and times an entry that no playlist line describes. The reader is an interface so that the
// sources never depend on the tag library's types and tests can stand in a reader of their own.
#pragma once

#include "platform/files.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace sources {

// What one file told about itself; every field is absent where the file did not give it.
struct TrackTags {
    std::optional<std::string> artist{}; // UTF-8
    std::optional<std::string> title{};
    std::optional<std::string> album{};
    std::optional<int> track{}; // number on its disc, from 1
    std::optional<int> disc{};  // from 1
    std::optional<int> year{};
    std::optional<int64_t> lengthMs{};
    std::optional<int> bitrate{};    // kbit/s
    std::optional<int> sampleRate{}; // Hz
    std::optional<int> channels{};
    // Why the file gave no tags at all, in the interface's language ("" when it was read): it
    // could not be opened, is empty, or is no audio file the reader knows (or a damaged one).
    std::string noTagsReason{};

    bool operator==(const TrackTags&) const = default;
};

class TagReader {
public:
    virtual ~TagReader() = default;
    // The tags of the file open as `file` (read-only, with all sharing denied, at any position),
    // whose program path is `path`: its extension names the format the reader tries first. Reads
    // only the tags and the audio properties the header tells, never writes, never throws; a file
    // it cannot parse gives TrackTags with only noTagsReason set. Called on one thread at a time.
    virtual TrackTags read(platform::FileHandle file, const std::string& path) = 0;
};

// The reader over TagLib: ID3v1 (its text as Windows-1251, as Russian collections hold it),
// ID3v2, Vorbis comments, FLAC, MP4, APE, WavPack, Opus, RIFF INFO and the other formats
// TagLib knows; audio properties at its fast accuracy, except that an MP3 without a VBR header
// whose frames differ in bitrate is timed by walking its frame headers (see mpeg_frames.h).
std::unique_ptr<TagReader> makeTagLibReader();

// The reasons of noTagsReason.
std::string noTagsBecauseUnopened(); // from the thread's last platform failure
std::string noTagsBecauseEmpty();
std::string noTagsBecauseUnknownFormat();
std::string noTagsBecauseFailed(const std::string& what);

} // namespace sources
