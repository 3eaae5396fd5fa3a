#include "recording_host.h"

namespace wizardtest {

namespace {

std::string historyName(wizard::History history) {
    switch (history) {
    case wizard::History::Source1:
        return "Source1";
    case wizard::History::Source2:
        return "Source2";
    case wizard::History::Dest:
        return "Dest";
    case wizard::History::SizeLimit:
        return "SizeLimit";
    }
    return "?";
}

} // namespace

std::string pageName(wizard::Page page) {
    static const char* const names[] = {"TS0", "TS2", "TS3", "TS4", "TSP", "TSF", "TS4P", "TSA"};
    return names[static_cast<int>(page)];
}

void RecordingHost::focusField(wizard::Field field) {
    static const char* const names[] = {"Source1", "Source2", "Dest"};
    calls.push_back(std::string("focus ") + names[static_cast<int>(field)]);
}

std::vector<std::string> RecordingHost::historyItems(wizard::History history) const {
    const auto found = histories.find(history);
    return found == histories.end() ? std::vector<std::string>{} : found->second;
}

void RecordingHost::addToHistory(wizard::History history, const std::string& text) {
    calls.push_back("history " + historyName(history) + " " + text);
    auto& items = histories[history];
    items.insert(items.begin(), text);
}

void RecordingHost::buildList() {
    calls.push_back("build");
    if (duringBuild) {
        duringBuild();
    }
}

void RecordingHost::runCopy() {
    calls.push_back("copy");
    if (duringCopy) {
        duringCopy();
    }
}

} // namespace wizardtest
