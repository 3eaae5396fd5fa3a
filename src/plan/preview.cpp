#include "plan/preview.h"

#include "plan/list_building.h"
#include "plan/path_rules.h"
#include "plan/size_limit.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/host_names.h"
#include "platform/name_case.h"
#include "platform/shown_paths.h"
#include "platform/volume_name_rules.h"
#include "store/track_list.h"
#include "texts/size_text.h"
#include "texts/text_table.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>

namespace plan {

namespace {

constexpr int SourceMissingRow = 330;
constexpr int RelocatedRow = 331;
constexpr int ReplacedRow = 332;
constexpr int NumberedRow = 333;
constexpr int SkippedRow = 334;
constexpr int VolumeRefusedRow = 335;
constexpr int BeyondLimitRow = 336;
constexpr int TotalsRow = 337;
constexpr int TotalsOnVolumeRow = 338;
constexpr int StateCountsRow = 339;
constexpr int RelocatedLineRow = 93;
constexpr int TotalTimeRow = 371;
constexpr int ConvertedRow = 400;

// Undo steps kept: each holds a copy of the list.
constexpr size_t MostUndoSteps = 10;
constexpr size_t MostRelocatedLinesShown = 10;

std::vector<store::TrackEntry> entriesOf(store::TfdbObject& listDb) {
    std::vector<store::TrackEntry> entries;
    entries.reserve(static_cast<size_t>(store::trackCount(listDb)));
    store::forEachTrackEntry(listDb,
                             [&entries](int, const store::TrackEntry& entry) { entries.push_back(entry); });
    return entries;
}

store::TrackEntry entryAt(store::TfdbObject& listDb, int position) {
    store::TrackEntry entry;
    store::readTrackEntry(listDb, position, entry);
    return entry;
}

// `path` below `folder` (both host paths), or `path` whole when it lies elsewhere.
std::string below(const std::string& path, std::string folder) {
    if (!folder.empty() && !folder.ends_with('/')) {
        folder += '/';
    }
    return !folder.empty() && path.starts_with(folder) ? path.substr(folder.size()) : path;
}

std::string hostFolderOf(const std::string& hostPath) {
    const size_t slash = hostPath.rfind('/');
    return slash == std::string::npos ? std::string() : hostPath.substr(0, slash);
}

// The longest folder that holds every one of `hostPaths`.
std::string commonFolder(const std::vector<std::string>& hostPaths) {
    if (hostPaths.empty()) {
        return {};
    }
    std::string common = hostFolderOf(hostPaths.front());
    for (const std::string& path : hostPaths) {
        while (!common.empty() && !path.starts_with(common + "/")) {
            common = hostFolderOf(common);
        }
    }
    return common;
}

} // namespace

void Preview::build(const PreviewRequest& request, const sources::ShowMessage& showMessage) {
    clear();
    m_request = request;
    m_dest = resolveDest(request.naming.destFolder);
    m_request.naming.destFolder = m_dest.programPath;
    sources::PlaylistReport report;
    try {
        BuildTrackList(m_list, m_request.source, m_request.sizeLimit, m_request.naming, showMessage, &report,
                       m_request.tags);
    } catch (...) {
        clear();
        throw;
    }
    m_marks.assign(static_cast<size_t>(store::trackCount(m_list)), RowMarks{});
    for (const sources::RelocatedLine& line : report.relocated) {
        if (line.position >= 0 && line.position < rowCount()) {
            m_marks[static_cast<size_t>(line.position)].relocatedFrom = line.line;
        }
    }
    keepTagsMarks(report.tags);
    report = {}; // the tags of a long list are let go before the rows are looked at
    markRows();
}

void Preview::keepTagsMarks(const std::vector<sources::TrackTags>& tags) {
    for (size_t position = 0; position < tags.size() && position < m_marks.size(); ++position) {
        m_marks[position].timedByFile = sources::lengthSecondsOf(tags[position]) >= 0;
    }
}

void Preview::clear() {
    store::rebuildTrackList(m_list);
    m_marks.clear();
    m_undo.clear();
}

// Every row's sources and destinations are looked at once: a source that cannot be opened is
// missing (its size is measured on the way), a destination that stands is a clash for the
// policy, then the volume's refusals and the limit.
void Preview::markRows() {
    const bool destThere = platform::folderExists(m_dest.programPath);
    store::forEachTrackEntry(m_list, [&](int position, const store::TrackEntry& entry) {
        RowMarks& marks = m_marks[static_cast<size_t>(position)];
        int64_t size = entry.Size;
        if (size < 0) {
            size = platform::exclusiveFileLength(entry.OrigFileName);
            if (size >= 0) {
                store::setTrackField(m_list, position, store::TrackField::Size, store::sizeValue(size));
            }
        }
        // Under a limit the reader records 0 for a file it could not measure.
        marks.sourceMissing = size <= 0 && !platform::fileExists(entry.OrigFileName);
        marks.existing = destThere && platform::fileExists(entry.FileName);
        marks.converted = convert::convertsFile(m_request.naming.conversion, entry.OrigFileName);
    });
    markVolume();
    markLimit();
}

void Preview::markVolume() {
    for (RowMarks& marks : m_marks) {
        marks.volume.clear();
    }
    if (!m_dest.volume) {
        return;
    }
    for (VolumeProblem& problem :
         checkListForVolume(m_list, *m_dest.volume, m_dest.programPath, m_request.naming.invalidChars)) {
        if (problem.position >= 0 && problem.position < rowCount()) {
            m_marks[static_cast<size_t>(problem.position)].volume.push_back(std::move(problem));
        }
    }
}

// The rows whose size, added in list order, passes the limit: what would not fit if the files
// went in the order shown.
void Preview::markLimit() {
    const int64_t unit = m_request.limitFromFreeSpace && m_dest.volume ? m_dest.volume->allocationUnit : 0;
    const bool byTime = m_request.timeLimit > 0;
    int64_t sum = 0;
    store::forEachTrackEntry(m_list, [&](int position, const store::TrackEntry& entry) {
        const int64_t bytes = byTime ? 0 : plannedBytesOf(entry);
        if (byTime && entry.Len && *entry.Len > 0) {
            sum += *entry.Len;
        } else if (!byTime && bytes > 0) {
            sum += platform::roundUpToAllocationUnit(bytes, unit);
        }
        const int64_t limit = byTime ? m_request.timeLimit : m_request.sizeLimit;
        m_marks[static_cast<size_t>(position)].beyondLimit = limit > 0 && sum > limit;
    });
}

store::TrackEntry Preview::entry(int position) const {
    return entryAt(m_list, position);
}

int64_t Preview::plannedBytesOf(const store::TrackEntry& entry) const {
    const convert::ConversionChoice& conversion = m_request.naming.conversion;
    if (entry.Size > 0 && entry.Len && *entry.Len > 0 &&
        convert::convertsFile(conversion, entry.OrigFileName)) {
        return convert::estimatedBytes(*conversion.format, int64_t{*entry.Len} * 1000);
    }
    return entry.Size;
}

int64_t Preview::plannedBytes(int position) const {
    return position >= 0 && position < rowCount() ? plannedBytesOf(entryAt(m_list, position)) : 0;
}

ListedTotals Preview::plannedTotals(int64_t allocationUnit) const {
    if (!m_request.naming.conversion.format) {
        return listedTotalsOf(m_list, allocationUnit);
    }
    ListedTotals totals;
    store::forEachTrackEntry(m_list, [&](int, const store::TrackEntry& entry) {
        const int64_t bytes = plannedBytesOf(entry);
        if (bytes > 0) {
            totals.bytes += bytes;
            totals.onVolume += platform::roundUpToAllocationUnit(bytes, allocationUnit);
        }
    });
    return totals;
}

bool Preview::timedByFile(int position) const {
    return position >= 0 && position < rowCount() && m_marks[static_cast<size_t>(position)].timedByFile;
}

std::string Preview::relocatedLine(int position) const {
    return position >= 0 && position < rowCount() ? m_marks[static_cast<size_t>(position)].relocatedFrom
                                                  : std::string();
}

std::string Preview::volumeReasons(int position) const {
    if (position < 0 || position >= rowCount()) {
        return {};
    }
    std::string text;
    for (const VolumeProblem& problem : m_marks[static_cast<size_t>(position)].volume) {
        text += (text.empty() ? "" : "; ") + problem.text;
    }
    return text;
}

std::vector<RowState> Preview::states(int position) const {
    if (position < 0 || position >= rowCount()) {
        return {};
    }
    const RowMarks& marks = m_marks[static_cast<size_t>(position)];
    std::vector<RowState> found;
    const std::pair<bool, RowState> checks[] = {
        {marks.sourceMissing, RowState::SourceMissing}, {!marks.relocatedFrom.empty(), RowState::Relocated},
        {marks.existing, RowState::Existing},           {!marks.volume.empty(), RowState::VolumeRefused},
        {marks.beyondLimit, RowState::BeyondLimit},     {marks.converted, RowState::Converted},
    };
    for (const auto& [on, state] : checks) {
        if (on) {
            found.push_back(state);
        }
    }
    if (found.empty()) {
        found.push_back(RowState::Ok);
    }
    return found;
}

std::string Preview::stateText(int position) const {
    std::string text;
    for (const std::string& words : stateWords(position)) {
        text += (text.empty() ? "" : "; ") + words;
    }
    return text;
}

std::vector<std::string> Preview::stateWords(int position) const {
    std::vector<std::string> all;
    for (RowState state : states(position)) {
        std::string words;
        switch (state) {
        case RowState::SourceMissing:
            words = texts::GetText(SourceMissingRow);
            break;
        case RowState::Relocated:
            words = texts::FormatText(RelocatedRow, {m_marks[static_cast<size_t>(position)].relocatedFrom});
            break;
        case RowState::Existing:
            words = existingText(position);
            break;
        case RowState::VolumeRefused:
            words = texts::GetText(VolumeRefusedRow);
            break;
        case RowState::BeyondLimit:
            words = texts::GetText(BeyondLimitRow);
            break;
        case RowState::Converted:
            words = texts::FormatText(ConvertedRow,
                                      {convert::targetName(m_request.naming.conversion.format->target)});
            break;
        case RowState::Ok:
            break;
        }
        if (!words.empty()) {
            all.push_back(std::move(words));
        }
    }
    return all;
}

std::string Preview::existingText(int position) const {
    switch (m_request.existing) {
    case ExistingFilePolicy::Overwrite:
        return texts::GetText(ReplacedRow);
    case ExistingFilePolicy::Skip:
        return texts::GetText(SkippedRow);
    case ExistingFilePolicy::Number:
        break;
    }
    const std::string numbered = firstFreeNumberedName(entryAt(m_list, position).FileName);
    return texts::FormatText(NumberedRow, {platform::hostNameOfProgramName(FileNamePart(numbered))});
}

std::string Preview::reasons(int position) const {
    if (position < 0 || position >= rowCount()) {
        return {};
    }
    std::vector<std::string> lines;
    const std::vector<RowState> all = states(position);
    const std::vector<std::string> words = stateWords(position);
    for (size_t i = 0; i < words.size() && i < all.size(); ++i) {
        if (all[i] != RowState::VolumeRefused) {
            lines.push_back(words[i]);
            continue;
        }
        for (const VolumeProblem& problem : m_marks[static_cast<size_t>(position)].volume) {
            lines.push_back(problem.text);
        }
    }
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

std::string Preview::sourceRoot() const {
    switch (m_request.source.kind) {
    case sources::PlaylistSource:
        return hostFolderOf(platform::shownPath(platform::fullProgramPath(m_request.source.playlistPath)
                                                    .value_or(m_request.source.playlistPath)));
    case sources::FolderSource:
        return platform::shownPath(
            platform::fullProgramPath(m_request.source.folderPath).value_or(m_request.source.folderPath));
    case sources::PickedFilesSource: {
        std::vector<std::string> shown;
        for (const std::string& file : m_request.source.pickedFiles) {
            shown.push_back(platform::shownPath(file));
        }
        return commonFolder(shown);
    }
    default:
        return {};
    }
}

std::string Preview::sourceShown(int position) const {
    return below(platform::shownPath(entryAt(m_list, position).OrigFileName), sourceRoot());
}

std::string Preview::destShown(int position) const {
    return below(platform::shownPath(entryAt(m_list, position).FileName), m_dest.hostPath);
}

PreviewTotals Preview::totals() const {
    PreviewTotals totals;
    const int64_t unit = m_dest.volume ? m_dest.volume->allocationUnit : 0;
    const ListedTotals sums = plannedTotals(unit);
    totals.files = rowCount();
    totals.bytes = sums.bytes;
    totals.onVolume = sums.onVolume;
    for (int position = 0; position < rowCount(); ++position) {
        for (RowState state : states(position)) {
            ++totals.rowsIn[static_cast<size_t>(state)];
        }
    }
    store::forEachTrackEntry(m_list, [&totals](int, const store::TrackEntry& entry) {
        if (entry.Len && *entry.Len > 0) {
            totals.seconds += *entry.Len;
            ++totals.timedFiles;
        }
    });
    return totals;
}

std::string Preview::totalsLine() const {
    const PreviewTotals sums = totals();
    std::string line = texts::FormatText(TotalsRow, {sums.files, texts::SizeText(sums.bytes)});
    if (sums.onVolume != sums.bytes) {
        line += texts::FormatText(TotalsOnVolumeRow, {texts::SizeText(sums.onVolume)});
    }
    if (sums.timedFiles > 0) {
        line += texts::FormatText(TotalTimeRow, {playingTimeText(sums.seconds)});
    }
    const auto in = [&sums](RowState state) { return sums.rowsIn[static_cast<size_t>(state)]; };
    return line + texts::FormatText(StateCountsRow, {in(RowState::SourceMissing), in(RowState::Relocated),
                                                     in(RowState::Existing), in(RowState::VolumeRefused),
                                                     in(RowState::BeyondLimit)});
}

LimitBarView Preview::limitBar(int innerWidth) const {
    if (m_request.timeLimit > 0) {
        return timeLimitBarFor(totals().seconds, m_request.timeLimit, innerWidth);
    }
    const int64_t unit = m_dest.volume ? m_dest.volume->allocationUnit : 0;
    const ListedTotals sums = plannedTotals(unit);
    // With the free space as the limit, "fits" must mean it fits there: each file counts as the
    // allocation units it takes. A typed limit is the sum of the sizes, as the user reckons it.
    std::optional<TotalOnVolume> onVolume;
    if (unit > 0 && m_request.limitFromFreeSpace) {
        onVolume = TotalOnVolume{unit, sums.onVolume};
    }
    return LimitBarFor(sums.bytes, m_request.sizeLimit, innerWidth, onVolume);
}

bool Preview::setLimit(int64_t sizeLimit, bool fromFreeSpace, int64_t timeLimit) {
    if (sizeLimit == m_request.sizeLimit && fromFreeSpace == m_request.limitFromFreeSpace &&
        timeLimit == m_request.timeLimit) {
        return false;
    }
    m_request.sizeLimit = sizeLimit;
    m_request.limitFromFreeSpace = fromFreeSpace;
    m_request.timeLimit = timeLimit;
    markLimit();
    return true;
}

std::string Preview::volumeLine() const {
    if (!m_dest.volume) {
        return {};
    }
    std::vector<VolumeProblem> problems;
    for (int position = 0; position < rowCount(); ++position) {
        for (VolumeProblem problem : m_marks[static_cast<size_t>(position)].volume) {
            problem.position = position;
            problems.push_back(std::move(problem));
        }
    }
    return volumeCheckLine(*m_dest.volume, problems, rowCount());
}

std::string Preview::relocatedMessage() const {
    std::string text;
    size_t shown = 0;
    size_t more = 0;
    for (int position = 0; position < rowCount(); ++position) {
        const std::string& line = m_marks[static_cast<size_t>(position)].relocatedFrom;
        if (line.empty()) {
            continue;
        }
        if (shown == MostRelocatedLinesShown) {
            ++more;
            continue;
        }
        text += (shown++ == 0 ? "" : "\n") +
                texts::FormatText(RelocatedLineRow,
                                  {line, platform::shownPath(entryAt(m_list, position).OrigFileName)});
    }
    if (more > 0) {
        text += "\n... (" + std::to_string(more) + ")";
    }
    return text;
}

void Preview::saveUndoStep() {
    if (m_undo.size() == MostUndoSteps) {
        m_undo.erase(m_undo.begin());
    }
    m_undo.push_back({entriesOf(m_list), m_marks});
}

void Preview::remove(std::vector<int> positions) {
    std::erase_if(positions, [this](int position) { return position < 0 || position >= rowCount(); });
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    if (positions.empty()) {
        return;
    }
    saveUndoStep();
    store::removeTrackEntries(m_list, positions);
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        m_marks.erase(m_marks.begin() + *it);
    }
    // A removal ends clashes and moves the limit: the volume and the limit are looked at again.
    markVolume();
    markLimit();
}

void Preview::move(std::vector<int> positions, int before) {
    std::erase_if(positions, [this](int position) { return position < 0 || position >= rowCount(); });
    if (positions.empty()) {
        return;
    }
    std::vector<bool> moving(m_marks.size(), false);
    for (int position : positions) {
        moving[static_cast<size_t>(position)] = true;
    }
    std::vector<int> order;
    order.reserve(m_marks.size());
    const int count = rowCount();
    for (int position = 0; position <= count; ++position) {
        if (position == before) {
            order.insert(order.end(), positions.begin(), positions.end());
        }
        if (position < count && !moving[static_cast<size_t>(position)]) {
            order.push_back(position);
        }
    }
    if (before < 0 || before > count) {
        order.insert(order.end(), positions.begin(), positions.end());
    }
    order.erase(std::unique(order.begin(), order.end()), order.end());
    reorder(order);
}

void Preview::sortBy(SortKey key, bool descending) {
    std::vector<store::TrackEntry> entries = entriesOf(m_list);
    std::vector<int> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    const auto keyOf = [&](int position) -> std::string {
        const store::TrackEntry& entry = entries[static_cast<size_t>(position)];
        return platform::foldNameCase(key == SortKey::Description ? entry.Desc : entry.OrigFileName);
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (key == SortKey::Size || key == SortKey::Time) {
            const auto numberOf = [&](int position) -> int64_t {
                const store::TrackEntry& entry = entries[static_cast<size_t>(position)];
                return key == SortKey::Size ? entry.Size : entry.Len.value_or(-1);
            };
            const int64_t left = numberOf(a);
            const int64_t right = numberOf(b);
            return descending ? left > right : left < right;
        }
        return descending ? keyOf(a) > keyOf(b) : keyOf(a) < keyOf(b);
    });
    reorder(order);
}

