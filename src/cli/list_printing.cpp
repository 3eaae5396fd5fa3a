#include "cli/list_printing.h"

#include "copy/progress_display.h"
#include "store/track_list.h"

#include <cmath>

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

std::string LimitVerdictText(int64_t total, int64_t sizeLimit) {
    const double percent = 100.0 * static_cast<double>(total) / static_cast<double>(sizeLimit);
    return std::to_string(std::llround(percent)) + "%  -  " + copy::SizeText(total) + "/" +
           copy::SizeText(sizeLimit);
}

int64_t ListedTotal(store::TfdbObject& listDb) {
    int64_t total = 0;
    store::forEachTrackEntry(listDb, [&total](int, const store::TrackEntry& entry) {
        if (entry.Size > 0) {
            total += entry.Size;
        }
    });
    return total;
}

void PrintTrackList(store::TfdbObject& listDb, int64_t sizeLimit, std::FILE* out) {
    store::forEachTrackEntry(listDb, [out](int, const store::TrackEntry& entry) {
        std::string line =
            field(entry.Desc) + '\t' + field(entry.OrigFileName) + '\t' + field(entry.FileName) + '\n';
        std::fwrite(line.data(), 1, line.size(), out);
    });
    if (sizeLimit > 0) {
        std::string line = "# " + LimitVerdictText(ListedTotal(listDb), sizeLimit) + '\n';
        std::fwrite(line.data(), 1, line.size(), out);
    }
    std::fflush(out);
}

} // namespace cli
