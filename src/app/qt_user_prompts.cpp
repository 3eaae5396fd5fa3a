#include "app/qt_user_prompts.h"

#include "app/qt_text.h"
#include "platform/drives.h"

#include "texts/text_table.h"
#include <QCoreApplication>
#include <QDir>

#include <QFileDialog>
#include <QMessageBox>

#include <memory>

namespace app {

namespace {

// The program's name (row 0 of the text table), not the name of its binary.
QString dialogTitle() {
    return toQt(texts::GetText(0));
}

// "Media files" with {"*.mp*", "*.avi"} -> "Media files (*.mp* *.avi)"; a description that
// already ends in its pattern list, "WinAmp playlists (*.m3u)", is taken as it is.
QString qtFilter(const std::vector<FileFilter>& filters) {
    QStringList entries;
    for (const FileFilter& filter : filters) {
        QStringList patterns;
        for (const std::string& pattern : filter.patterns) {
            patterns << toQt(pattern);
        }
        QString entry = toQt(filter.description);
        const QString list = "(" + patterns.join(' ') + ")";
        if (!entry.endsWith(list)) {
            entry += " " + list;
        }
        entries << entry;
    }
    return entries.join(";;");
}

// The host folder a dialog starts in, or "" when the program path names none.
QString hostFolder(const std::string& programPath) {
    if (programPath.empty()) {
        return {};
    }
    const std::optional<std::string> host = platform::toHostPath(programPath);
    if (!host || !QDir(QString::fromStdString(*host)).exists()) {
        return {};
    }
    return QString::fromStdString(*host);
}

std::string programPath(const QString& hostPath) {
    return platform::toProgramPath(QDir::cleanPath(hostPath).toStdString());
}

QFileDialog* openDialog(QWidget* parent, const FileDialogOptions& options, QFileDialog::FileMode mode) {
    auto* dialog =
        new QFileDialog(parent, dialogTitle(), hostFolder(options.startFolder), qtFilter(options.filters));
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(mode);
    if (!options.defaultSuffix.empty()) {
        dialog->setDefaultSuffix(toQt(options.defaultSuffix));
    }
    return dialog;
}

} // namespace

void QtUserPrompts::showMessage(const std::string& text) {
    QMessageBox::information(m_parent, dialogTitle(), toQt(text));
}

void QtUserPrompts::showError(const std::string& text) {
    QMessageBox::critical(m_parent, dialogTitle(), toQt(text));
}

bool QtUserPrompts::askYesNo(const std::string& text) {
    return QMessageBox::question(m_parent, dialogTitle(), toQt(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

std::optional<std::string> QtUserPrompts::pickExistingFile(const FileDialogOptions& options) {
    std::unique_ptr<QFileDialog> dialog(openDialog(m_parent, options, QFileDialog::ExistingFile));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return programPath(dialog->selectedFiles().front());
}

std::vector<std::string> QtUserPrompts::pickExistingFiles(const FileDialogOptions& options) {
    std::unique_ptr<QFileDialog> dialog(openDialog(m_parent, options, QFileDialog::ExistingFiles));
    std::vector<std::string> files;
    if (dialog->exec() == QDialog::Accepted) {
        for (const QString& file : dialog->selectedFiles()) {
            files.push_back(programPath(file));
        }
    }
    return files;
}

std::optional<std::string> QtUserPrompts::pickFolder(const std::string& title,
                                                     const std::string& startFolder) {
    const QString chosen = QFileDialog::getExistingDirectory(m_parent, toQt(title), hostFolder(startFolder));
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return programPath(chosen);
}

} // namespace app
