// The copy engine's display (copy/progress_view.h) on a terminal:
// - the log on one stream (standard output), each line written and flushed as it is logged,
//   so that a pipe or a person sees the run as it goes;
// - what the window shows in a message box, as a line on another stream (standard error);
// - no questions: every Yes/No is answered No unasked, so the new playlist is never opened;
// - when a progress stream is given (standard error, only when it is a terminal), one line
//   there that rewrites itself in place: the phase, the overall bar with its percentage, the
//   file bar, and the speed, done/total and elapsed/estimate labels. It is taken away before
//   any other line is printed and drawn again after it, so it never mixes with the log.
#pragma once

#include "copy/progress_view.h"

#include <array>
#include <cstdio>
#include <functional>
#include <string>

namespace cli {

// What the progress line shows.
struct ProgressLine {
    std::string phase;
    int overall = 0; // bar positions, 0..1000
    int file = 0;
    std::array<std::string, 3> status; // by copy::StatusLabel
};

// The progress line's text, cut to `columns` - 1 characters so that it never wraps (a wrapped
// line could not be rewritten in place).
std::string progressLineText(const ProgressLine& line, int columns);

class TerminalProgress final : public copy::ProgressView {
public:
    // `progress` may be null: no progress line. `onPendingMessages` runs wherever the engine
    // lets the window process its messages, which is where a front end notices an abort.
    TerminalProgress(std::FILE* log, std::FILE* messages, std::FILE* progress,
                     std::function<void()> onPendingMessages);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // Lines already printed stay: a run's log simply starts below the earlier output.
    void clearLog() override {}
    void appendLogLine(const std::string& text) override;
    void setOverallBar(int position) override;
    void setFileBar(int position) override;
    void setStatusText(copy::StatusLabel label, const std::string& text) override;
    void setPhaseTitle(const std::string& text) override;
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string&) override { return false; }
    void processPendingMessages() override;
    void openDocument(const std::string&) override {}

    // How many message-box texts have been shown so far.
    int messageCount() const { return m_messageCount; }
    // Takes the progress line off the screen for good (until the next update).
    void eraseProgressLine();

private:
    void printLine(std::FILE* stream, const std::string& text);
    void redraw();

    std::FILE* m_log;
    std::FILE* m_messages;
    std::FILE* m_progress;
    std::function<void()> m_onPendingMessages;
    ProgressLine m_line;
    std::string m_shown; // the progress line on screen now; "" when none is
    int m_messageCount = 0;
};

} // namespace cli
