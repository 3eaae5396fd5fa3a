// The preview player's rules: which file a Play opens, the status line, the track bar that
// follows the playback and seeks once its thumb has rested, and Stop. Holds no widgets and no
// timers of its own: the window forwards its handlers here and gives the device, the two
// timers (the 1000 ms status refresh Timer1 and the 500 ms seek delay TSmP) and its controls.
#pragma once

#include "wizard/media_device.h"

#include <string>

namespace wizard {

// Milliseconds as the status line shows them: "0:00", "1:05", "1:2:05" (hours only when
// there are any; minutes never padded).
std::string FormatPlayTime(int milliseconds);

class PreviewPlayer {
public:
    // Everything outlives the player.
    PreviewPlayer(MediaDevice& device, PlayerView& view, PlayerTimer& refresh, PlayerTimer& seekDelay)
        : m_device(device), m_view(view), m_refresh(refresh), m_seekDelay(seekDelay) {}

    // An entry became selected: its source is the file the next Play opens.
    void ListView1SelectItem(const std::string& sourcePath);
    // Play (Button1, and a double click on the list).
    void ListView1DblClick();
    // Stop; also when the page flow leaves the preview page.
    void Button6Click();
    // Timer1 (status refresh), the track bar's change, TSmP (seek delay).
    void Timer1Timer();
    void TBChange();
    void TSmPTimer();

    const std::string& chosenFile() const { return m_fileName; }
    bool TrackSyncing = false;

private:
    void moveThumb(int position);

    MediaDevice& m_device;
    PlayerView& m_view;
    PlayerTimer& m_refresh;
    PlayerTimer& m_seekDelay;
    std::string m_fileName;
    bool m_played = false; // the chosen file has played since it was opened
};

} // namespace wizard
