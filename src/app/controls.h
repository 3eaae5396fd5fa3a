// Small makers for the window's controls: each creates one control under its design name
// (objectName) with the look the window gives that kind. Used by the page builders only.
#pragma once

#include <QString>

#include <string>
#include <vector>

class QCheckBox;
class QColor;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace app {

class StaticText;

enum class LabelStyle { Plain, Bold, Wrapped, Centred, CentredBold };

QLabel* makeLabel(QWidget* parent, const char* name, LabelStyle style = LabelStyle::Plain,
                  const QString& text = {});
// A link: underlined in the link colour, with a hand cursor; `bold` for the main one.
StaticText* makeLink(QWidget* parent, const char* name, bool bold = false);
QPushButton* makeButton(QWidget* parent, const char* name, const QString& text = {});
QCheckBox* makeCheckBox(QWidget* parent, const char* name, bool ticked);
QRadioButton* makeRadioButton(QWidget* parent, const char* name);
// A combo box with free text and a history, or a drop-down list without free text.
QComboBox* makeComboBox(QWidget* parent, const char* name, bool freeText);

// The item texts of a combo box (its history), first to last.
std::vector<std::string> comboItems(const QComboBox* combo);

// A colour value of the design (0x00BBGGRR) as a QColor.
QColor designColor(int value);

} // namespace app
