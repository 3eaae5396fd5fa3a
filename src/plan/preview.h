// The preview: the built track list as both front ends show it, before anything is copied.
// It owns the list's life between the destination page and the run: the build from one
// request (the source, the destination resolved once, the naming options, the limit and the
// existing-file policy), each row's states (a source missing or found elsewhere, a file already
// at the destination and what the policy will do with it, a name or size the destination's
// volume refuses, a row beyond the limit), the totals, the limit bar's view and the lines under
// the list; and the operations a person does on it (remove, move, sort, shuffle, undo), which
// keep all of that right. Every text comes from the text table; the window and the command
// line only lay it out.
//
// Rows are the entries of "list" in the store, by position; nothing is copied per row, so a
// list of 100,000 entries costs the store's entries and a few bytes of marks each.
#pragma once

#include "plan/limit_bar.h"
#include "plan/naming.h"
#include "plan/resolved_dest.h"
#include "plan/volume_check.h"
#include "platform/volume_facts.h"
#include "sources/source_choice.h"
#include "sources/track_description.h"
#include "store/track_list.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plan {

// What the run does with an entry whose destination file is there already (cbExistAction).
enum class ExistingFilePolicy { Overwrite = 0, Number = 1, Skip = 2 };

struct PreviewRequest {
    sources::SourceChoice source;
    NamingOptions naming;  // destFolder as typed
    int64_t sizeLimit = 0; // bytes; 0 = none
    bool limitFromFreeSpace = false;
    // A limit of playing time in seconds (an audio CD), 0 = none; it takes the place of the size
    // limit for the bar and the rows past the limit.
    int64_t timeLimit = 0;
    ExistingFilePolicy existing = ExistingFilePolicy::Number;
    // Whether and how the source's files are read for tags (descriptions and lengths).
    sources::TagOptions tags;
};

// A row's states, in the order a row shows them; a row with none is Ok.
enum class RowState : uint8_t {
    SourceMissing, // its source file is not there
    Relocated,     // its playlist line named another place; found by the tail search
    Existing,      // a file stands at its destination: the policy decides (stateText says how)
    VolumeRefused, // the destination's volume refuses its name or size as it is
    BeyondLimit,   // past the limit, counting the sizes in list order
    Converted,     // encoded into the chosen format on the way: not a fault, a note
    Ok,
};
inline constexpr int RowStateCount = 7;

struct PreviewTotals {
    int files = 0;
    int64_t bytes = 0;                       // sizes known; a converted row's estimated
    int64_t onVolume = 0;                    // the same rounded up to the volume's allocation unit
    int64_t seconds = 0;                     // playing time of the rows whose length is known
    int timedFiles = 0;                      // how many rows that is
    std::array<int, RowStateCount> rowsIn{}; // rows with each state, by RowState
};

enum class SortKey { Description, Source, Size, Time };

class Preview {
public:
    explicit Preview(store::TfdbObject& listDb) : m_list(listDb) {}
    Preview(const Preview&) = delete;
    Preview& operator=(const Preview&) = delete;

    // Empties the list and builds it from `request` (BuildTrackList), then marks every row. A
    // source that cannot be read raises its error and leaves the preview empty.
    void build(const PreviewRequest& request, const sources::ShowMessage& showMessage);
    // Empties the list and forgets the marks and the undo steps.
    void clear();

    const ResolvedDest& dest() const { return m_dest; }
    const PreviewRequest& request() const { return m_request; }
    int rowCount() const { return static_cast<int>(m_marks.size()); }

    // The entry at `position` as the store holds it (its names are program paths).
    store::TrackEntry entry(int position) const;
    // Whether the row's file told its playing time through its tags (a playlist's #EXTINF length
    // alone does not count).
    bool timedByFile(int position) const;
    // The bytes the row is expected to take at the destination: its size, or for a row that is
    // converted the estimate from its playing time and the format (its size while that is not
    // known). What the totals, the limit bar and the rows past the limit count.
    int64_t plannedBytes(int position) const;
    // The playlist line of a relocated row, "" for any other row.
    std::string relocatedLine(int position) const;
    // What the destination's volume refuses of the row, "; " between the reasons; "" when
    // nothing.
    std::string volumeReasons(int position) const;
    // The states of the row at `position`, in RowState order; {Ok} when it has none.
    std::vector<RowState> states(int position) const;
    // The words of each of its states, in RowState order; none for a row that is fine.
    std::vector<std::string> stateWords(int position) const;
    // The words of its states ("будет записан как \"a (1).mp3\"", "источник не найден"), "; "
    // between them: the state column and --list.
    std::string stateText(int position) const;
    // Why, a line each, for a row's tool tip: the state words, the volume's own reasons taking
    // the place of its short word.
    std::string reasons(int position) const;
    // The source below its root (the playlist's folder, the chosen folder, the picked files'
    // common folder) and the destination below the destination folder, as host paths.
    std::string sourceShown(int position) const;
    std::string destShown(int position) const;

    PreviewTotals totals() const;
    // "Файлов: 5, 12 Мб (на томе 13 Мб); уже в приемнике: 1; ..." under the list.
    std::string totalsLine() const;
    // The limit bar on a bar `innerWidth` pixels wide: with the free space as the limit, the
    // sizes on the volume count; a typed limit is weighed against the sum of the sizes.
    LimitBarView limitBar(int innerWidth) const;
    // A new limit (bytes, 0 = none; with `fromFreeSpace` the sizes on the volume count): the
    // rows past it are marked again; `timeLimit` in seconds as in the request. True when the
    // limit changed.
    bool setLimit(int64_t sizeLimit, bool fromFreeSpace, int64_t timeLimit = 0);
    // "Не подходят для тома FAT32 как есть: ..." or "".
    std::string volumeLine() const;
    // The playlist lines found elsewhere, one message (at most ten lines), or "".
    std::string relocatedMessage() const;

    // The operations. Each can be undone; positions out of range are ignored.
    // Removal keeps every other entry's name, numbers included (gaps keep the order).
    void remove(std::vector<int> positions);
    // Moves the rows at `positions`, in their order, to stand before the row that is at
    // `before` now (rowCount() puts them last). The names are made again for the new order.
    void move(std::vector<int> positions, int before);
    void sortBy(SortKey key, bool descending = false);
    // A shuffle that the same seed repeats.
    void shuffle(uint32_t seed);
    // Takes back the last operation; false when there is none.
    bool undo();
    bool canUndo() const { return !m_undo.empty(); }

private:
    struct RowMarks {
        std::string relocatedFrom; // the playlist line, "" when found where it said
        bool sourceMissing = false;
        bool existing = false;             // a file stands at its destination
        std::vector<VolumeProblem> volume; // position fields unused
        bool beyondLimit = false;
        bool timedByFile = false; // the file's own tags gave its playing time
        bool converted = false;   // the run encodes it into the chosen format
    };
    struct Snapshot {
        std::vector<store::TrackEntry> entries;
        std::vector<RowMarks> marks;
    };

    std::string existingText(int position) const;
    int64_t plannedBytesOf(const store::TrackEntry& entry) const;
    ListedTotals plannedTotals(int64_t allocationUnit) const;
    void keepTagsMarks(const std::vector<sources::TrackTags>& tags);
    void markRows();
    void markVolume();
    void markLimit();
    void reorder(const std::vector<int>& order);
    void saveUndoStep();
    std::string sourceRoot() const;

    store::TfdbObject& m_list;
    PreviewRequest m_request;
    ResolvedDest m_dest;
    std::vector<RowMarks> m_marks;
    std::vector<Snapshot> m_undo;
};

} // namespace plan
