// The messages in which the sources tell what they could not take as it was: the lines of a
// playlist that were damaged or cut, the places a folder walk left out, and a source path that
// names no file. Built from the text table; paths in them are host paths.
#pragma once

#include "sources/playlist_lines.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sources {

// How many places a message names one by one; the rest are counted.
inline constexpr size_t MostPlacesNamed = LineNumbers::MostKept;

// "3, 7, 12", with " и ещё 5" when more lines were counted than kept.
std::string lineNumbersText(const LineNumbers& lines);

// The lines of a playlist that were no UTF-8 although the playlist is UTF-8 (a byte-order mark,
// the ".m3u8" extension), and the info lines whose description was cut.
std::string damagedLinesMessage(std::string_view playlistPath, const LineNumbers& lines);
std::string cutDescriptionsMessage(std::string_view playlistPath, const LineNumbers& lines);

// What a folder walk left out: one line per place (host path and reason), the first
// MostPlacesNamed of `count` named; "" when nothing was left out.
struct LeftOutPlace {
    std::string path; // program path
    std::string reason;
};
std::string leftOutMessage(const std::vector<LeftOutPlace>& places, int64_t count);

// Why a source path gives no file: "Файл не найден: <path>" when nothing stands there, or that
// what stands there (a folder, a device, a pipe) is no file.
std::string missingSourceText(std::string_view path);

} // namespace sources
