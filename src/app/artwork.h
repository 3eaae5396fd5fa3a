// The window's pictures, drawn in code so the program ships no image files: the header icon,
// the start page's picture (Image2) and the maker's logo on the About page (Image3).
#pragma once

#include <QPixmap>

namespace app {

QPixmap headerIcon(int size); // a disc with a note, size x size
QPixmap startPicture();       // 96 x 96
QPixmap makerLogo();          // 88 x 31

} // namespace app
