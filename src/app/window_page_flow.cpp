// The window as the page flow's host, and the handlers of the footer and the source and
// destination pages: each forwards to the flow or asks a person through the prompts.
#include "app/controls.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/track_list_model.h"
#include "app/widgets.h"
#include "platform/shown_paths.h"
#include "store/object_model.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

namespace app {

namespace {

constexpr int PickSourceFolderRow = 120;
constexpr int PickDestFolderRow = 121;
constexpr int PickedFilesRow = 197;

} // namespace

void TForm1::BNextClick() {
    if (currentPage() == wizard::Page::TS3 && !acceptDeviceFormats()) {
        return;
    }
    m_flow->next();
}

void TForm1::BPrevClick() {
    m_flow->back();
}

void TForm1::UpdateWizardButtons() {
    m_flow->updateFooter();
}

void TForm1::SetSourceKind(int32_t kind) {
    m_flow->setSourceKind(kind);
}

void TForm1::RadioButton1Click() {
    m_flow->chooseSourceKind(sources::PlaylistSource);
}

void TForm1::RadioButton2Click() {
    m_flow->chooseSourceKind(sources::FolderSource);
}

void TForm1::RadioButton3Click() {
    m_flow->chooseSourceKind(sources::PickedFilesSource);
}

void TForm1::cbSource1Change() {
    SetSourceKind(sources::PlaylistSource);
}

void TForm1::cbSource2Change() {
    SetSourceKind(sources::FolderSource);
}

void TForm1::BitBtn3Click() {
    OpenDialog1.startFolder = Shell.ProgramFolder;
    if (const std::optional<std::string> playlist = m_prompts->pickExistingFile(OpenDialog1)) {
        cbSource1->setEditText(toQt(platform::shownPath(*playlist)));
        SetSourceKind(sources::PlaylistSource);
    }
}

void TForm1::BitBtn4Click() {
    if (const std::optional<std::string> folder =
            m_prompts->pickFolder(texts::GetText(PickSourceFolderRow), "")) {
        cbSource2->setEditText(toQt(platform::shownPath(*folder)));
        SetSourceKind(sources::FolderSource);
    }
}

void TForm1::BitBtn5Click() {
    OpenDialog2Files.clear();
    OpenDialog2.startFolder = Shell.ProgramFolder;
    OpenDialog2Files = m_prompts->pickExistingFiles(OpenDialog2);
    if (!OpenDialog2Files.empty()) {
        SetSourceKind(sources::PickedFilesSource);
    }
    showPickedFiles();
}

// The picked files on the source page: their count and names in the line, every full path
// in its tip, so a person sees what the list will be made of.
void TForm1::showPickedFiles() {
    constexpr size_t MostNamesShown = 3;
    QStringList names, paths;
    for (const std::string& file : OpenDialog2Files) {
        const QString shown = toQt(platform::shownPath(file));
        paths << shown;
        if (static_cast<size_t>(names.size()) < MostNamesShown) {
            names << shown.section(QLatin1Char('/'), -1);
        }
    }
    if (OpenDialog2Files.size() > MostNamesShown) {
        names << QStringLiteral("...");
    }
    LabelPicked->setText(
        OpenDialog2Files.empty()
            ? QString()
            : toQt(texts::FormatText(PickedFilesRow, {static_cast<int32_t>(OpenDialog2Files.size()),
                                                      fromQt(names.join(QStringLiteral(", ")))})));
    LabelPicked->setToolTip(paths.join(QLatin1Char('\n')));
}

void TForm1::Button1Click() {
    if (const std::optional<std::string> folder =
            m_prompts->pickFolder(texts::GetText(PickDestFolderRow), "")) {
        cbDest->setEditText(toQt(platform::shownPath(*folder)));
    }
}

wizard::WizardFields TForm1::fields() const {
    wizard::WizardFields fields;
    fields.source1 = fromQt(cbSource1->currentText());
    fields.source2 = fromQt(cbSource2->currentText());
    fields.dest = fromQt(cbDest->currentText());
    fields.sizeLimitText = fromQt(cbSizeLimit->currentText());
    fields.autoSizeLimit = cbAutoSizeLimit->isChecked();
    fields.moves = RadioGroup1->itemIndex() == copy::TransferSystemMove;
    return fields;
}

void TForm1::focusField(wizard::Field field) {
    QComboBox* const boxes[] = {cbSource1, cbSource2, cbDest};
    QComboBox* const box = boxes[static_cast<int>(field)];
    box->setFocus(Qt::OtherFocusReason);
    if (box->lineEdit() != nullptr) {
        box->lineEdit()->selectAll();
    }
}

QWidget* TForm1::pageWidget(wizard::Page page) const {
    QWidget* const pages[] = {TS0, TS2, TS3, TS4, TSP, TSF, TS4P, TSA};
    return pages[static_cast<int>(page)];
}

wizard::Page TForm1::shownPage() const {
    QWidget* const shown = PCL->currentWidget();
    for (int page = 0; page <= static_cast<int>(wizard::Page::TSA); ++page) {
        if (pageWidget(static_cast<wizard::Page>(page)) == shown) {
            return static_cast<wizard::Page>(page);
        }
    }
    return wizard::Page::TS0;
}

// The build page must be seen while the list is built, and the build runs without the event
// loop: it is painted at once.
void TForm1::showPage(wizard::Page page) {
    PCL->setCurrentWidget(pageWidget(page));
    if (page == wizard::Page::TS4P && isVisible()) {
        repaint();
    }
}

void TForm1::setFooter(const wizard::FooterState& footer) {
    BPrev->setVisible(footer.prevVisible);
    BPrev->setEnabled(footer.prevEnabled);
    BNext->setVisible(footer.nextVisible);
    BNext->setEnabled(footer.nextEnabled);
    Button4->setText(toQt(footer.exitCaption));
}

void TForm1::tickSourceKind(int32_t kind) {
    QRadioButton* const buttons[] = {RadioButton1, RadioButton2, RadioButton3};
    if (kind >= sources::PlaylistSource && kind <= sources::PickedFilesSource) {
        buttons[kind - 1]->setChecked(true);
    }
}

void TForm1::showMessage(const std::string& text) {
    m_prompts->showMessage(text);
}

QComboBox* TForm1::historyBox(wizard::History history) const {
    switch (history) {
    case wizard::History::Source1:
        return cbSource1;
    case wizard::History::Source2:
        return cbSource2;
    case wizard::History::Dest:
        return cbDest;
    case wizard::History::SizeLimit:
        return cbSizeLimit;
    }
    return cbDest;
}

std::vector<std::string> TForm1::historyItems(wizard::History history) const {
    return comboItems(historyBox(history));
}

// Inserting into a box can select the new item; the field keeps what it shows, and its
// change handlers do not run for the program's own insertion.
void TForm1::addToHistory(wizard::History history, const std::string& text) {
    QComboBox* const box = historyBox(history);
    const QSignalBlocker quiet(box);
    const QString shown = box->currentText();
    box->insertItem(0, toQt(text));
    box->setEditText(shown);
}

void TForm1::clearList() {
    if (m_preview) {
        m_preview->clear();
    }
    showTrackList();
}

} // namespace app
