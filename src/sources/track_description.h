// Descriptions and play lengths from tags: how a build that reads tags describes and times the
// entries that the source itself does not.
#pragma once

#include "sources/tag_reader.h"
#include "store/track_list.h"

#include <string>
#include <string_view>
#include <vector>

namespace store {
class TfdbObject;
}

namespace sources {

inline constexpr const char* DefaultDescriptionFormat = "%artist% - %title%";

// How a build uses tags, as the front ends read it from their settings.
struct TagOptions {
    bool readTags = false; // off: no file is read for tags, no cache is touched
    std::string descriptionFormat = DefaultDescriptionFormat;
    // The tags' description and length replace the playlist's; else they only fill in where the
    // playlist gives none.
    bool tagsWin = false;
    std::string cacheFolder{};   // program path of the folder holding the cache; "" = no cache
    TagReader* reader = nullptr; // the reader to use; null takes the TagLib one
};

// `format` with its placeholders filled from `tags`: %artist%, %title%, %album%, %track% (two
// digits at least: "03"), %disc%, %year% and %filename% (the name of `path`, a program path,
// without its folder and extension). Any other text, an unknown "%name%" too, stays as it is.
// A placeholder the tags do not fill takes the text before it with it (so "%artist% - %title%"
// with no artist gives the title alone), and the text before the first placeholder or after the
// last goes with that placeholder when it is empty. Blanks at both ends are dropped. "" when
// the format names tag fields and none of them is filled, so an untagged file stays undescribed.
std::string describeTrack(const TrackTags& tags, std::string_view format, std::string_view path);

// The length in whole seconds of `tags` (rounded to the nearest), -1 when they give none.
int lengthSecondsOf(const TrackTags& tags);

// For each entry of the list at its position in `tags` (shorter lists leave the rest alone): a
// Desc from describeTrack where the entry has none, or where it gives one and `tagsWin`; a Len
// from the tags' length where the entry has none (unwritten, 0 or negative), or where the tags
// give one and `tagsWin`.
// Entries whose place in `described` is set are left as they are: they were described as they
// were added (describeEntry).
void applyTrackTags(store::TfdbObject& listDb, const std::vector<TrackTags>& tags, const TagOptions& options,
                    const std::vector<bool>& described = {});

// What applyTrackTags does to one entry, on the entry before it is added to the list; false when
// it changed nothing.
bool describeEntry(store::TrackEntry& entry, const TrackTags& tags, const TagOptions& options);

} // namespace sources
