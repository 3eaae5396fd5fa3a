#include "plan/size_limit.h"

#include "plan/history.h"
#include "platform/drives.h"
#include "platform/files.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace plan {

int64_t FreeSpace(std::string_view path) {
    std::string measured(path);
    if (measured.size() < 2 || measured[1] != ':') {
        measured = platform::currentFolder();
    }
    if (measured.empty()) {
        return -1;
    }
    const char drive =
        measured[0] >= 'a' && measured[0] <= 'z' ? static_cast<char>(measured[0] - 'a' + 'A') : measured[0];
    // A volume that reports no size has no free space to give the limit (platform::freeSpace).
    const int64_t free = platform::freeSpace(drive, measured);
    return free == std::numeric_limits<int64_t>::max() ? -1 : free;
}

std::string megabytesText(int64_t bytes) {
    return std::to_string(bytes / BytesPerMegabyte);
}

std::string freeMegabytesText(int64_t bytes) {
    if (bytes < 0 || bytes >= BytesPerMegabyte) {
        return megabytesText(bytes);
    }
    std::string fraction = std::to_string(BytesPerMegabyte + bytes).substr(1); // six digits
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    return fraction.empty() ? "0" : "0." + fraction;
}

ParsedNumber ParseNumber(std::string_view text) {
    std::string kept;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            kept += c;
        } else if (c == '.' || c == ',') {
            kept += '.';
        } else if (c == '-') {
            kept += '-';
        }
    }
    ParsedNumber parsed;
    if (kept.empty()) {
        return parsed;
    }
    double number = 0;
    const char* end = kept.data() + kept.size();
    const auto [stop, error] = std::from_chars(kept.data(), end, number, std::chars_format::fixed);
    if (error == std::errc() && stop == end) {
        parsed.number = number;
        parsed.status = 0;
    }
    return parsed;
}

int64_t sizeLimitFromText(std::string_view limitText) {
    const ParsedNumber parsed = ParseNumber(limitText);
    if (parsed.status != 0) {
        return 0;
    }
    const double bytes = parsed.number * static_cast<double>(BytesPerMegabyte);
    // 2^63 is exact in a double; anything at or beyond it cannot be held.
    constexpr double limit = 9223372036854775808.0;
    if (bytes >= limit) {
        return std::numeric_limits<int64_t>::max();
    }
    if (bytes <= -limit) {
        return std::numeric_limits<int64_t>::min();
    }
    // A typed "1.001" multiplies to 1000999.9999999999: that is binary rounding, not a
    // fraction of a byte the user asked for.
    const double nearest = std::nearbyint(bytes);
    if (std::fabs(bytes - nearest) <= std::fabs(nearest) * 1e-12) {
        return static_cast<int64_t>(nearest);
    }
    return static_cast<int64_t>(std::trunc(bytes));
}

int64_t timeLimitFromText(std::string_view text) {
    const auto digitsAt = [&text](size_t& at) -> std::optional<int64_t> {
        const size_t start = at;
        int64_t value = 0;
        while (at < text.size() && at - start < 9 && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + (text[at++] - '0');
        }
        return at > start ? std::optional<int64_t>(value) : std::nullopt;
    };
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    if (first == std::string_view::npos) {
        return 0;
    }
    text = text.substr(first, last - first + 1);
    // "74:00" or "1:14:00": every part digits, the later ones below 60.
    if (text.find(':') != std::string_view::npos) {
        int64_t seconds = 0;
        size_t at = 0;
        int parts = 0;
        while (true) {
            const std::optional<int64_t> part = digitsAt(at);
            if (!part || (parts > 0 && *part >= 60)) {
                return 0;
            }
            seconds = seconds * 60 + *part;
            ++parts;
            if (at == text.size()) {
                break;
            }
            if (text[at++] != ':' || parts == 3) {
                return 0;
            }
        }
        return parts >= 2 ? seconds : 0;
    }
    // "... 80 мин" or "... 80 min": the number right before the unit, at the end.
    for (std::string_view unit : {std::string_view("мин"), std::string_view("min")}) {
        if (!text.ends_with(unit)) {
            continue;
        }
        size_t end = text.size() - unit.size();
        while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '.')) {
            --end;
        }
        size_t start = end;
        while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') {
            --start;
        }
        if (start == end || end - start > 6) {
            return 0;
        }
        size_t at = start;
        return *digitsAt(at) * 60;
    }
    return 0;
}

int64_t ApplySizeLimit(std::string_view limitText, bool autoSizeLimit, std::vector<std::string>& limitItems) {
    const bool byTime = timeLimitFromText(limitText) > 0;
    const int64_t sizeLimit = byTime ? 0 : sizeLimitFromText(limitText);
    if ((sizeLimit != 0 || byTime) && !autoSizeLimit) {
        rememberInHistory(limitItems, limitText);
    }
    return sizeLimit;
}

DestPageState destOptionsFor(const DestPageControls& controls) {
    DestPageState state;
    state.renameGroupEnabled = controls.renameFiles;
    state.sizeLimitEnabled = !controls.autoSizeLimit;
    if (controls.autoSizeLimit) {
        const bool typed = controls.destFolder.find_first_not_of(" \t") != std::string::npos;
        state.sizeLimitText = typed ? freeMegabytesText(FreeSpace(controls.destFolder)) : std::string();
    }
    state.folderLevelsEnabled = controls.keepFolderLevels;
    return state;
}

} // namespace plan
