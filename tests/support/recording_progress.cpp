#include "support/recording_progress.h"

namespace testsupport {

void RecordingProgress::clearLog() {
    log.clear();
}

void RecordingProgress::appendLogLine(const std::string& text) {
    log.push_back(text);
}

void RecordingProgress::setOverallBar(int position) {
    overallPositions.push_back(position);
}

void RecordingProgress::setFileBar(int position) {
    filePositions.push_back(position);
}

void RecordingProgress::setStatusText(copy::StatusLabel label, const std::string& text) {
    m_status[static_cast<int>(label)] = text;
    statusTexts.push_back(text);
    ++statusChanges;
}

const std::string& RecordingProgress::status(copy::StatusLabel label) const {
    return m_status[static_cast<int>(label)];
}

void RecordingProgress::setPhaseTitle(const std::string& text) {
    phaseTitles.push_back(text);
}

void RecordingProgress::showMessage(const std::string& text) {
    messages.push_back(text);
}

bool RecordingProgress::askYesNo(const std::string& text) {
    questions.push_back(text);
    return answerYes;
}

void RecordingProgress::processPendingMessages() {
    ++processCount;
    if (onProcessMessages) {
        onProcessMessages();
    }
}

void RecordingProgress::openDocument(const std::string& path) {
    openedDocuments.push_back(path);
}

} // namespace testsupport
