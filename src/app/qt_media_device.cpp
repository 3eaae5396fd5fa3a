#include "app/qt_media_device.h"

#include "platform/shown_paths.h"
#include "texts/text_table.h"

#include "platform/drives.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace app {

namespace {

constexpr int NoFileChosenRow = 199;
constexpr int CannotOpenRow = 340;
constexpr int CannotPlayRow = 341;

} // namespace

namespace {

bool loaded(QMediaPlayer::MediaStatus status) {
    return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia ||
           status == QMediaPlayer::BufferingMedia || status == QMediaPlayer::EndOfMedia;
}

bool settled(const QMediaPlayer& player) {
    return loaded(player.mediaStatus()) || player.mediaStatus() == QMediaPlayer::InvalidMedia ||
           player.error() != QMediaPlayer::NoError;
}

} // namespace

QtMediaDevice::QtMediaDevice(int openTimeoutMs) : m_openTimeoutMs(openTimeoutMs) {}

QtMediaDevice::~QtMediaDevice() {
    close();
}

// The back end loads in the background and reports through signals; the wait runs a local
// event loop until the media has loaded or failed, or the time is up.
bool QtMediaDevice::open(const std::string& programPath, std::string& errorText) {
    close();
    // Made on the first open: starting the back end costs time that a window whose player is
    // never used should not pay.
    if (!m_player) {
        m_output = std::make_unique<QAudioOutput>();
        m_player = std::make_unique<QMediaPlayer>();
        m_player->setAudioOutput(m_output.get());
    }
    const std::optional<std::string> host =
        programPath.empty() ? std::nullopt : platform::toHostPath(programPath);
    if (!host) {
        errorText = programPath.empty()
                        ? texts::GetText(NoFileChosenRow)
                        : texts::FormatText(CannotOpenRow, {platform::shownPath(programPath)});
        return false;
    }
    m_player->setSource(QUrl::fromLocalFile(QString::fromStdString(*host)));
    if (!settled(*m_player)) {
        QEventLoop wait;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &wait, &QEventLoop::quit);
        QObject::connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, &wait, [&] {
            if (settled(*m_player)) {
                wait.quit();
            }
        });
        QObject::connect(m_player.get(), &QMediaPlayer::errorOccurred, &wait, &QEventLoop::quit);
        timeout.start(m_openTimeoutMs);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!loaded(m_player->mediaStatus()) || m_player->error() != QMediaPlayer::NoError) {
        // Qt's own reason is English ("Resource not found."): the program says it in its words.
        errorText = texts::FormatText(CannotPlayRow, {platform::shownPath(programPath)});
        m_player->setSource(QUrl());
        return false;
    }
    m_open = true;
    return true;
}

int QtMediaDevice::length() {
    return m_open ? static_cast<int>(m_player->duration()) : 0;
}

int QtMediaDevice::position() {
    return m_open ? static_cast<int>(m_player->position()) : 0;
}

wizard::MediaDevice::Mode QtMediaDevice::mode() {
    if (!m_open || m_player->error() != QMediaPlayer::NoError) {
        return Mode::NotReady;
    }
    switch (m_player->playbackState()) {
    case QMediaPlayer::PlayingState:
        return Mode::Playing;
    case QMediaPlayer::PausedState:
        return Mode::Paused;
    case QMediaPlayer::StoppedState:
        break;
    }
    return Mode::Stopped;
}

void QtMediaDevice::play() {
    if (!m_open) {
        return;
    }
    if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia || m_player->position() >= m_player->duration()) {
        m_player->setPosition(0);
    }
    m_player->play();
}

void QtMediaDevice::seek(int position) {
    if (m_open) {
        m_player->pause();
        m_player->setPosition(position);
    }
}

void QtMediaDevice::close() {
    if (m_open) {
        m_player->stop();
        m_player->setSource(QUrl());
    }
    m_open = false;
}

} // namespace app
