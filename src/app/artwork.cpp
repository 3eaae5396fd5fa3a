#include "app/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace app {

namespace {

QPixmap transparentPixmap(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A record seen from above, centred on `centre` with radius `r`.
void drawDisc(QPainter& painter, QPointF centre, double r) {
    QRadialGradient shine(centre, r, centre - QPointF(r / 3, r / 3));
    shine.setColorAt(0, QColor(90, 90, 100));
    shine.setColorAt(1, QColor(20, 20, 28));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shine);
    painter.drawEllipse(centre, r, r);
    painter.setPen(QPen(QColor(255, 255, 255, 40), 1));
    painter.setBrush(Qt::NoBrush);
    for (double groove = r * 0.5; groove < r * 0.95; groove += r * 0.12) {
        painter.drawEllipse(centre, groove, groove);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(230, 90, 60));
    painter.drawEllipse(centre, r * 0.32, r * 0.32);
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, r * 0.06, r * 0.06);
}

// An eighth note whose head sits at `head`, `h` high.
void drawNote(QPainter& painter, QPointF head, double h, const QColor& color) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.save();
    painter.translate(head);
    painter.rotate(-20);
    painter.drawEllipse(QPointF(0, 0), h * 0.2, h * 0.14);
    painter.restore();
    const QPointF stemFoot = head + QPointF(h * 0.17, -h * 0.05);
    const QPointF stemTop = stemFoot - QPointF(0, h * 0.85);
    painter.setPen(QPen(color, qMax(1.5, h * 0.07)));
    painter.drawLine(stemFoot, stemTop);
    QPainterPath flag(stemTop);
    flag.cubicTo(stemTop + QPointF(h * 0.05, h * 0.2), stemTop + QPointF(h * 0.35, h * 0.25),
                 stemTop + QPointF(h * 0.25, h * 0.55));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flag);
}

} // namespace

QPixmap headerIcon(int size) {
    QPixmap pixmap = transparentPixmap(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawDisc(painter, QPointF(size * 0.42, size * 0.55), size * 0.4);
    drawNote(painter, QPointF(size * 0.62, size * 0.84), size * 0.55, QColor(40, 110, 200));
    return pixmap;
}

QPixmap startPicture() {
    const int size = 96;
    QPixmap pixmap = transparentPixmap(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size);
    sky.setColorAt(0, QColor(120, 180, 240));
    sky.setColorAt(1, QColor(40, 100, 190));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sky);
    painter.drawRoundedRect(QRectF(2, 2, size - 4, size - 4), 14, 14);
    // A small wagon carrying two records.
    drawDisc(painter, QPointF(34, 44), 18);
    drawDisc(painter, QPointF(60, 40), 20);
    painter.setBrush(QColor(250, 200, 70));
    painter.setPen(QPen(QColor(150, 100, 20), 2));
    painter.drawRoundedRect(QRectF(14, 54, 68, 16), 4, 4);
    painter.setBrush(QColor(60, 60, 60));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(28, 74), 7, 7);
    painter.drawEllipse(QPointF(68, 74), 7, 7);
    drawNote(painter, QPointF(74, 28), 22, Qt::white);
    return pixmap;
}

QPixmap makerLogo() {
    const int width = 88;
    const int height = 31;
    QPixmap pixmap = transparentPixmap(width, height);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(255, 214, 120));
    sky.setColorAt(1, QColor(250, 150, 90));
    painter.setPen(QPen(QColor(120, 70, 40), 1));
    painter.setBrush(sky);
    painter.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 250, 220));
    painter.drawEllipse(QPointF(58, 17), 8, 8);
    QPainterPath moor(QPointF(1, height - 1));
    moor.cubicTo(QPointF(20, 12), QPointF(40, 26), QPointF(56, 21));
    moor.cubicTo(QPointF(70, 17), QPointF(80, 20), QPointF(width - 1, 16));
    moor.lineTo(width - 1, height - 1);
    moor.closeSubpath();
    painter.setBrush(QColor(110, 80, 120));
    painter.drawPath(moor);
    return pixmap;
}

} // namespace app
