#include "sources/source_messages.h"

#include "platform/files.h"
#include "platform/shown_paths.h"
#include "texts/text_table.h"

#include <algorithm>

namespace sources {
namespace {

constexpr int SourceMissingText = 92;
constexpr int NotAFileReason = 167;
constexpr int DamagedLinesText = 220;
constexpr int CutDescriptionsText = 221;
constexpr int MoreCountedText = 222;
constexpr int NotAFileText = 223;
constexpr int LeftOutText = 224;

std::string andMore(int64_t more) {
    return more > 0 ? " " + texts::FormatText(MoreCountedText, {std::to_string(more)}) : std::string();
}

} // namespace

std::string lineNumbersText(const LineNumbers& lines) {
    std::string text;
    for (int64_t line : lines.first) {
        text += (text.empty() ? "" : ", ") + std::to_string(line);
    }
    return text + andMore(lines.count - static_cast<int64_t>(lines.first.size()));
}

std::string damagedLinesMessage(std::string_view playlistPath, const LineNumbers& lines) {
    return texts::FormatText(DamagedLinesText, {platform::shownPath(playlistPath), lineNumbersText(lines)});
}

std::string cutDescriptionsMessage(std::string_view playlistPath, const LineNumbers& lines) {
    return texts::FormatText(CutDescriptionsText,
                             {platform::shownPath(playlistPath), lineNumbersText(lines)});
}

std::string leftOutMessage(const std::vector<LeftOutPlace>& places, int64_t count) {
    std::string text;
    for (size_t i = 0; i < places.size() && i < MostPlacesNamed; ++i) {
        text += (text.empty() ? "" : "\n") +
                texts::FormatText(LeftOutText, {platform::shownPath(places[i].path), places[i].reason});
    }
    const int64_t named = static_cast<int64_t>(std::min(places.size(), MostPlacesNamed));
    return text + andMore(count - named);
}

std::string missingSourceText(std::string_view path) {
    const std::string shown = platform::shownPath(path);
    return platform::nonFileExists(path)
               ? texts::FormatText(NotAFileText, {shown, texts::GetText(NotAFileReason)})
               : texts::FormatText(SourceMissingText, {shown});
}

} // namespace sources
