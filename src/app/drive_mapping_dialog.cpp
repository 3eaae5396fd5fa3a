#include "app/drive_mapping_dialog.h"

#include "app/main_window.h"
#include "app/qt_text.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/shown_paths.h"
#include "texts/text_table.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

namespace {

constexpr int PickText = 45;
constexpr int TitleText = 201;
constexpr int HintText = 202;
constexpr int PickTitleText = 203;
constexpr int MissingFolderText = 204;
constexpr int NoDrivesText = 205;
// A playlist longer than this is read no further for its drive letters.
constexpr int64_t MostPlaylistBytes = 64 << 20;

std::string letterText(char letter) {
    return std::string(1, letter) + ":";
}

} // namespace

DriveMappingDialog::DriveMappingDialog(QWidget* parent, const std::vector<wizard::DriveRow>& rows,
                                       UserPrompts& prompts)
    : QDialog(parent), m_prompts(prompts) {
    setObjectName(QStringLiteral("DriveMappingDialog"));
    setWindowTitle(toQt(texts::GetText(TitleText)));
    auto* hint = new QLabel(toQt(texts::GetText(HintText)), this);
    hint->setWordWrap(true);
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    for (const wizard::DriveRow& row : rows) {
        const int line = static_cast<int>(m_fields.size());
        auto* field = new QLineEdit(toQt(row.hostFolder), this);
        field->setObjectName(toQt("Drive" + std::string(1, row.letter)));
        field->setMinimumWidth(320);
        auto* pick = new QPushButton(toQt(texts::GetText(PickText)), this);
        grid->addWidget(new QLabel(toQt(letterText(row.letter)), this), line, 0);
        grid->addWidget(field, line, 1);
        grid->addWidget(pick, line, 2);
        connect(pick, &QPushButton::clicked, this, [this, line] { pickFolder(static_cast<size_t>(line)); });
        m_letters.push_back(row.letter);
        m_fields.push_back(field);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

std::vector<wizard::DriveRow> DriveMappingDialog::rows() const {
    std::vector<wizard::DriveRow> rows;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        rows.push_back({m_letters[i], fromQt(m_fields[i]->text().trimmed())});
    }
    return rows;
}

QLineEdit* DriveMappingDialog::folderField(char letter) const {
    for (size_t i = 0; i < m_letters.size(); ++i) {
        if (m_letters[i] == letter) {
            return m_fields[i];
        }
    }
    return nullptr;
}

void DriveMappingDialog::accept() {
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const QString folder = m_fields[i]->text().trimmed();
        if (!folder.isEmpty() && (!QDir::isAbsolutePath(folder) || !QDir(folder).exists())) {
            m_prompts.showMessage(
                texts::FormatText(MissingFolderText, {fromQt(folder), letterText(m_letters[i])}));
            m_fields[i]->setFocus();
            return;
        }
    }
    QDialog::accept();
}

void DriveMappingDialog::pickFolder(size_t row) {
    const std::string title = texts::FormatText(PickTitleText, {letterText(m_letters[row])});
    const std::string field = fromQt(m_fields[row]->text().trimmed());
    if (const std::optional<std::string> folder =
            m_prompts.pickFolder(title, field.empty() ? "" : platform::toProgramPath(field))) {
        m_fields[row]->setText(toQt(platform::shownPath(*folder)));
    }
}

void TForm1::drivesClick() {
    std::vector<char> named;
    const std::string playlist = platform::programPathOfShown(fromQt(cbSource1->currentText()));
    std::string text;
    if (!playlist.empty() && platform::readWholeFile(playlist, text, MostPlaylistBytes)) {
        named = wizard::driveLettersNamed(text);
    }
    const std::vector<wizard::DriveRow> rows = wizard::driveRowsFor(named, m_driveMappings);
    if (rows.empty()) {
        m_prompts->showMessage(texts::GetText(NoDrivesText));
        return;
    }
    DriveMappingDialog dialog(this, rows, *m_prompts);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // The letters given up leave the drive table; the others are mounted as the dialog left them.
    for (const platform::DriveMapping& old : platform::parseDriveMappings(m_driveMappings)) {
        platform::unmountDrive(old.letter);
    }
    m_driveMappings = wizard::driveSettingFor(dialog.rows(), m_driveMappings);
    platform::mountDriveMappings(platform::parseDriveMappings(m_driveMappings));
}

} // namespace app
