// The dialog that maps the drive letters of a playlist made on another machine to folders of
// this one ("D:" -> /mnt/old): one row per letter with its host folder and a folder picker.
// The window fills it from the chosen playlist and the "Drives" setting, and writes what it
// gives back into that setting (wizard/drive_letters.h holds the rules).
#pragma once

#include "app/user_prompts.h"
#include "wizard/drive_letters.h"

#include <QDialog>

#include <vector>

class QLineEdit;

namespace app {

class DriveMappingDialog : public QDialog {
    Q_OBJECT
public:
    // `prompts` outlives the dialog; a row's folder picker opens at the folder its field holds.
    DriveMappingDialog(QWidget* parent, const std::vector<wizard::DriveRow>& rows, UserPrompts& prompts);

    // The rows as the fields show them now, blanks trimmed.
    std::vector<wizard::DriveRow> rows() const;
    // The folder field of `letter`; null when the dialog has no row for it.
    QLineEdit* folderField(char letter) const;

    // Closes with OK only when every folder given is an existing folder of this machine;
    // otherwise says which one is not and puts the focus on its field.
    void accept() override;

private:
    void pickFolder(size_t row);

    UserPrompts& m_prompts;
    std::vector<char> m_letters;
    std::vector<QLineEdit*> m_fields;
};

} // namespace app
