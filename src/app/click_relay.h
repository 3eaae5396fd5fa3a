// Clicks on controls that are plain labels (a picture, the footer's text): the class of a
// control decides which text it gets, so they stay labels and a relay reports their clicks.
#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace app {

class ClickRelay : public QObject {
    Q_OBJECT
public:
    // Calls `onClick` when the left button is released over `control`; the relay lives as a
    // child of the control.
    static void watch(QWidget* control, std::function<void()> onClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ClickRelay(QWidget* control, std::function<void()> onClick);
    std::function<void()> m_onClick;
};

} // namespace app
