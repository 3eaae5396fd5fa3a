#include "plan/limit_bar.h"

#include "store/track_list.h"
#include "texts/size_text.h"

#include <cmath>

namespace plan {

namespace {

std::string percentText(int64_t total, int64_t sizeLimit) {
    const double percent = 100.0 * static_cast<double>(total) / static_cast<double>(sizeLimit);
    return std::to_string(std::llround(percent)) + "%  -  ";
}

// W x part / whole with the product as a 64-bit integer where it fits, divided in floating
// point and cut toward zero; part <= whole, so the result lies within 0..W.
int shareOf(int innerWidth, int64_t part, int64_t whole) {
    const long double product = static_cast<long double>(innerWidth) * static_cast<long double>(part);
    return static_cast<int>(std::trunc(product / static_cast<long double>(whole)));
}

} // namespace

int64_t ListedTotal(store::TfdbObject& listDb) {
    int64_t total = 0;
    store::forEachTrackEntry(listDb, [&total](int, const store::TrackEntry& entry) {
        if (entry.Size > 0) {
            total += entry.Size;
        }
    });
    return total;
}

std::string LimitVerdictText(int64_t total, int64_t sizeLimit) {
    return percentText(total, sizeLimit) + texts::SizeText(total) + "/" + texts::SizeText(sizeLimit);
}

LimitBarView LimitBarFor(int64_t total, int64_t sizeLimit, int innerWidth) {
    LimitBarView bar;
    if (sizeLimit <= 0 || total <= 0) {
        return bar;
    }
    bar.visible = true;
    bar.overLimit = total > sizeLimit;
    bar.shapeWidth =
        bar.overLimit ? shareOf(innerWidth, sizeLimit, total) : shareOf(innerWidth, total, sizeLimit);
    bar.text = LimitVerdictText(total, sizeLimit);
    bar.hint = percentText(total, sizeLimit) + std::to_string(total) + "/" + std::to_string(sizeLimit);
    return bar;
}

} // namespace plan
