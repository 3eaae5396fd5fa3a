// Test doubles for the copy engine's display: a ProgressView that records what the engine
// shows and answers its questions from a script, and a clock that the test moves by hand.
// A test acts "from the window" (the skip or abort button) in onProcessMessages, which runs
// wherever the engine lets the window process its messages.
#pragma once

#include "copy/clock.h"
#include "copy/progress_view.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

class RecordingProgress : public copy::ProgressView {
public:
    void clearLog() override;
    void appendLogLine(const std::string& text) override;
    void setOverallBar(int position) override;
    void setFileBar(int position) override;
    void setStatusText(copy::StatusLabel label, const std::string& text) override;
    void setPhaseTitle(const std::string& text) override;
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void processPendingMessages() override;
    void openDocument(const std::string& path) override;

    // The text a status label shows now.
    const std::string& status(copy::StatusLabel label) const;

    std::vector<std::string> log;      // Memo1, line by line since the last clearLog
    std::vector<int> overallPositions; // every position ProgressBar1 was given
    std::vector<int> filePositions;    // the same for ProgressBar2
    std::vector<std::string> phaseTitles;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<std::string> openedDocuments;
    std::vector<std::string> statusTexts; // every text a status label was given, in order
    int processCount = 0;
    int statusChanges = 0;

    bool answerYes = false;
    std::function<void()> onProcessMessages;

private:
    std::string m_status[3];
};

// Reads `now`, then moves it on by `step` milliseconds (0: the clock stands still).
class ManualClock : public copy::Clock {
public:
    explicit ManualClock(int64_t start = 1'000'000, int64_t step = 1) : now(start), step(step) {}
    int64_t nowMilliseconds() override {
        int64_t reading = now;
        now += step;
        return reading;
    }

    int64_t now;
    int64_t step;
};

} // namespace testsupport
