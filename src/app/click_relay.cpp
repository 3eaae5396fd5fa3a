#include "app/click_relay.h"

#include <QMouseEvent>
#include <QWidget>

namespace app {

ClickRelay::ClickRelay(QWidget* control, std::function<void()> onClick)
    : QObject(control), m_onClick(std::move(onClick)) {
    control->installEventFilter(this);
}

void ClickRelay::watch(QWidget* control, std::function<void()> onClick) {
    new ClickRelay(control, std::move(onClick));
}

bool ClickRelay::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const auto* control = static_cast<QWidget*>(watched);
        if (control->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            m_onClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
