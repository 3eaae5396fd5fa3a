#include "app/progress_page_view.h"

#include "app/qt_text.h"
#include "platform/drives.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>

namespace app {

void ProgressPageView::clearLog() {
    m_controls.log->clear();
    m_controls.phaseTitle->setStyleSheet(QString());
}

void ProgressPageView::appendLogLine(const std::string& text) {
    m_controls.log->appendPlainText(toQt(text));
}

void ProgressPageView::setOverallBar(int position) {
    m_controls.overallBar->setValue(position);
}

void ProgressPageView::setFileBar(int position) {
    m_controls.fileBar->setValue(position);
}

void ProgressPageView::setStatusText(copy::StatusLabel label, const std::string& text) {
    QLabel* shown = nullptr;
    switch (label) {
    case copy::StatusLabel::Speed:
        shown = m_controls.speed;
        break;
    case copy::StatusLabel::Size:
        shown = m_controls.sizes;
        break;
    case copy::StatusLabel::Time:
        shown = m_controls.times;
        break;
    }
    if (shown != nullptr) {
        shown->setText(toQt(text));
    }
}

void ProgressPageView::setPhaseTitle(const std::string& text) {
    m_controls.phaseTitle->setText(toQt(text));
}

void ProgressPageView::showSummary(const std::string& text, bool clean) {
    // The counts are longer than a phase's name: wrapped rather than cut off or widening the page.
    m_controls.phaseTitle->setWordWrap(true);
    m_controls.phaseTitle->setText(toQt(text));
    m_controls.phaseTitle->setStyleSheet(clean ? QStringLiteral("color: #1b7a1b;")
                                               : QStringLiteral("color: #c00000;"));
}

void ProgressPageView::showMessage(const std::string& text) {
    m_prompts.showMessage(text);
}

bool ProgressPageView::askYesNo(const std::string& text) {
    return m_prompts.askYesNo(text);
}

void ProgressPageView::processPendingMessages() {
    QCoreApplication::processEvents();
}

void ProgressPageView::openDocument(const std::string& path) {
    if (const std::optional<std::string> host = platform::toHostPath(path)) {
        m_links.openHostFile(*host);
    }
}

} // namespace app
