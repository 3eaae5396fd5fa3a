#include "cli/list_printing.h"

#include "plan/limit_bar.h"
#include "store/track_list.h"

#include <string>

namespace cli {

namespace {

std::string field(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = '?';
        }
    }
    return text;
}

} // namespace

void PrintTrackList(store::TfdbObject& listDb, int64_t sizeLimit, std::FILE* out) {
    store::forEachTrackEntry(listDb, [out](int, const store::TrackEntry& entry) {
        std::string line =
            field(entry.Desc) + '\t' + field(entry.OrigFileName) + '\t' + field(entry.FileName) + '\n';
        std::fwrite(line.data(), 1, line.size(), out);
    });
    if (sizeLimit > 0) {
        std::string line = "# " + plan::LimitVerdictText(plan::ListedTotal(listDb), sizeLimit) + '\n';
        std::fwrite(line.data(), 1, line.size(), out);
    }
    std::fflush(out);
}

} // namespace cli
