// The destination page TS3: the destination folder, splitting into sub-folders, the result
// playlist, checking the copies, the size limit, the renaming options and the conversion.
#include "app/controls.h"
#include "app/main_window.h"
#include "app/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace app {

namespace {

QGroupBox* makeGroupBox(QWidget* parent, const char* name) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

void TForm1::buildDestinationPage() {
    Label6 = makeLabel(TS3, "Label6", LabelStyle::Bold);
    setTag(Label6, 61);
    Label7 = makeLabel(TS3, "Label7");
    setTag(Label7, 62);
    cbDest = makeComboBox(TS3, "cbDest", true);
    BitBtn2 = makeButton(TS3, "BitBtn2");

    RG3 = makeGroupBox(TS3, "RG3");
    cbDiv = makeCheckBox(RG3, "cbDiv", true);
    setTag(cbDiv, 65);
    Label30 = makeLabel(RG3, "Label30", LabelStyle::Plain, QStringLiteral("Количество уровней:"));
    seDiv = new QSpinBox(RG3);
    seDiv->setObjectName(QStringLiteral("seDiv"));
    seDiv->setRange(0, 255);
    seDiv->setValue(1);
    chCreateList = makeCheckBox(RG3, "chCreateList", true);
    chAbsoluteList = makeCheckBox(RG3, "chAbsoluteList", false);
    chVerify = makeCheckBox(RG3, "chVerify", false);
    chFlush = makeCheckBox(RG3, "chFlush", false);
    auto* split = new QGridLayout(RG3);
    split->setColumnStretch(2, 1);
    split->addWidget(cbDiv, 0, 0, 1, 3);
    split->addWidget(Label30, 1, 0);
    split->addWidget(seDiv, 1, 1);
    split->addWidget(chCreateList, 2, 0, 1, 2);
    split->addWidget(chAbsoluteList, 2, 2);
    split->addWidget(chVerify, 3, 0, 1, 3);
    split->addWidget(chFlush, 4, 0, 1, 3);

    GroupBox2 = makeGroupBox(TS3, "GroupBox2");
    setTag(GroupBox2, 72);
    cbSizeLimit = makeComboBox(GroupBox2, "cbSizeLimit", true);
    Label28 = makeLabel(GroupBox2, "Label28", LabelStyle::Plain, QStringLiteral("Mb"));
    cbAutoSizeLimit = makeCheckBox(GroupBox2, "cbAutoSizeLimit", true);
    setTag(cbAutoSizeLimit, 73);
    auto* limit = new QGridLayout(GroupBox2);
    limit->setColumnStretch(0, 1);
    limit->addWidget(cbSizeLimit, 0, 0);
    limit->addWidget(Label28, 0, 1);
    limit->addWidget(cbAutoSizeLimit, 1, 0, 1, 2);
    limit->setRowStretch(2, 1);

    Label9 = makeLabel(TS3, "Label9", LabelStyle::Bold);
    // Never visible and always ticked, so the renaming options stay enabled.
    CheckBox1 = makeCheckBox(TS3, "CheckBox1", true);
    CheckBox1->setVisible(false);
    GroupBox1 = makeGroupBox(TS3, "GroupBox1");
    cb2 = makeCheckBox(GroupBox1, "cb2", false);
    cb3 = makeCheckBox(GroupBox1, "cb3", false);
    cb4 = makeCheckBox(GroupBox1, "cb4", false);
    Label27 = makeLabel(GroupBox1, "Label27");
    cb5 = makeComboBox(GroupBox1, "cb5", false);
    const std::pair<QCheckBox*, int> tagged[] = {{cb2, 69}, {cb3, 70}, {cb4, 71}};
    for (const auto& [box, tag] : tagged) {
        setTag(box, tag);
    }
    setTag(Label27, 74);
    auto* naming = new QGridLayout(GroupBox1);
    naming->setColumnStretch(2, 1);
    naming->addWidget(cb2, 0, 0, 1, 3);
    naming->addWidget(cb3, 1, 0, 1, 3);
    naming->addWidget(cb4, 2, 0, 1, 3);
    naming->addWidget(Label27, 3, 0);
    naming->addWidget(cb5, 3, 1);

    auto* dest = new QHBoxLayout;
    dest->setSpacing(10);
    dest->addWidget(Label7);
    dest->addWidget(cbDest, 1);
    dest->addWidget(BitBtn2);

    auto* options = new QHBoxLayout;
    options->setSpacing(12);
    options->addWidget(RG3, 3);
    options->addWidget(GroupBox2, 2);

    auto* layout = new QVBoxLayout(TS3);
    layout->setContentsMargins(24, 16, 24, 12);
    layout->setSpacing(8);
    layout->addWidget(Label6);
    layout->addLayout(dest);
    layout->addSpacing(6);
    layout->addLayout(options);
    layout->addSpacing(6);
    layout->addWidget(Label9);
    layout->addWidget(CheckBox1);
    layout->addWidget(GroupBox1);
    layout->addSpacing(6);
    layout->addWidget(buildConversionGroup(TS3));
    layout->addStretch(1);
}

} // namespace app