void Preview::shuffle(uint32_t seed) {
    std::vector<int> order(m_marks.size());
    std::iota(order.begin(), order.end(), 0);
    // Fisher-Yates over a generator whose sequence the standard fixes, so a seed gives the same
    // order on every machine and every run.
    std::mt19937 generator(seed);
    for (size_t i = order.size(); i > 1; --i) {
        const size_t j = static_cast<size_t>(generator() % i);
        std::swap(order[i - 1], order[j]);
    }
    reorder(order);
}

// The entries in their new order take new names (the running numbers follow the order shown),
// and every mark that depends on names or order is made again.
void Preview::reorder(const std::vector<int>& order) {
    if (static_cast<int>(order.size()) != rowCount()) {
        return;
    }
    saveUndoStep();
    store::reorderTrackEntries(m_list, order);
    std::vector<RowMarks> marks;
    marks.reserve(order.size());
    for (int from : order) {
        marks.push_back(std::move(m_marks[static_cast<size_t>(from)]));
    }
    m_marks = std::move(marks);
    ComputeDestNames(m_list, m_request.naming);
    if (m_request.naming.renameByDescription) {
        FixInvalidNames(m_list, m_request.naming);
    }
    markRows();
}

bool Preview::undo() {
    if (m_undo.empty()) {
        return false;
    }
    Snapshot step = std::move(m_undo.back());
    m_undo.pop_back();
    store::rebuildTrackList(m_list);
    for (const store::TrackEntry& entry : step.entries) {
        store::appendTrackEntry(m_list, entry);
    }
    m_marks = std::move(step.marks);
    markVolume();
    markLimit();
    return true;
}

} // namespace plan
