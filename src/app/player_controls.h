// The preview player's controls on the window: the status label mps, the track bar TB, the
// error box and the preview list's selection as the player's view, and the window's two
// timers as its timers.
#pragma once

#include "app/user_prompts.h"
#include "wizard/media_device.h"

class QLabel;
class QSlider;
class QTimer;
class QTreeView;

namespace app {

class TrackListModel;

class QtPlayerTimer : public wizard::PlayerTimer {
public:
    explicit QtPlayerTimer(QTimer* timer) : m_timer(timer) {}
    void start() override;
    void stop() override;

private:
    QTimer* m_timer;
};

struct PlayerControlSet {
    QLabel* status = nullptr;       // mps
    QSlider* trackBar = nullptr;    // TB
    QTreeView* list = nullptr;      // ListView1
    TrackListModel* rows = nullptr; // its rows
};

class PlayerControls : public wizard::PlayerView {
public:
    // The controls belong to the window and outlive this object; so does `prompts`.
    PlayerControls(const PlayerControlSet& controls, UserPrompts& prompts)
        : m_controls(controls), m_prompts(prompts) {}

    void setStatus(const std::string& text) override;
    void setTrackMaximum(int maximum) override;
    void setTrackPosition(int position) override;
    int trackPosition() const override;
    void setTrackEnabled(bool enabled) override;
    void showError(const std::string& text) override;
    std::string firstSelectedSource() const override;

private:
    PlayerControlSet m_controls;
    UserPrompts& m_prompts;
};

} // namespace app
