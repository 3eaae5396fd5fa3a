#include "wizard/preview_player.h"

#include "texts/text_table.h"

namespace wizard {

namespace {

constexpr int MsPerHour = 3600000;
constexpr int MsPerMinute = 60000;
constexpr int StoppedRow = 198;

} // namespace

std::string FormatPlayTime(int milliseconds) {
    std::string text;
    if (milliseconds >= MsPerHour) {
        text += std::to_string(milliseconds / MsPerHour);
    }
    if (!text.empty()) {
        text += ':';
    }
    const int withinHour = milliseconds % MsPerHour;
    text += std::to_string(withinHour / MsPerMinute);
    text += ':';
    const int seconds = withinHour % MsPerMinute / 1000;
    if (seconds < 10) {
        text += '0';
    }
    text += std::to_string(seconds);
    return text;
}

void PreviewPlayer::ListView1SelectItem(const std::string& sourcePath) {
    m_fileName = sourcePath;
}

// An open that fails leaves "Opening..." until the next refresh of a chosen file replaces it.
void PreviewPlayer::ListView1DblClick() {
    if (m_fileName.empty()) {
        m_fileName = m_view.firstSelectedSource();
    }
    m_view.setStatus("Opening...");
    m_played = false;
    std::string error;
    if (!m_device.open(m_fileName, error)) {
        m_view.showError(error);
        return;
    }
    TrackSyncing = true;
    m_view.setTrackMaximum(m_device.length());
    m_view.setTrackPosition(m_device.position());
    TrackSyncing = false;
    m_device.play();
}

// The status says so after Stop: the refresh no longer runs without a chosen file, and the
// last "Playing>" line would stay for ever.
void PreviewPlayer::Button6Click() {
    if (!m_fileName.empty() && m_device.mode() != MediaDevice::Mode::NotReady) {
        m_device.close();
        m_fileName.clear();
        m_view.setTrackPosition(0);
        m_view.setStatus(texts::GetText(StoppedRow));
    }
}

void PreviewPlayer::Timer1Timer() {
    if (m_fileName.empty()) {
        return;
    }
    if (m_device.mode() == MediaDevice::Mode::Playing) {
        const int position = m_device.position();
        moveThumb(position);
        m_view.setTrackEnabled(true);
        m_played = true;
        m_view.setStatus("Playing> " + FormatPlayTime(position) + " / " + FormatPlayTime(m_device.length()));
    } else {
        // A track that played to its end has stopped; "<Not Ready>" is for one that never played.
        const bool stopped = m_played && m_device.mode() == MediaDevice::Mode::Stopped;
        m_view.setStatus(stopped ? texts::GetText(StoppedRow) : "<Not Ready>");
        m_view.setTrackEnabled(false);
    }
}

// A person moved the thumb: the seek waits until it has rested for the delay, and the status
// refresh, which would move the thumb back, is off meanwhile.
void PreviewPlayer::TBChange() {
    if (m_fileName.empty() || TrackSyncing) {
        return;
    }
    m_view.setStatus("Seeking> " + FormatPlayTime(m_view.trackPosition()));
    m_seekDelay.stop();
    m_refresh.stop();
    m_seekDelay.start();
}

// Tried again every delay until the device plays (playback started again, say).
void PreviewPlayer::TSmPTimer() {
    if (m_fileName.empty() || m_device.mode() != MediaDevice::Mode::Playing) {
        return;
    }
    m_device.seek(m_view.trackPosition());
    m_device.play();
    m_seekDelay.stop();
    m_refresh.start();
}

void PreviewPlayer::moveThumb(int position) {
    TrackSyncing = true;
    m_view.setTrackPosition(position);
    TrackSyncing = false;
}

} // namespace wizard
