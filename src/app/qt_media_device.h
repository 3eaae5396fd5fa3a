// The preview player's media device on Qt Multimedia: a QMediaPlayer with a QAudioOutput,
// playing whatever the installed back end decodes; a video file plays its sound. Opening waits,
// bounded in time, until the media has loaded or failed, so the length is known when open
// returns and an unplayable file gives the back end's error text.
#pragma once

#include "wizard/media_device.h"

#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace app {

class QtMediaDevice : public wizard::MediaDevice {
public:
    // `openTimeoutMs`: how long an open may wait for the back end before it fails.
    explicit QtMediaDevice(int openTimeoutMs = 5000);
    ~QtMediaDevice() override;

    bool open(const std::string& programPath, std::string& errorText) override;
    int length() override;
    int position() override;
    Mode mode() override;
    void play() override;
    void seek(int position) override;
    void close() override;

private:
    int m_openTimeoutMs;
    bool m_open = false;
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
};

} // namespace app
