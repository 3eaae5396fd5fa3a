#include "app/settings_location.h"

#include "platform/drives.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace app {

std::string settingsHostFolder(const std::string& exeFolder, bool besideProgram,
                               const std::string& configHome, const std::string& homeFolder) {
    if (besideProgram) {
        return exeFolder;
    }
    const std::string base =
        !configHome.empty() && configHome.front() == '/' ? configHome : homeFolder + "/.config";
    return base + "/tunewagon";
}

std::string settingsFilePath() {
    const QString exeFolder = QCoreApplication::applicationDirPath();
    // An installed program (its desktop entry beside it, as `cmake --install` and the package
    // lay it out) keeps the user's settings in the user's folder, even when run by root.
    const bool installed = QFileInfo::exists(
        exeFolder + QStringLiteral("/../share/applications/example.brightmoor.Tunewagon.desktop"));
    const bool besideProgram = QFileInfo(exeFolder).isWritable() && !installed;
    const std::string folder = settingsHostFolder(exeFolder.toStdString(), besideProgram,
                                                  qEnvironmentVariable("XDG_CONFIG_HOME").toStdString(),
                                                  QDir::homePath().toStdString());
    QDir().mkpath(QString::fromStdString(folder));
    return platform::toProgramPath(folder + "/" + SettingsFileName);
}

} // namespace app
