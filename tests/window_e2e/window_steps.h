// Steps the end-to-end tests take on the real window, as a person would: a click on a control
// and a picture of what the X server shows.
#pragma once

#include <QString>
#include <QWidget>

namespace e2e {

// A left click near the control's left edge; the control must be shown and enabled.
void clickAsPerson(QWidget* control);

// What the X server shows of `window`, after a moment to paint, saved as
// TW_SCREENSHOT_DIR/<name>.png.
void saveWindowShot(const QWidget& window, const QString& name);

} // namespace e2e
