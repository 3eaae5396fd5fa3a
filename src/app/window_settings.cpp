// The window's side of the settings: its controls to SettingsValues and back, and the empty
// track-list store that start-up prepares.
#include "app/controls.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/track_list_model.h"
#include "platform/drive_mappings.h"
#include "store/object_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStringList>
#include <QTreeView>

namespace app {

namespace {

// Replaces the history of a combo box. Qt selects the first item of a filled list by itself;
// the field is cleared again, so that only the caller decides what it shows.
void setHistory(QComboBox* combo, const std::vector<std::string>& items) {
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const std::string& item : items) {
        combo->addItem(QString::fromStdString(item));
    }
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
}

// A stored index outside the list selects nothing rather than an item it does not name.
void selectIndex(QComboBox* combo, int32_t index) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

} // namespace

SettingsValues TForm1::settingsFromControls() const {
    SettingsValues values;
    values.Source1 = comboItems(cbSource1);
    values.Source2 = comboItems(cbSource2);
    values.Dest = comboItems(cbDest);
    values.SizeLimit = comboItems(cbSizeLimit);
    values.CreateList = chCreateList->isChecked();
    values.cb2 = cb2->isChecked();
    values.cb3 = cb3->isChecked();
    values.cb4 = cb4->isChecked();
    values.cbDiv = cbDiv->isChecked();
    values.seDiv = seDiv->value();
    values.cb5 = cb5->currentIndex();
    values.cbAutoSizeLimit = cbAutoSizeLimit->isChecked();
    values.cbExistAction = cbExistAction->currentIndex();
    values.RG2 = Shell.SourceKind;
    values.AbsoluteList = chAbsoluteList->isChecked();
    values.Verify = chVerify->isChecked();
    values.Flush = chFlush->isChecked();
    values.Drives = m_driveMappings;
    const QRect place = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    QStringList widths;
    for (int column = 0; column < PreviewRows->columnCount(); ++column) {
        widths << QString::number(ListView1->columnWidth(column));
    }
    values.PreviewColumns = widths.join(QLatin1Char(',')).toStdString();
    values.ReadTags = m_readTags;
    values.TagsWin = m_tagsWin;
    values.DescriptionFormat = m_descriptionFormat;
    conversionSettingsFromControls(values);
    values.WindowGeometry = QStringLiteral("%1,%2,%3,%4")
                                .arg(place.x())
                                .arg(place.y())
                                .arg(place.width())
                                .arg(place.height())
                                .toStdString();
    return values;
}

void TForm1::applySettingsToControls(const SettingsValues& values) {
    setHistory(cbSource1, values.Source1);
    setHistory(cbSource2, values.Source2);
    setHistory(cbDest, values.Dest);
    setHistory(cbSizeLimit, values.SizeLimit);
    if (cbSizeLimit->count() > 0) {
        cbSizeLimit->setCurrentIndex(0);
    }
    chCreateList->setChecked(values.CreateList);
    chAbsoluteList->setChecked(values.AbsoluteList);
    chVerify->setChecked(values.Verify);
    chFlush->setChecked(values.Flush);
    m_driveMappings = values.Drives;
    platform::mountDriveMappings(platform::parseDriveMappings(values.Drives));
    cb2->setChecked(values.cb2);
    cb3->setChecked(values.cb3);
    cb4->setChecked(values.cb4);
    cbDiv->setChecked(values.cbDiv);
    seDiv->setValue(values.seDiv);
    selectIndex(cb5, values.cb5);
    selectIndex(cbExistAction, values.cbExistAction);
    cbAutoSizeLimit->setChecked(values.cbAutoSizeLimit);
    applyConversionSettings(values);
    SetSourceKind(values.RG2);
    restoreWindowGeometry(values.WindowGeometry);
    m_readTags = values.ReadTags;
    m_tagsWin = values.TagsWin;
    m_descriptionFormat = values.DescriptionFormat;
    // The state column, shown last, stretches to the list's edge; the others keep the widths they
    // were left at.
    const QStringList widths = QString::fromStdString(values.PreviewColumns).split(QLatin1Char(','));
    for (int column = 0; column < widths.size() && column < PreviewRows->columnCount(); ++column) {
        if (column == TrackListModel::StateColumn) {
            continue;
        }
        bool ok = false;
        const int width = widths[column].toInt(&ok);
        if (ok && width >= 20 && width <= 4000) {
            ListView1->setColumnWidth(column, width);
        }
    }
}

// The place and size of the last close, where it still lies wholly on a screen's free area (a
// screen may have gone, or be smaller now) and is no smaller than the window allows.
void TForm1::restoreWindowGeometry(const std::string& stored) {
    const QStringList parts = QString::fromStdString(stored).split(QLatin1Char(','));
    if (parts.size() != 4) {
        return;
    }
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok) {
            return;
        }
    }
    const QRect place(numbers[0], numbers[1], numbers[2], numbers[3]);
    if (place.width() < minimumWidth() || place.height() < minimumHeight()) {
        return;
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(place)) {
            setGeometry(place);
            return;
        }
    }
}

void TForm1::createTrackListStore() {
    ListDb = std::make_unique<store::TfdbObject>();
    ListDb->DSystem.CreateDir("", "list");
    const int mask =
        ListDb->CreateObjectMask("item",
                                 {std::string("OrigFileName"), std::string("FileName"), std::string("Desc"),
                                  std::string("Size"), 7, std::string("Len"), 6},
                                 1);
    ListDb->NewItemRef(mask)->AddToList(1);
    m_preview = std::make_unique<plan::Preview>(*ListDb);
    PreviewRows->setPreview(m_preview.get());
}

} // namespace app
