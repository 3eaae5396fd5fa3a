// Appending TrackEntry objects to the track list of ListDb ("list", made from the mask
// "item"), the one way all three sources add to it, and the field names they use.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace store {
class TfdbObject;
class TfdbItem;
} // namespace store

namespace sources {

inline constexpr const char* OrigFileNameField = "OrigFileName";
inline constexpr const char* FileNameField = "FileName";
inline constexpr const char* DescField = "Desc";
inline constexpr const char* SizeField = "Size";
inline constexpr const char* LenField = "Len";

inline constexpr int64_t SizeNotMeasured = -1;

struct NewTrackEntry {
    std::string origFileName;
    std::string desc;
    int64_t size = SizeNotMeasured; // -1 is stored as a signed 8-bit value
    std::optional<int32_t> len;     // unwritten when absent (folder and picked files)
};

// Resolves the mask "item" and the folder "list" once, for one source's whole run.
class TrackListAppender {
public:
    explicit TrackListAppender(store::TfdbObject& listDb);
    ~TrackListAppender();

    bool listFound() const;
    // Makes the entry and links it at the end of "list". False, with nothing appended, when
    // the store refuses the object or there is no list to link it into.
    bool append(const NewTrackEntry& entry);

private:
    store::TfdbObject& m_listDb;
    int m_mask = -1;
    std::unique_ptr<store::TfdbItem> m_list;
};

} // namespace sources
