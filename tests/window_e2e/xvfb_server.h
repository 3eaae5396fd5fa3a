// A private X server for the end-to-end test: Xvfb on a free display number, started before the
// application connects and stopped when the object goes. The window then runs on the real
// "xcb" platform, as on a desktop, whatever the machine's own DISPLAY is.
#pragma once

#include <string>
#include <sys/types.h>

namespace e2e {

class XvfbServer {
public:
    // Starts Xvfb and points DISPLAY at it; throws std::runtime_error when it does not come up
    // within ten seconds (Xvfb missing, no free display).
    // `screen` as Xvfb takes it: width x height x depth.
    explicit XvfbServer(const std::string& screen = "1280x1024x24");
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

} // namespace e2e
