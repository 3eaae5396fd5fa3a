#include "app/controls.h"

#include "app/qt_text.h"
#include "app/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace app {

namespace {

template <typename Control> Control* named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

void setBold(QWidget* control) {
    QFont font = control->font();
    font.setBold(true);
    control->setFont(font);
}

} // namespace

QLabel* makeLabel(QWidget* parent, const char* name, LabelStyle style, const QString& text) {
    auto* label = named(new QLabel(text, parent), name);
    switch (style) {
    case LabelStyle::Plain:
        break;
    case LabelStyle::Bold:
        setBold(label);
        break;
    case LabelStyle::Wrapped:
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        break;
    case LabelStyle::CentredBold:
        setBold(label);
        label->setAlignment(Qt::AlignCenter);
        break;
    case LabelStyle::Centred:
        label->setAlignment(Qt::AlignCenter);
        break;
    }
    return label;
}

StaticText* makeLink(QWidget* parent, const char* name, bool bold) {
    auto* link = named(new StaticText(parent), name);
    QFont font = link->font();
    font.setUnderline(true);
    font.setBold(bold);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
    link->setPalette(palette);
    return link;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    return named(new QPushButton(text, parent), name);
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, bool ticked) {
    auto* box = named(new QCheckBox(parent), name);
    box->setChecked(ticked);
    return box;
}

QRadioButton* makeRadioButton(QWidget* parent, const char* name) {
    return named(new QRadioButton(parent), name);
}

QComboBox* makeComboBox(QWidget* parent, const char* name, bool freeText) {
    auto* combo = named(new QComboBox(parent), name);
    combo->setEditable(freeText);
    // Histories grow only through the page flow, never by pressing Enter in the field.
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (freeText) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(8);
    } else {
        // A fixed list shows its longest item whole.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    }
    return combo;
}

std::vector<std::string> comboItems(const QComboBox* combo) {
    std::vector<std::string> items;
    for (int i = 0; i < combo->count(); ++i) {
        items.push_back(fromQt(combo->itemText(i)));
    }
    return items;
}

QColor designColor(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace app
