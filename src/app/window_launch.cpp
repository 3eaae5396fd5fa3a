// A source handed to the window from outside: the paths on the program's command line, or
// files and folders dropped from a file manager onto the source page. Either way the source
// page shows that source chosen, as if it had been picked there.
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/widgets.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/shown_paths.h"
#include "wizard/launch_source.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QStackedWidget>
#include <QUrl>

namespace app {

namespace {

std::vector<std::string> localFilesOf(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data != nullptr && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                paths.push_back(url.toLocalFile().toStdString());
            }
        }
    }
    return paths;
}

} // namespace

void TForm1::openWithSource(const std::vector<std::string>& hostPaths) {
    std::vector<std::string> programPaths;
    for (const std::string& path : hostPaths) {
        const std::string programPath = platform::toProgramPath(path);
        if (!programPath.empty()) {
            programPaths.push_back(programPath);
        }
    }
    const auto source = wizard::launchSourceFor(
        programPaths, [](const std::string& path) { return platform::folderExists(path); });
    if (!source) {
        return;
    }
    switch (source->kind) {
    case sources::PlaylistSource:
        cbSource1->setEditText(toQt(platform::shownPath(source->path)));
        break;
    case sources::FolderSource:
        cbSource2->setEditText(toQt(platform::shownPath(source->path)));
        break;
    default:
        OpenDialog2Files = source->files;
        showPickedFiles();
        break;
    }
    SetSourceKind(source->kind);
    m_flow->showSourcePage();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (PCL->currentWidget() == TS2 && !localFilesOf(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = localFilesOf(event->mimeData());
    if (PCL->currentWidget() != TS2 || paths.empty()) {
        return;
    }
    event->acceptProposedAction();
    runGuarded(*m_prompts, [this, &paths] { openWithSource(paths); });
}

} // namespace app
