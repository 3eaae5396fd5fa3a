#include "cli/list_printing.h"

#include "plan/preview.h"
#include "platform/shown_paths.h"
#include "sources/source_messages.h"
#include "texts/text_table.h"

#include <algorithm>
#include <set>
#include <string>

namespace cli {

namespace {

constexpr int LineRelocatedText = 93;
constexpr int ColumnsText = 360;
constexpr int VolumeTakesAllText = 361;

std::string field(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, '?');
    return text;
}

void writeLine(std::string line, std::FILE* out) {
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
}

bool has(const std::vector<plan::RowState>& states, plan::RowState state) {
    return std::find(states.begin(), states.end(), state) != states.end();
}

const char* sourceWord(const std::vector<plan::RowState>& states) {
    return has(states, plan::RowState::SourceMissing) ? "missing"
           : has(states, plan::RowState::Relocated)   ? "relocated"
                                                      : "ok";
}

} // namespace

void printTrackList(const plan::Preview& preview, bool header, std::FILE* out) {
    if (header) {
        writeLine("# " + texts::GetText(ColumnsText), out);
    }
    for (int position = 0; position < preview.rowCount(); ++position) {
        const store::TrackEntry entry = preview.entry(position);
        const std::string states = preview.stateText(position);
        // The states and the playing time are trailing fields: a row that has neither keeps the
        // five fields of a plain list; a row whose file told its length carries its (maybe
        // empty) states field so that the time always stands seventh.
        const bool timed = preview.timedByFile(position) && entry.Len && *entry.Len >= 0;
        std::string line = field(entry.Desc) + '\t' + field(platform::shownPath(entry.OrigFileName)) + '\t' +
                           field(platform::shownPath(entry.FileName)) + '\t' +
                           sourceWord(preview.states(position)) + '\t' +
                           field(preview.volumeReasons(position));
        if (!states.empty() || timed) {
            line += '\t' + field(states);
        }
        if (timed) {
            line += '\t' + plan::playingTimeText(*entry.Len);
        }
        writeLine(std::move(line), out);
    }
    const plan::LimitBarView bar = preview.limitBar(100);
    if (!bar.text.empty()) {
        writeLine("# " + bar.text, out);
        // The hint's second line, when there is one, gives the sizes on the volume.
        const size_t lineEnd = bar.hint.find('\n');
        if (lineEnd != std::string::npos) {
            writeLine("# " + bar.hint.substr(lineEnd + 1), out);
        }
    }
    writeLine("# " + preview.totalsLine(), out);
    std::fflush(out);
}

int printVolumeProblems(const plan::Preview& preview, std::FILE* out) {
    int problems = 0;
    for (int position = 0; position < preview.rowCount(); ++position) {
        const std::string reasons = preview.volumeReasons(position);
        if (!reasons.empty()) {
            ++problems;
            writeLine(field(platform::shownPath(preview.entry(position).FileName)) + '\t' + field(reasons),
                      out);
        }
    }
    const std::string line = preview.volumeLine();
    writeLine("# " +
                  (line.empty() && preview.dest().volume
                       ? texts::formatTextOnce(VolumeTakesAllText, {plan::volumeName(*preview.dest().volume)})
                       : line),
              out);
    std::fflush(out);
    return problems;
}

void reportSources(const plan::Preview& preview, std::FILE* err) {
    for (int position = 0; position < preview.rowCount(); ++position) {
        const std::string line = preview.relocatedLine(position);
        if (!line.empty()) {
            writeLine(texts::FormatText(LineRelocatedText,
                                        {line, platform::shownPath(preview.entry(position).OrigFileName)}),
                      err);
        }
    }
    std::set<std::string> named;
    for (int position = 0; position < preview.rowCount(); ++position) {
        if (has(preview.states(position), plan::RowState::SourceMissing)) {
            const std::string source = preview.entry(position).OrigFileName;
            if (named.insert(source).second) {
                writeLine(sources::missingSourceText(source), err);
            }
        }
    }
    std::fflush(err);
}

} // namespace cli
