#include "app/widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>

namespace app {

namespace {
constexpr const char* TagProperty = "Tag";
} // namespace

void setTag(QObject* component, int tag) {
    component->setProperty(TagProperty, tag);
}

int tagOf(const QObject* component) {
    const QVariant tag = component->property(TagProperty);
    return tag.isValid() ? tag.toInt() : 0;
}

StaticText::StaticText(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void StaticText::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit clicked();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void StaticText::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

RadioGroup::RadioGroup(QWidget* parent) : QGroupBox(parent) {
    new QVBoxLayout(this);
    m_buttons.setExclusive(true);
}

void RadioGroup::setItems(const QStringList& items) {
    for (QAbstractButton* button : m_buttons.buttons()) {
        m_buttons.removeButton(button);
        delete button;
    }
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_buttons.addButton(button, i);
        layout()->addWidget(button);
    }
}

QStringList RadioGroup::items() const {
    QStringList result;
    for (const QAbstractButton* button : m_buttons.buttons()) {
        result << button->text();
    }
    return result;
}

int RadioGroup::itemIndex() const {
    return m_buttons.checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* button = m_buttons.button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group refuses to clear its last checked button.
    m_buttons.setExclusive(false);
    for (QAbstractButton* button : m_buttons.buttons()) {
        button->setChecked(false);
    }
    m_buttons.setExclusive(true);
}

Shape::Shape(QWidget* parent) : QWidget(parent), m_pen(Qt::black), m_brush(Qt::white) {}

void Shape::setPenColor(const QColor& color) {
    m_pen = color;
    update();
}

void Shape::setBrushColor(const QColor& color) {
    m_brush = color;
    update();
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(m_pen);
    painter.setBrush(m_brush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace app
