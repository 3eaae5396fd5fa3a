// The preview player's handlers on the window, each forwarding to the PreviewPlayer, which
// decides (wizard/preview_player.h).
#include "app/main_window.h"
#include "app/track_list_model.h"

namespace app {

void TForm1::ListView1SelectItem(int row) {
    if (row >= 0 && row < PreviewRows->rowCount()) {
        Player->ListView1SelectItem(PreviewRows->sourceAt(row));
    }
}

void TForm1::ListView1DblClick() {
    Player->ListView1DblClick();
}

void TForm1::Button6Click() {
    Player->Button6Click();
}

void TForm1::Timer1Timer() {
    Player->Timer1Timer();
}

void TForm1::TBChange() {
    Player->TBChange();
}

void TForm1::TSmPTimer() {
    Player->TSmPTimer();
}

void TForm1::stopPlayer() {
    Button6Click();
}

} // namespace app
