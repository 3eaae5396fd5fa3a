#include "cli/list_printing.h"

#include "plan/limit_bar.h"
#include "platform/files.h"
#include "platform/shown_paths.h"
#include "sources/source_messages.h"
#include "store/track_list.h"
#include "texts/size_text.h"
#include "texts/text_table.h"

#include <map>
#include <set>
#include <string>

namespace cli {

namespace {

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

// The reasons of each entry with a problem, joined by "; ".
std::map<int, std::string> reasonsByPosition(const std::optional<VolumeReport>& volume) {
    std::map<int, std::string> reasons;
    if (volume) {
        for (const plan::VolumeProblem& problem : volume->problems) {
            std::string& text = reasons[problem.position];
            text += (text.empty() ? "" : "; ") + problem.text;
        }
    }
    return reasons;
}

} // namespace

std::optional<VolumeReport> CheckVolume(store::TfdbObject& listDb, const plan::NamingOptions& naming) {
    const std::string destFolder = plan::FullDestFolder(naming.destFolder);
    auto facts = platform::volumeFactsOf(destFolder);
    if (!facts) {
        return std::nullopt;
    }
    return VolumeReport{*facts, plan::CheckListForVolume(listDb, *facts, destFolder, naming.invalidChars)};
}

void PrintTrackList(store::TfdbObject& listDb, int64_t sizeLimit, bool sizesOnVolume,
                    const sources::PlaylistReport& report, const std::optional<VolumeReport>& volume,
                    std::FILE* out) {
    const std::set<int> relocated = relocatedPositions(report);
    const std::map<int, std::string> reasons = reasonsByPosition(volume);
    store::forEachTrackEntry(listDb, [&](int position, const store::TrackEntry& entry) {
        const char* state = !platform::fileExists(entry.OrigFileName) ? "missing"
                            : relocated.count(position) != 0          ? "relocated"
                                                                      : "ok";
        auto reason = reasons.find(position);
        writeLine(field(entry.Desc) + '\t' + field(platform::shownPath(entry.OrigFileName)) + '\t' +
                      field(platform::shownPath(entry.FileName)) + '\t' + state + '\t' +
                      (reason == reasons.end() ? std::string() : field(reason->second)),
                  out);
    });
    if (sizeLimit > 0) {
        const int64_t listed = plan::ListedTotal(listDb);
        const int64_t unit = sizesOnVolume && volume ? volume->facts.allocationUnit : 0;
        const int64_t onVolume = unit > 0 ? plan::ListedTotalOnVolume(listDb, unit) : listed;
        writeLine("# " + plan::LimitVerdictText(onVolume, sizeLimit), out);
        if (onVolume != listed) {
            writeLine("# на томе займет " + texts::SizeText(onVolume) + " (размер файла округляется до " +
                          texts::SizeText(unit) + "), сумма размеров файлов " + texts::SizeText(listed),
                      out);
        }
    }
    std::fflush(out);
}

int PrintVolumeProblems(store::TfdbObject& listDb, const VolumeReport& volume, std::FILE* out) {
    const std::map<int, std::string> reasons = reasonsByPosition(volume);
    store::forEachTrackEntry(listDb, [&](int position, const store::TrackEntry& entry) {
        auto reason = reasons.find(position);
        if (reason != reasons.end()) {
            writeLine(field(platform::shownPath(entry.FileName)) + '\t' + field(reason->second), out);
        }
    });
    const std::string line = plan::VolumeCheckLine(volume.facts, volume.problems, store::trackCount(listDb));
    writeLine(
        "# " + (line.empty() ? "Том " + plan::VolumeName(volume.facts) + " примет все файлы списка" : line),
        out);
    std::fflush(out);
    return static_cast<int>(reasons.size());
}

void ReportSources(store::TfdbObject& listDb, const sources::PlaylistReport& report, std::FILE* err) {
    for (const sources::RelocatedLine& line : report.relocated) {
        writeLine(texts::FormatText(LineRelocatedText, {line.line, platform::shownPath(line.found)}), err);
    }
    std::set<std::string> named;
    store::forEachTrackEntry(listDb, [&](int, const store::TrackEntry& entry) {
        if (!platform::fileExists(entry.OrigFileName) && named.insert(entry.OrigFileName).second) {
            writeLine(sources::MissingSourceText(entry.OrigFileName), err);
        }
    });
    std::fflush(err);
}

} // namespace cli
