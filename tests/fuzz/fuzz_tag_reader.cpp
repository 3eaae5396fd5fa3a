// The tag reader on any bytes: the first byte chooses the extension the file is named with (so
// that each of TagLib's formats gets tried), the rest is the file. Whatever the bytes, reading
// returns (tags, or no tags with a reason), never crashes, never throws and never writes.
#include "platform/drives.h"
#include "sources/tag_lookup.h"
#include "sources/tag_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const char* const Extensions[] = {".mp3", ".flac", ".ogg", ".opus", ".m4a",
                                  ".wav", ".ape",  ".wv",  ".mpc",  ".wma"};

std::string folder() {
    static const std::string made = [] {
        char pattern[] = "/tmp/tw-fuzz-tags-XXXXXX";
        const char* created = ::mkdtemp(pattern);
        check(created != nullptr);
        return std::string(created);
    }();
    return made;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    static std::unique_ptr<sources::TagReader> reader = sources::makeTagLibReader();
    const std::string host = folder() + "/file" + Extensions[data[0] % std::size(Extensions)];
    std::FILE* file = std::fopen(host.c_str(), "wb");
    check(file != nullptr);
    check(std::fwrite(data + 1, 1, size - 1, file) == size - 1);
    std::fclose(file);

    sources::TagLookup lookup(*reader, nullptr);
    const sources::ProbedFile probed = lookup.probe(platform::toProgramPath(host));
    check(probed.length == static_cast<int64_t>(size - 1));
    // A file that gave nothing says why; one that gave something has no reason.
    const bool gaveNothing = probed.tags == sources::TrackTags{.noTagsReason = probed.tags.noTagsReason};
    check(gaveNothing != probed.tags.noTagsReason.empty());
    if (probed.tags.lengthMs) {
        check(*probed.tags.lengthMs >= 0);
    }
    std::remove(host.c_str());
    return 0;
}
