// A WizardHost that records what the page flow asks of the window as short lines ("show TS3",
// "message Выберите источник!", "history Dest D:\out"), keeps the footers it was given, and
// answers with fields and histories that a test sets.
#pragma once

#include "wizard/page_flow.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace wizardtest {

std::string pageName(wizard::Page page);

class RecordingHost : public wizard::WizardHost {
public:
    wizard::WizardFields fields() const override { return given; }
    wizard::Page shownPage() const override { return page; }
    void showPage(wizard::Page shown) override {
        page = shown;
        calls.push_back("show " + pageName(shown));
    }
    void setFooter(const wizard::FooterState& footer) override { footers.push_back(footer); }
    void tickSourceKind(int32_t kind) override { calls.push_back("tick " + std::to_string(kind)); }
    void showMessage(const std::string& text) override { calls.push_back("message " + text); }
    void focusField(wizard::Field field) override;
    std::vector<std::string> historyItems(wizard::History history) const override;
    void addToHistory(wizard::History history, const std::string& text) override;
    void setSizeLimit(int64_t bytes) override { calls.push_back("limit " + std::to_string(bytes)); }
    void buildList() override;
    void clearList() override { calls.push_back("clear"); }
    void updateLimitBar() override { calls.push_back("bar"); }
    void stopPlayer() override { calls.push_back("stop player"); }
    void runCopy() override;

    wizard::Page page = wizard::Page::TS0;
    wizard::WizardFields given;
    std::map<wizard::History, std::vector<std::string>> histories;
    std::vector<std::string> calls;
    std::vector<wizard::FooterState> footers;
    // Run inside buildList and runCopy: a test throws from them or clicks in the middle.
    std::function<void()> duringBuild;
    std::function<void()> duringCopy;
};

} // namespace wizardtest
