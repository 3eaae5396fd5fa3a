// The text encodings that playlists from elsewhere come in. Names on this host are UTF-8, so a
// playlist's lines are turned into UTF-8 before any name is taken from them, each line on its
// own: a line that is valid UTF-8 is taken as it is, any other as Windows-1251 (the code page
// that older Russian playlists are written in; every byte of it has a character). So one
// stray byte in a comment or a description changes no other line. A playlist that says it is
// UTF-8 (a byte-order mark, the ".m3u8" extension) has UTF-8 lines only.
#pragma once

#include <string>
#include <string_view>

namespace sources {

// The byte-order mark that some programs put before the first line of a UTF-8 file.
inline constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// `bytes` with every byte that does not begin or continue a well-formed sequence replaced by
// U+FFFD, so that the result is valid UTF-8 and valid input comes back unchanged.
std::string repairedUtf8(std::string_view bytes);

// The UTF-8 text of Windows-1251 `bytes` (ASCII stays; the one byte without a character, 0x98,
// becomes U+0098 so that nothing is lost).
std::string utf8FromWindows1251(std::string_view bytes);

// The UTF-8 text of one playlist line: the line as it is when it is valid UTF-8; otherwise
// repairedUtf8 when the playlist is UTF-8 (`utf8Playlist`), else utf8FromWindows1251.
std::string decodedLine(std::string_view bytes, bool utf8Playlist);

} // namespace sources
