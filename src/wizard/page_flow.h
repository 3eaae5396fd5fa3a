// The wizard's page flow: which page Next and Back lead to from each page, the checks that
// keep a person on the source and destination pages until they are filled in, the histories
// of the fields, the footer buttons of each page, and the choice of the source kind. It acts
// on the window only through WizardHost, and reads the page shown from it.
//
// A page change is refused while a copy run works or unwinds: the run pumps the window's
// messages, so Back, Next or a link could otherwise be clicked in the middle of it.
#pragma once

#include "wizard/shell_state.h"
#include "wizard/wizard_host.h"

#include <optional>
#include <string>
#include <string_view>

namespace wizard {

// The text with leading and trailing blanks and control characters removed.
std::string_view trimmedText(std::string_view text);

// The footer for a page: Back hidden on the start page, Next hidden on the progress and About
// pages, Back disabled on the progress page while a run works; the exit button reads
// "Прервать" while a run works, else "Выход".
FooterState footerFor(Page page, bool workActive);

class PageFlow {
public:
    // Both outlive the flow.
    PageFlow(ShellState& shell, WizardHost& host) : m_shell(shell), m_host(host) {}

    Page page() const { return m_host.shownPage(); }

    // The start page, as the window opens.
    void start();
    // BNextClick and BPrevClick.
    void next();
    void back();
    // The start page's links " Далее..." (the source page) and "Авторы..." (the About page).
    void showSourcePage();
    void showAboutPage();
    // SetSourceKind: the kind and its radio button.
    void setSourceKind(int32_t kind);
    // A click on a radio button: the kind only, the button has ticked itself.
    void chooseSourceKind(int32_t kind) { m_shell.SourceKind = kind; }
    // UpdateWizardButtons for the page shown.
    void updateFooter();
    // ApplySizeLimit, part of leaving the destination page: the size limit from its text, and
    // a typed limit that gives one on top of the limit history.
    void applySizeLimit();

private:
    void nextOnSourcePage();
    // Shows `problem` and puts the focus on `field`, or takes `text` into the field's history
    // and shows `nextPage`.
    void acceptField(Field field, const std::string& text, const std::optional<std::string>& problem,
                     Page nextPage);
    void nextOnDestPage();
    void nextOnPreviewPage();
    void buildPreview();
    void goTo(Page page);
    bool runBusy() const { return m_shell.WorkActive || !m_shell.RunIdle; }
    void addToHistory(History history, const std::string& text);

    ShellState& m_shell;
    WizardHost& m_host;
};

} // namespace wizard
