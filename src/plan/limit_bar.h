// The totals of the preview and the limit bar's numbers: how the summed size of the listed
// files compares with the size limit. The bar only shows the verdict; the copy run does not
// stop at the limit. Both front ends use these: the window draws LimitBarFor on its bar, the
// command-line front end prints the text under the list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace store {
class TfdbObject;
}

namespace plan {

// The sum of the Size fields of the track list that are greater than 0: -1 (not looked up)
// and 0 (could not be opened) add nothing.
int64_t listedTotal(store::TfdbObject& listDb);

// listedTotal and, for a volume whose allocation unit is `allocationUnit`, the total that the
// volume takes (listedTotalOnVolume of volume_check.h), in one walk of the list: the bar is
// drawn after every build and removal, and a list may hold 100,000 entries. A unit of 0 or less
// (unknown) gives the byte total for both.
struct ListedTotals {
    int64_t bytes = 0;
    int64_t onVolume = 0;
};
ListedTotals listedTotalsOf(store::TfdbObject& listDb, int64_t allocationUnit);

// "50%  -  350 Мб/700 Мб": the percentage of the limit rounded to a whole number, then the
// two sizes as short texts. `sizeLimit` greater than 0.
std::string limitVerdictText(int64_t total, int64_t sizeLimit);

// A playing time as a person reads it: "3:07", "1:02:05"; "" for a negative time.
std::string playingTimeText(int64_t seconds);

struct LimitBarView {
    bool visible = false;   // hidden without a limit or with nothing measured
    int shapeWidth = 0;     // pixels of the measure, from the bar's left edge
    bool overLimit = false; // the bar light red instead of white
    std::string text;       // Label4: limitVerdictText
    std::string hint;       // Label4's hint: the percentage and the exact byte counts
};

// What the listed files take on the destination volume: every size rounded up to the volume's
// allocation unit (listedTotalOnVolume of volume_check.h). A stick with 32 KiB clusters holds
// 1,000 files of 1 KB in 32 MB, not 1 MB.
struct TotalOnVolume {
    int64_t allocationUnit = 0; // bytes, above 0
    int64_t total = 0;          // bytes
};

// The bar for `total` bytes against `sizeLimit` bytes (0 or less = no limit) on a bar whose
// inner width is `innerWidth` pixels. Under the limit the measure covers the used share of the
// bar, over it the share that fits; the width is cut toward zero.
// With `onVolume` the verdict, the measure and the text count the total on the volume, and the
// hint gives both totals on a second line; without it (or with an allocation unit of 0) the
// byte total counts.
LimitBarView LimitBarFor(int64_t total, int64_t sizeLimit, int innerWidth,
                         std::optional<TotalOnVolume> onVolume = std::nullopt);

// The same bar for a playing time of `seconds` against a limit of `limitSeconds` (an audio CD's
// 74 or 80 minutes): "105%  -  1:24:00/1:20:00", the hint with the exact seconds.
LimitBarView timeLimitBarFor(int64_t seconds, int64_t limitSeconds, int innerWidth);

} // namespace plan
