#include "wizard/page_flow.h"

#include "plan/field_checks.h"
#include "plan/history.h"
#include "plan/size_limit.h"
#include "sources/source_choice.h"
#include "texts/text_table.h"

#include <exception>

namespace wizard {

namespace {

constexpr int ExitRow = 12;
constexpr int AbortRow = 13;
constexpr int NoSourceRow = 148;
constexpr int NoDestRow = 149;

// Sets the footer when a click ends, also when it ends with an error that rises to the window.
class FooterAtEnd {
public:
    explicit FooterAtEnd(PageFlow& flow) : m_flow(flow) {}
    ~FooterAtEnd() { m_flow.updateFooter(); }
    FooterAtEnd(const FooterAtEnd&) = delete;
    FooterAtEnd& operator=(const FooterAtEnd&) = delete;

private:
    PageFlow& m_flow;
};

bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == '\x7f';
}

} // namespace

std::string_view trimmedText(std::string_view text) {
    while (!text.empty() && isBlankOrControl(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlankOrControl(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

FooterState footerFor(Page page, bool workActive) {
    FooterState footer;
    if (page == Page::TS0) {
        footer.prevVisible = false;
    } else if (page == Page::TSP) {
        footer.prevEnabled = !workActive;
        footer.nextVisible = false;
    } else if (page == Page::TSA) {
        footer.nextVisible = false;
    }
    footer.exitCaption = texts::GetText(workActive ? AbortRow : ExitRow);
    return footer;
}

void PageFlow::start() {
    goTo(Page::TS0);
    updateFooter();
}

void PageFlow::next() {
    const FooterAtEnd footer(*this);
    if (!runBusy()) {
        switch (page()) {
        case Page::TS0:
            goTo(Page::TS2);
            break;
        case Page::TS2:
            nextOnSourcePage();
            break;
        case Page::TS3:
            nextOnDestPage();
            break;
        case Page::TS4:
            nextOnPreviewPage();
            break;
        case Page::TSP:
        case Page::TSF:
        case Page::TS4P:
        case Page::TSA:
            break;
        }
    }
}

void PageFlow::back() {
    const FooterAtEnd footer(*this);
    if (!runBusy()) {
        switch (page()) {
        case Page::TSA:
        case Page::TS2:
            goTo(Page::TS0);
            break;
        case Page::TSP:
            goTo(Page::TS4);
            break;
        case Page::TS4:
            m_host.stopPlayer();
            goTo(Page::TS3);
            break;
        case Page::TS3:
            goTo(Page::TS2);
            break;
        case Page::TS0:
        case Page::TSF:
        case Page::TS4P:
            break;
        }
    }
}

void PageFlow::showSourcePage() {
    if (!runBusy()) {
        goTo(Page::TS2);
    }
    updateFooter();
}

void PageFlow::showAboutPage() {
    if (!runBusy()) {
        goTo(Page::TSA);
    }
    updateFooter();
}

void PageFlow::setSourceKind(int32_t kind) {
    m_shell.SourceKind = kind;
    m_host.tickSourceKind(kind);
}

void PageFlow::updateFooter() {
    m_host.setFooter(footerFor(page(), m_shell.WorkActive));
}

// A playlist or folder source needs its field filled in with a playlist or folder that is
// there; picked files always pass, even none. The history keeps the text as typed, blanks
// included, and only a text that passed.
void PageFlow::nextOnSourcePage() {
    const WizardFields fields = m_host.fields();
    switch (m_shell.SourceKind) {
    case sources::PlaylistSource:
        if (!trimmedText(fields.source1).empty()) {
            acceptField(Field::Source1, fields.source1, plan::playlistFieldProblem(fields.source1),
                        Page::TS3);
            return;
        }
        break;
    case sources::FolderSource:
        if (!trimmedText(fields.source2).empty()) {
            acceptField(Field::Source2, fields.source2, plan::sourceFolderFieldProblem(fields.source2),
                        Page::TS3);
            return;
        }
        break;
    case sources::PickedFilesSource:
        goTo(Page::TS3);
        return;
    default:
        break;
    }
    m_host.showMessage(texts::GetText(NoSourceRow));
    m_host.focusField(m_shell.SourceKind == sources::FolderSource ? Field::Source2 : Field::Source1);
}

// The destination must be a folder the run can write to; one that is refused keeps the page,
// with the message and the focus on the field.
void PageFlow::nextOnDestPage() {
    const WizardFields fields = m_host.fields();
    if (trimmedText(fields.dest).empty()) {
        m_host.showMessage(texts::GetText(NoDestRow));
        m_host.focusField(Field::Dest);
        return;
    }
    const plan::DestFieldContext context{
        .move = fields.moves,
        .sourceFolder = m_shell.SourceKind == sources::FolderSource ? fields.source2 : std::string()};
    if (auto problem = plan::destFieldProblem(fields.dest, context)) {
        m_host.showMessage(*problem);
        m_host.focusField(Field::Dest);
        return;
    }
    applySizeLimit();
    addToHistory(History::Dest, fields.dest);
    buildPreview();
}

void PageFlow::acceptField(Field field, const std::string& text, const std::optional<std::string>& problem,
                           Page nextPage) {
    if (problem) {
        m_host.showMessage(*problem);
        m_host.focusField(field);
        return;
    }
    addToHistory(field == Field::Source1 ? History::Source1 : History::Source2, text);
    goTo(nextPage);
}

void PageFlow::applySizeLimit() {
    const WizardFields fields = m_host.fields();
    std::vector<std::string> limits = m_host.historyItems(History::SizeLimit);
    const size_t limitsBefore = limits.size();
    m_host.setSizeLimit(plan::ApplySizeLimit(fields.sizeLimitText, fields.autoSizeLimit, limits));
    if (limits.size() != limitsBefore) {
        m_host.addToHistory(History::SizeLimit, limits.front());
    }
}

// The build page stays on screen, both footer buttons disabled, while the list is built. A
// source that cannot be read leaves no half-built list behind: the list and the preview are
// emptied and the destination page comes back, usable, before the error rises to the window.
void PageFlow::buildPreview() {
    FooterState building = footerFor(Page::TS4P, m_shell.WorkActive);
    building.prevEnabled = false;
    building.nextEnabled = false;
    m_host.setFooter(building);
    goTo(Page::TS4P);
    try {
        m_host.buildList();
    } catch (const std::exception&) {
        m_host.clearList();
        goTo(Page::TS3);
        throw;
    }
    m_host.updateLimitBar();
    goTo(Page::TS4);
}

// The run shows the progress page, and the footer while it works; WorkActive falls back
// however the run ends, so that Back and the exit button work again after a failure.
void PageFlow::nextOnPreviewPage() {
    m_host.stopPlayer();
    goTo(Page::TSP);
    m_shell.WorkActive = true;
    updateFooter();
    struct RunEnd {
        ShellState& shell;
        ~RunEnd() {
            shell.WorkActive = false;
            shell.RunIdle = true;
        }
    } runEnd{m_shell};
    m_host.runCopy();
}

void PageFlow::goTo(Page page) {
    m_host.showPage(page);
}

void PageFlow::addToHistory(History history, const std::string& text) {
    std::vector<std::string> items = m_host.historyItems(history);
    if (plan::rememberInHistory(items, text)) {
        m_host.addToHistory(history, text);
    }
}

} // namespace wizard
