#include "app/settings_location.h"

#include "platform/drives.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace app {

std::string settingsHostFolder(const std::string& exeFolder, bool exeFolderWritable,
                               const std::string& configHome, const std::string& homeFolder) {
    if (exeFolderWritable) {
        return exeFolder;
    }
    const std::string base =
        !configHome.empty() && configHome.front() == '/' ? configHome : homeFolder + "/.config";
    return base + "/tunewagon";
}

std::string settingsFilePath() {
    const QString exeFolder = QCoreApplication::applicationDirPath();
    const std::string folder = settingsHostFolder(exeFolder.toStdString(), QFileInfo(exeFolder).isWritable(),
                                                  qEnvironmentVariable("XDG_CONFIG_HOME").toStdString(),
                                                  QDir::homePath().toStdString());
    QDir().mkpath(QString::fromStdString(folder));
    return platform::toProgramPath(folder + "/" + SettingsFileName);
}

} // namespace app
