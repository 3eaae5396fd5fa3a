// A sound server without a sound card for the tests that play audio: PulseAudio with a null
// sink, in a runtime folder of its own, started before the first player connects and stopped
// when the object goes. The players then play as on a desktop and nothing is heard.
#pragma once

#include <string>
#include <sys/types.h>

namespace testsupport {

class NullAudioServer {
public:
    // Starts the server and points XDG_RUNTIME_DIR and PULSE_SERVER at it; throws
    // std::runtime_error when it is not accepting connections within ten seconds (the package
    // pulseaudio missing).
    NullAudioServer();
    ~NullAudioServer();
    NullAudioServer(const NullAudioServer&) = delete;
    NullAudioServer& operator=(const NullAudioServer&) = delete;

private:
    pid_t m_pid = -1;
    std::string m_runtimeFolder;
};

} // namespace testsupport
