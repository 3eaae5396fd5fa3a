#include "cli/terminal_progress.h"

#include "platform/terminal.h"

#include <utility>

namespace cli {

namespace {

constexpr int OverallBarCells = 20;
constexpr int FileBarCells = 10;
constexpr int DefaultColumns = 80;
constexpr const char* EraseLine = "\r\x1b[K";

std::string barText(int position, int cells) {
    int filled = position * cells / 1000;
    return "[" + std::string(filled, '#') + std::string(cells - filled, '-') + "]";
}

// The first `count` characters of UTF-8 text (a character takes one column on a terminal for
// the Latin and Cyrillic texts shown here).
std::string firstCharacters(const std::string& text, int count) {
    size_t end = 0;
    for (int seen = 0; end < text.size(); ++end) {
        bool starts = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
        if (starts && seen++ == count) {
            break;
        }
    }
    return text.substr(0, end);
}

// A text from the table may hold the window's CR LF line ends; a terminal wants LF alone.
std::string terminalText(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            result += text[i];
        }
    }
    return result;
}

} // namespace

std::string progressLineText(const ProgressLine& line, int columns) {
    std::string text = line.phase + " " + barText(line.overall, OverallBarCells) + " " +
                       std::to_string(line.overall / 10) + "% " + barText(line.file, FileBarCells);
    for (const std::string& status : line.status) {
        if (!status.empty()) {
            text += "  " + status;
        }
    }
    return firstCharacters(text, columns - 1);
}

TerminalProgress::TerminalProgress(std::FILE* log, std::FILE* messages, std::FILE* progress,
                                   std::function<void()> onPendingMessages)
    : m_log(log), m_messages(messages), m_progress(progress),
      m_onPendingMessages(std::move(onPendingMessages)) {}

TerminalProgress::~TerminalProgress() {
    eraseProgressLine();
}

void TerminalProgress::appendLogLine(const std::string& text) {
    printLine(m_log, text);
}

void TerminalProgress::setOverallBar(int position) {
    m_line.overall = position;
    redraw();
}

void TerminalProgress::setFileBar(int position) {
    m_line.file = position;
    redraw();
}

void TerminalProgress::setStatusText(copy::StatusLabel label, const std::string& text) {
    m_line.status[static_cast<size_t>(label)] = text;
    redraw();
}

void TerminalProgress::setPhaseTitle(const std::string& text) {
    m_line.phase = text;
    redraw();
}

void TerminalProgress::showMessage(const std::string& text) {
    ++m_messageCount;
    printLine(m_messages, text);
}

void TerminalProgress::processPendingMessages() {
    if (m_onPendingMessages) {
        m_onPendingMessages();
    }
}

void TerminalProgress::eraseProgressLine() {
    if (!m_shown.empty()) {
        std::fputs(EraseLine, m_progress);
        std::fflush(m_progress);
        m_shown.clear();
    }
}

void TerminalProgress::printLine(std::FILE* stream, const std::string& text) {
    eraseProgressLine();
    std::string line = terminalText(text) + '\n';
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
    redraw();
}

// Draws the line again only when its text changed, so a terminal is not flooded.
void TerminalProgress::redraw() {
    if (!m_progress || m_line.phase.empty()) {
        return;
    }
    std::string text = progressLineText(m_line, platform::terminalColumns(m_progress, DefaultColumns));
    if (text == m_shown) {
        return;
    }
    std::fputs(EraseLine, m_progress);
    std::fputs(text.c_str(), m_progress);
    std::fflush(m_progress);
    m_shown = std::move(text);
}

} // namespace cli
