#include "app/desktop_links.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace app {

void DesktopLinkOpener::openAddress(const std::string& address) {
    // Tolerant parsing: the addresses of the text table hold blanks ("ver=4.2 RC").
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::TolerantMode));
}

void DesktopLinkOpener::openHostFile(const std::string& hostPath) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(hostPath)));
}

} // namespace app
