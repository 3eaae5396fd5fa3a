// The media device the preview player plays through: one file at a time, positions and
// lengths in milliseconds. The window gives the Qt Multimedia device (app/qt_media_device.h),
// tests a scripted one.
#pragma once

#include <string>

namespace wizard {

class MediaDevice {
public:
    // The device's modes. The player asks only for Playing; a device that is not open is
    // NotReady.
    enum class Mode { NotReady, Stopped, Playing, Recording, Seeking, Paused, Open };

    virtual ~MediaDevice() = default;

    // Opens `programPath` (closing whatever was open) and returns once it is loaded, so that
    // its length is known; false with the device's error text when it cannot be played.
    virtual bool open(const std::string& programPath, std::string& errorText) = 0;
    virtual int length() = 0;
    virtual int position() = 0;
    virtual Mode mode() = 0;
    // Plays from the current position (from the start when at the end) and returns at once.
    virtual void play() = 0;
    // Moves to `position`; playback halts there.
    virtual void seek(int position) = 0;
    virtual void close() = 0;
};

// A timer of the player: the window's GUI timers, or a test's timers stepped by hand.
class PlayerTimer {
public:
    virtual ~PlayerTimer() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
};

// The player's controls: the status label mps, the track bar TB, the error box and the
// preview list's selection.
class PlayerView {
public:
    virtual ~PlayerView() = default;
    virtual void setStatus(const std::string& text) = 0;
    virtual void setTrackMaximum(int maximum) = 0;
    // Moving the thumb from the program runs the bar's change handler (TBChange) like a
    // person's move does; TrackSyncing tells them apart.
    virtual void setTrackPosition(int position) = 0;
    virtual int trackPosition() const = 0;
    virtual void setTrackEnabled(bool enabled) = 0;
    virtual void showError(const std::string& text) = 0;
    // The source path of the first selected entry of the preview; "" when none is selected.
    virtual std::string firstSelectedSource() const = 0;
};

} // namespace wizard
