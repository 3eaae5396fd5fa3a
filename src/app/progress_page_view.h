// The progress page TSP as the copy engine's progress view (copy/progress_view.h): the log
// Memo1, the bars ProgressBar1 and ProgressBar2 (maximum 1000), the status labels Label16
// (speed), Label14 (sizes) and Label15 (times), the phase title Label12; message boxes and the
// Yes/No question through the window's UserPrompts; the window's pending events processed with
// QCoreApplication::processEvents(), which is where the skip and abort buttons reach a running
// copy; a document opened by its host path through the window's LinkOpener.
#pragma once

#include "app/desktop_links.h"
#include "app/user_prompts.h"
#include "copy/progress_view.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;

namespace app {

struct ProgressPageControls {
    QPlainTextEdit* log = nullptr;      // Memo1
    QProgressBar* overallBar = nullptr; // ProgressBar1
    QProgressBar* fileBar = nullptr;    // ProgressBar2
    QLabel* speed = nullptr;            // Label16
    QLabel* sizes = nullptr;            // Label14
    QLabel* times = nullptr;            // Label15
    QLabel* phaseTitle = nullptr;       // Label12
};

class ProgressPageView : public copy::ProgressView {
public:
    // The controls belong to the window and outlive this object; so do `prompts` and `links`.
    ProgressPageView(const ProgressPageControls& controls, UserPrompts& prompts, LinkOpener& links)
        : m_controls(controls), m_prompts(prompts), m_links(links) {}

    void clearLog() override;
    void appendLogLine(const std::string& text) override;
    void setOverallBar(int position) override;
    void setFileBar(int position) override;
    void setStatusText(copy::StatusLabel label, const std::string& text) override;
    void setPhaseTitle(const std::string& text) override;
    // The run's verdict in Label12, in red when an entry failed or had no source, so that a run
    // that copied nothing cannot pass for a good one; the next run's clearLog() takes the colour
    // away again.
    void showSummary(const std::string& text, bool clean) override;
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void processPendingMessages() override;
    // A program path; one that names no host file opens nothing.
    void openDocument(const std::string& path) override;

private:
    ProgressPageControls m_controls;
    UserPrompts& m_prompts;
    LinkOpener& m_links;
};

} // namespace app
