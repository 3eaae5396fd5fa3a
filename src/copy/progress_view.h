// What the copy engine shows while it works, and what it asks of the person at the screen. The
// window implements this on the progress page TSP (its bars, labels and log Memo1), the
// command-line front end on a terminal, tests with a recording double. Every call comes on the
// thread that runs the copy; texts are UTF-8, paths are program paths (platform/drives.h).
#pragma once

#include <string>

namespace copy {

// The three status labels of the progress page.
enum class StatusLabel {
    Speed, // Label16
    Size,  // Label14: done size / total size
    Time,  // Label15: elapsed time / estimated total time
};

class ProgressView {
public:
    virtual ~ProgressView() = default;

    virtual void clearLog() = 0;
    // Appends one line at the end of the log; an empty text is an empty line.
    virtual void appendLogLine(const std::string& text) = 0;
    // Positions within 0..1000 (the bars' maximum), already clamped by the caller.
    virtual void setOverallBar(int position) = 0; // ProgressBar1
    virtual void setFileBar(int position) = 0;    // ProgressBar2
    virtual void setStatusText(StatusLabel label, const std::string& text) = 0;
    virtual void setPhaseTitle(const std::string& text) = 0; // Label12
    // The verdict of a run that has ended (the summary line of its log), shown where a person
    // cannot miss it; `clean` is false when an entry failed or had no source. A view that has
    // nothing better puts it in the phase title.
    virtual void showSummary(const std::string& text, [[maybe_unused]] bool clean) { setPhaseTitle(text); }
    // A message box with OK; returns when it has been closed.
    virtual void showMessage(const std::string& text) = 0;
    // A confirmation with Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    // Lets the window handle what is pending (repaint, the skip and abort buttons). The skip and
    // abort handlers only set flags of the run state, which the engine reads afterwards.
    virtual void processPendingMessages() = 0;
    // Opens a document with the desktop's default handler; the outcome is not reported.
    virtual void openDocument(const std::string& path) = 0;
};

} // namespace copy
