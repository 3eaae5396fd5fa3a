#include "cli/list_printing.h"

#include "plan/limit_bar.h"
#include "platform/files.h"
#include "platform/shown_paths.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <set>
#include <string>

namespace cli {

namespace {

constexpr int SourceMissingText = 92;
constexpr int LineRelocatedText = 93;

std::string field(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = '?';
        }
    }
    return text;
}

void writeLine(std::string line, std::FILE* out) {
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
}

std::set<int> relocatedPositions(const sources::PlaylistReport& report) {
    std::set<int> positions;
    for (const sources::RelocatedLine& line : report.relocated) {
        positions.insert(line.position);
    }
    return positions;
}

} // namespace

void PrintTrackList(store::TfdbObject& listDb, int64_t sizeLimit, const sources::PlaylistReport& report,
                    std::FILE* out) {
    const std::set<int> relocated = relocatedPositions(report);
    store::forEachTrackEntry(listDb, [&](int position, const store::TrackEntry& entry) {
        const char* state = !platform::fileExists(entry.OrigFileName) ? "missing"
                            : relocated.count(position) != 0          ? "relocated"
                                                                      : "ok";
        writeLine(field(entry.Desc) + '\t' + field(platform::shownPath(entry.OrigFileName)) + '\t' +
                      field(platform::shownPath(entry.FileName)) + '\t' + state,
                  out);
    });
    if (sizeLimit > 0) {
        writeLine("# " + plan::LimitVerdictText(plan::ListedTotal(listDb), sizeLimit), out);
    }
    std::fflush(out);
}

void ReportSources(store::TfdbObject& listDb, const sources::PlaylistReport& report, std::FILE* err) {
    for (const sources::RelocatedLine& line : report.relocated) {
        writeLine(texts::FormatText(LineRelocatedText, {line.line, platform::shownPath(line.found)}), err);
    }
    std::set<std::string> named;
    store::forEachTrackEntry(listDb, [&](int, const store::TrackEntry& entry) {
        if (!platform::fileExists(entry.OrigFileName) && named.insert(entry.OrigFileName).second) {
            writeLine(texts::FormatText(SourceMissingText, {platform::shownPath(entry.OrigFileName)}), err);
        }
    });
    std::fflush(err);
}

} // namespace cli
