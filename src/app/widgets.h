// The few control kinds of the window that Qt has no exact match for, and the `Tag` that
// ApplyTaggedTexts reads. Each kind is its own class, so that the text mapping by exact class
// (interface_texts.h) can tell a link text from a label and a radio group from a group box.
#pragma once

#include <QButtonGroup>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QWidget>

namespace app {

// The number a component carries for ApplyTaggedTexts; 0 when none was given.
void setTag(QObject* component, int tag);
int tagOf(const QObject* component);

// A link-style static text: a label that reacts to a click.
class StaticText : public QLabel {
    Q_OBJECT
public:
    explicit StaticText(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Reached with Tab like a link, and followed with Space or Return.
    void keyPressEvent(QKeyEvent* event) override;
};

// A radio group: a frame of exclusive radio buttons made from an item list. Replacing the
// items clears the selection; the index is -1 while no item is selected.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    QStringList items() const;
    int itemIndex() const;
    // An index outside the items selects none.
    void setItemIndex(int index);

private:
    QButtonGroup m_buttons;
};

// One page of the page control; its caption is kept though the tab strip is never shown.
class WizardPage : public QWidget {
    Q_OBJECT
public:
    explicit WizardPage(QWidget* parent = nullptr) : QWidget(parent) {}

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption) { m_caption = caption; }

private:
    QString m_caption;
};

// Freezes the drawing of a window for the life of the object; it repaints once afterwards.
class DrawingFreeze {
public:
    explicit DrawingFreeze(QWidget* window) : m_window(window), m_wasEnabled(window->updatesEnabled()) {
        m_window->setUpdatesEnabled(false);
    }
    ~DrawingFreeze() { m_window->setUpdatesEnabled(m_wasEnabled); }
    DrawingFreeze(const DrawingFreeze&) = delete;
    DrawingFreeze& operator=(const DrawingFreeze&) = delete;

private:
    QWidget* m_window;
    bool m_wasEnabled;
};

// A rectangle with an outline colour and a fill colour.
class Shape : public QWidget {
    Q_OBJECT
public:
    explicit Shape(QWidget* parent = nullptr);

    void setPenColor(const QColor& color);
    void setBrushColor(const QColor& color);
    QColor penColor() const { return m_pen; }
    QColor brushColor() const { return m_brush; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_pen;
    QColor m_brush;
};

} // namespace app
