// A tag reader that answers from a table instead of the files, and counts what it was asked:
// for the tests of how a build uses tags without making real audio.
#pragma once

#include "sources/tag_reader.h"

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace sources {

// For the failure messages of tests that compare tags.
inline void PrintTo(const TrackTags& tags, std::ostream* out) {
    const auto field = [out](const char* name, const auto& value) {
        if (value) {
            *out << name << "=" << *value << " ";
        }
    };
    *out << "{";
    field("artist", tags.artist);
    field("title", tags.title);
    field("album", tags.album);
    field("track", tags.track);
    field("disc", tags.disc);
    field("year", tags.year);
    field("ms", tags.lengthMs);
    field("kbps", tags.bitrate);
    field("Hz", tags.sampleRate);
    field("ch", tags.channels);
    *out << "reason=\"" << tags.noTagsReason << "\"}";
}

} // namespace sources

namespace testsupport {

class FakeTagReader : public sources::TagReader {
public:
    // The tags `path` (a program path, as the build names the file) answers with.
    void set(const std::string& path, sources::TrackTags tags) { m_tags[path] = std::move(tags); }

    // A path without tags in the table reads as a file of unknown format.
    sources::TrackTags read(platform::FileHandle file, const std::string& path) override {
        readPaths.push_back(path);
        openHandles += file != platform::InvalidFile ? 1 : 0;
        const auto found = m_tags.find(path);
        if (found != m_tags.end()) {
            return found->second;
        }
        sources::TrackTags none;
        none.noTagsReason = "unknown to the fake";
        return none;
    }

    std::vector<std::string> readPaths; // every path read, in order
    int openHandles = 0;                // reads that were given an open file

private:
    std::map<std::string, sources::TrackTags> m_tags;
};

} // namespace testsupport
