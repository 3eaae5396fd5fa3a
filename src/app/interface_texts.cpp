// Putting the text table on the window: ApplyInterfaceTexts names each control and its row,
// ApplyTaggedTexts gives every component with a Tag in range the row of its Tag.
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/track_list_model.h"
#include "app/widgets.h"
#include "texts/text_table.h"
#include "texts/window_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace app {

namespace {

QString row(int number) {
    return toQt(texts::GetText(number));
}

void setItemsFromRow(QComboBox* combo, int number) {
    combo->clear();
    combo->addItems(linesOf(texts::GetText(number)));
    // A list whose items are replaced has no selection until one is chosen.
    combo->setCurrentIndex(-1);
}

} // namespace

void TForm1::ApplyInterfaceTexts() {
    BNext->setText(row(10));
    BPrev->setText(row(11));
    Label1->setText(row(9));
    setWindowTitle(Label1->text());
    Label24->setText(row(14));

    Label17->setText(row(21));
    StaticText1->setText(row(22));
    StaticText2->setText(row(26));
    StaticText3->setText(row(23));
    StaticText4->setText(row(24));
    Label2->setText(row(27));
    StaticText6->setText(row(28));

    const texts::LinkHints hints = texts::buildLinkHints();
    StaticText6->setToolTip(toQt(hints.mail));
    StaticText3->setToolTip(toQt(hints.site));
    StaticText4->setToolTip(toQt(hints.product));
    StaticText8->setToolTip(toQt(hints.forum));
    Image3->setToolTip(StaticText3->toolTip());

    Label3->setText(row(41));
    RadioButton1->setText(row(50));
    RadioButton2->setText(row(51));
    RadioButton3->setText(row(52));
    for (QPushButton* picker : {BitBtn3, BitBtn4, BitBtn5}) {
        picker->setText(row(45));
    }
    Label5->setText(row(46));
    RadioGroup1->setItems({});
    RadioGroup1->setItems(linesOf(texts::GetText(47)));
    setItemsFromRow(cbExistAction, 49);

    BitBtn2->setText(row(63));
    RG3->setTitle(row(64));
    chCreateList->setText(row(66));
    chAbsoluteList->setText(row(94));
    chVerify->setText(row(101));
    chFlush->setText(row(102));
    Label9->setText(row(67));
    GroupBox1->setTitle(row(68));
    setItemsFromRow(cb5, 75);
    applyConversionTexts();

    Label10->setText(row(81));
    PreviewRows->setColumnTitles({row(82), row(83), row(84), row(364), row(372), row(365), row(375)});
    ButtonShuffle->setText(row(366));
    ButtonUndo->setText(row(367));
    ButtonUndo->setToolTip(row(368));
    Button2->setText(row(85));
    Label8->setText(row(86));
    Label11->setText(row(87));

    Label13->setText(row(91));

    Label18->setText(row(173));
    Label19->setText(row(170));
    Label20->setText(row(171));
    Label21->setText(row(172));
    Label22->setText(toQt(texts::GetText(0) + " " + texts::GetText(1) + " " + texts::GetText(2)));

    ApplyTaggedTexts(1, 1000);
}

// The text goes where the component's exact class shows it; a subclass (a radio group is a
// group box underneath) gets nothing, as does any class not named here.
void TForm1::ApplyTaggedTexts(int low, int high) {
    setUpdatesEnabled(false);
    for (QObject* component : findChildren<QObject*>()) {
        const int tag = tagOf(component);
        if (tag < low || tag > high) {
            continue;
        }
        const QString text = row(tag);
        const QMetaObject* kind = component->metaObject();
        if (kind == &QCheckBox::staticMetaObject) {
            static_cast<QCheckBox*>(component)->setText(text);
        } else if (kind == &QLabel::staticMetaObject || kind == &StaticText::staticMetaObject) {
            static_cast<QLabel*>(component)->setText(text);
        } else if (kind == &WizardPage::staticMetaObject) {
            static_cast<WizardPage*>(component)->setCaption(text);
        } else if (kind == &QToolButton::staticMetaObject) {
            static_cast<QToolButton*>(component)->setToolTip(text);
        } else if (kind == &QGroupBox::staticMetaObject) {
            static_cast<QGroupBox*>(component)->setTitle(" " + text + " ");
        }
    }
    setUpdatesEnabled(true);
}

} // namespace app
