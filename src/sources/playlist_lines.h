// The first pass over an M3U playlist: its bytes cut into lines, the header check, the info
// lines ("#EXTINF:" length "," description) and the file lines they govern.
//
// The header may follow a UTF-8 byte-order mark, which is no content. Lengths are whole seconds;
// a length with decimals ("123.45", as several players write it) counts by its whole part.
//
// Lines end at CR, LF or the end of the file in any mix; empty lines are skipped and never
// count. The first line must be exactly "#EXTM3U". An info line governs the next file line (a
// later info line replaces it); a file line that made an entry clears it. A file line made
// only of characters of code 0 to 32 makes no entry and leaves the pending info for the next
// file line. Bytes come in pieces of any size, so a playlist of any length is read once,
// without holding more than one line; a first line longer than the header is refused as soon
// as it is that long, so a big file that is no playlist is not read to its end.
//
// A file line longer than MaxPathLineBytes names no file the host could open (its longest
// path, PATH_MAX, is 4,096 bytes with the final NUL): it makes no entry, takes the pending
// info with it (the info described its file) and is counted, and its bytes are dropped as they
// come, so such a line costs no memory. A comment line is dropped the same way. An info line
// whose description passes MaxDescriptionBytes keeps that much of it (cut where a UTF-8
// character begins) and drops the rest as it comes; its line number is noted.
//
// Lines are bytes here; their text is decoded one line at a time later (decodedLine), so the
// reader notes whether the file began with a UTF-8 byte-order mark and which of its lines are
// not valid UTF-8.
#pragma once

#include "platform/files.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sources {

inline constexpr std::string_view PlaylistHeader = "#EXTM3U";
inline constexpr std::string_view InfoLinePrefix = "#EXTINF:";
inline constexpr size_t MaxPathLineBytes = platform::MaxHostPathBytes;
inline constexpr size_t MaxDescriptionBytes = 64 * 1024;

// Line numbers of one kind, for a message: the first few of them and how many there were.
struct LineNumbers {
    static constexpr size_t MostKept = 10;
    std::vector<int64_t> first;
    int64_t count = 0;

    void add(int64_t line) {
        if (first.size() < MostKept) {
            first.push_back(line);
        }
        ++count;
    }
};

// The standard text-to-integer conversion of a play length: optional leading blanks, an
// optional sign, then decimal digits, or hexadecimal ones after "$" or "0x"; nothing after.
// nullopt for anything else, the empty text and values outside the signed 32-bit range.
std::optional<int32_t> parseInteger(std::string_view text);
// A play length of an info line: parseInteger, or of the whole part when decimal digits follow
// a "." ("123.45" -> 123, "-1.0" -> -1); nullopt where parseInteger of that part is.
std::optional<int32_t> parseLength(std::string_view text);

class PlaylistLineReader {
public:
    // One file line, as collected (not trimmed), with the pending description and length.
    // Answers whether an entry was made; false (the store refused) keeps the pending info.
    using FileLineStep = std::function<bool(std::string_view line, const std::string& desc, int32_t len)>;

    // `playlistName` is the name that error messages give the file.
    explicit PlaylistLineReader(FileLineStep step, std::string playlistName = {})
        : m_step(std::move(step)), m_playlistName(std::move(playlistName)) {}

    // The next bytes of the file. False once the file has shown that it is no playlist:
    // feed nothing more then. Throws SourceError (badPlaylistLength: the file's name, the line
    // number counted from 1 with CR LF as one line end, and the text) for an info line whose
    // length does not convert; the entries made before it stay made.
    bool feed(std::string_view bytes);
    // The end of the file: a last line without a line end is handled. False when the file is
    // no playlist (an empty file, or one of line ends only, is a playlist without entries).
    bool finish();
    // File lines skipped so far for being longer than MaxPathLineBytes.
    int64_t longLinesSkipped() const { return m_longLinesSkipped; }
    // Whether the header followed a UTF-8 byte-order mark.
    bool byteOrderMark() const { return m_byteOrderMark; }
    // The info and file lines that are not valid UTF-8 (comments aside), counted from 1.
    const LineNumbers& nonUtf8Lines() const { return m_nonUtf8Lines; }
    // The info lines whose description was cut at MaxDescriptionBytes.
    const LineNumbers& cutInfoLines() const { return m_cutInfoLines; }

private:
    void handleLine();
    void handleInfoLine(std::string_view rest);
    void endLine(char lineEnd);
    // Starts dropping the line collected so far when it has grown past what it may hold.
    void dropWhenTooLong();
    // Cuts an info line whose description has grown past MaxDescriptionBytes.
    void cutWhenTooLong();

    FileLineStep m_step;
    std::string m_line;
    bool m_dropping = false; // the rest of the line is skipped as it comes
    bool m_droppingFileLine = false;
    int64_t m_longLinesSkipped = 0;
    std::string m_desc;
    int32_t m_len = 0;
    int64_t m_lineCount = 0;
    bool m_notPlaylist = false;
    std::string m_playlistName;
    int64_t m_lineNumber = 1;       // of the line in hand, in the file
    bool m_afterCR = false;         // the last line end was a CR: an LF now ends no further line
    bool m_cuttingInfoLine = false; // the rest of an info line is dropped, what is kept is handled
    bool m_byteOrderMark = false;
    LineNumbers m_nonUtf8Lines;
    LineNumbers m_cutInfoLines;
};

} // namespace sources
