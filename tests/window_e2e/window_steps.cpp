#include "window_steps.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace e2e {

void clickAsPerson(QWidget* control) {
    ASSERT_TRUE(control->isVisible() && control->isEnabled()) << control->objectName().toStdString();
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2));
}

void saveWindowShot(const QWidget& window, const QString& name) {
    QTest::qWait(60);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(window.winId());
    const QString path = QStringLiteral(TW_SCREENSHOT_DIR "/") + name + ".png";
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
}

} // namespace e2e
