// Opening a web address, a "mailto:" link or a document with the desktop's default handler
// (the browser, the mail program, the playlist's player). The window opens everything through
// one LinkOpener, so that tests record what would be opened instead of starting programs.
// Whether the desktop managed to open it is not reported: a person without a browser sees
// nothing happen, as with any desktop link.
#pragma once

#include <string>

namespace app {

class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // A web address or a "mailto:" link, as the text table gives it.
    virtual void openAddress(const std::string& address) = 0;
    // A host file path ("/media/stick/_playlist_.m3u").
    virtual void openHostFile(const std::string& hostPath) = 0;
};

// The desktop's handlers through QDesktopServices.
class DesktopLinkOpener : public LinkOpener {
public:
    void openAddress(const std::string& address) override;
    void openHostFile(const std::string& hostPath) override;
};

} // namespace app
