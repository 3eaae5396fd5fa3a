#include "plan/limit_bar.h"

#include "platform/volume_name_rules.h"
#include "store/track_list.h"
#include "texts/size_text.h"
#include "texts/text_table.h"

#include <cmath>
#include <cstdio>

namespace plan {

namespace {

// "Файлы: %1 (%2 байт), на томе с кластером %3 займут %4 (%5 байт)"
constexpr int TotalOnVolumeText = 100;

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

int64_t listedTotal(store::TfdbObject& listDb) {
    int64_t total = 0;
    store::forEachTrackEntry(listDb, [&total](int, const store::TrackEntry& entry) {
        if (entry.Size > 0) {
            total += entry.Size;
        }
    });
    return total;
}

ListedTotals listedTotalsOf(store::TfdbObject& listDb, int64_t allocationUnit) {
    ListedTotals totals;
    store::forEachTrackEntry(listDb, [&](int, const store::TrackEntry& entry) {
        if (entry.Size > 0) {
            totals.bytes += entry.Size;
            totals.onVolume += platform::roundUpToAllocationUnit(entry.Size, allocationUnit);
        }
    });
    return totals;
}

std::string playingTimeText(int64_t seconds) {
    if (seconds < 0) {
        return {};
    }
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    }
    return text;
}

LimitBarView timeLimitBarFor(int64_t seconds, int64_t limitSeconds, int innerWidth) {
    LimitBarView bar;
    if (limitSeconds <= 0 || seconds <= 0) {
        return bar;
    }
    bar.visible = true;
    bar.overLimit = seconds > limitSeconds;
    bar.shapeWidth = bar.overLimit ? shareOf(innerWidth, limitSeconds, seconds)
                                   : shareOf(innerWidth, seconds, limitSeconds);
    bar.text =
        percentText(seconds, limitSeconds) + playingTimeText(seconds) + "/" + playingTimeText(limitSeconds);
    bar.hint =
        percentText(seconds, limitSeconds) + std::to_string(seconds) + "/" + std::to_string(limitSeconds);
    return bar;
}

std::string limitVerdictText(int64_t total, int64_t sizeLimit) {
    return percentText(total, sizeLimit) + texts::SizeText(total) + "/" + texts::SizeText(sizeLimit);
}

LimitBarView LimitBarFor(int64_t total, int64_t sizeLimit, int innerWidth,
                         std::optional<TotalOnVolume> onVolume) {
    LimitBarView bar;
    if (onVolume && onVolume->allocationUnit <= 0) {
        onVolume.reset();
    }
    const int64_t counted = onVolume ? onVolume->total : total;
    if (sizeLimit <= 0 || counted <= 0) {
        return bar;
    }
    bar.visible = true;
    bar.overLimit = counted > sizeLimit;
    bar.shapeWidth =
        bar.overLimit ? shareOf(innerWidth, sizeLimit, counted) : shareOf(innerWidth, counted, sizeLimit);
    bar.text = limitVerdictText(counted, sizeLimit);
    bar.hint = percentText(counted, sizeLimit) + std::to_string(counted) + "/" + std::to_string(sizeLimit);
    if (onVolume) {
        bar.hint +=
            "\n" + texts::FormatText(TotalOnVolumeText,
                                     {texts::SizeText(total), std::to_string(total),
                                      texts::SizeText(onVolume->allocationUnit),
                                      texts::SizeText(onVolume->total), std::to_string(onVolume->total)});
    }
    return bar;
}

} // namespace plan
