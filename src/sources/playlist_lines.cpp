#include "sources/playlist_lines.h"

#include "sources/source_error.h"
#include "sources/source_paths.h"
#include "sources/text_decoding.h"

#include <algorithm>
#include <limits>

namespace sources {
namespace {

int digitValue(char c, int base) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (base == 16 && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (base == 16 && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

std::optional<int32_t> parseInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    const uint64_t limit = negative ? uint64_t{1} << 31 : std::numeric_limits<int32_t>::max();
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i], base);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > limit) {
            return std::nullopt;
        }
    }
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
}

std::optional<int32_t> parseLength(std::string_view text) {
    const size_t dot = text.find('.');
    if (dot != std::string_view::npos) {
        const std::string_view fraction = text.substr(dot + 1);
        const bool digits =
            std::all_of(fraction.begin(), fraction.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (digits) {
            text = text.substr(0, dot);
        }
    }
    return parseInteger(text);
}

bool PlaylistLineReader::feed(std::string_view bytes) {
    size_t position = 0;
    while (!m_notPlaylist && position < bytes.size()) {
        size_t end = position;
        while (end < bytes.size() && !isLineEnd(bytes[end])) {
            ++end;
        }
        if (!m_dropping) {
            m_line.append(bytes.substr(position, end - position));
            if (m_lineCount == 0 && m_line.size() > Utf8ByteOrderMark.size() + PlaylistHeader.size()) {
                m_notPlaylist = true; // the first line can no longer be the header
                break;
            }
            dropWhenTooLong();
        }
        if (end == bytes.size()) {
            break; // the line goes on in the next piece
        }
        endLine(bytes[end]);
        position = end + 1;
    }
    return !m_notPlaylist;
}

bool PlaylistLineReader::finish() {
    if (!m_notPlaylist) {
        endLine('\0');
    }
    return !m_notPlaylist;
}

void PlaylistLineReader::dropWhenTooLong() {
    if (m_lineCount == 0) {
        return;
    }
    if (m_line.starts_with(InfoLinePrefix)) {
        cutWhenTooLong();
        return;
    }
    if (m_line.size() <= MaxPathLineBytes) {
        return;
    }
    m_dropping = true;
    m_droppingFileLine = m_line.front() != '#';
    std::string().swap(m_line); // give the memory back, not only the length
}

void PlaylistLineReader::cutWhenTooLong() {
    const size_t comma = m_line.find(',', InfoLinePrefix.size());
    const size_t descStart = comma == std::string::npos ? InfoLinePrefix.size() : comma + 1;
    if (m_line.size() - descStart <= MaxDescriptionBytes) {
        return;
    }
    size_t cut = descStart + MaxDescriptionBytes;
    for (int back = 0; back < 3 && (static_cast<unsigned char>(m_line[cut]) & 0xC0) == 0x80; ++back) {
        --cut; // not inside a UTF-8 character
    }
    m_line.resize(cut);
    m_line.shrink_to_fit();
    m_dropping = true;
    m_cuttingInfoLine = true;
    m_cutInfoLines.add(m_lineNumber);
}

void PlaylistLineReader::endLine(char lineEnd) {
    if (m_dropping && m_droppingFileLine) {
        ++m_longLinesSkipped;
        m_desc.clear(); // the info described the file of this line, not the next one
        m_len = 0;
    }
    if ((!m_dropping || m_cuttingInfoLine) && !m_line.empty()) {
        handleLine(); // a cut info line counts with what was kept of it
    }
    m_dropping = false;
    m_droppingFileLine = false;
    m_cuttingInfoLine = false;
    m_line.clear();
    if (lineEnd == '\r' || (lineEnd == '\n' && !m_afterCR)) {
        ++m_lineNumber;
    }
    m_afterCR = lineEnd == '\r';
}

void PlaylistLineReader::handleLine() {
    if (++m_lineCount == 1) {
        std::string_view header = m_line;
        m_byteOrderMark = header.starts_with(Utf8ByteOrderMark);
        if (m_byteOrderMark) {
            header.remove_prefix(Utf8ByteOrderMark.size());
        }
        m_notPlaylist = header != PlaylistHeader;
        return;
    }
    const bool infoLine = m_line.starts_with(InfoLinePrefix);
    if ((infoLine || m_line.front() != '#') && !isValidUtf8(m_line)) {
        m_nonUtf8Lines.add(m_lineNumber);
    }
    if (m_line.front() != '#') {
        if (!trimControlChars(m_line).empty() && m_step(m_line, m_desc, m_len)) {
            m_desc.clear();
            m_len = 0;
        }
    } else if (infoLine) {
        handleInfoLine(std::string_view(m_line).substr(InfoLinePrefix.size()));
    }
}

void PlaylistLineReader::handleInfoLine(std::string_view rest) {
    const size_t comma = rest.find(',');
    m_desc = comma == std::string_view::npos ? std::string() : std::string(rest.substr(comma + 1));
    const std::string_view lengthText = rest.substr(0, comma);
    const std::optional<int32_t> length = parseLength(lengthText);
    if (!length) {
        throw badPlaylistLength(m_playlistName, m_lineNumber, std::string(lengthText));
    }
    m_len = *length;
}

} // namespace sources
