// The start page TS0 and the About page TSA.
#include "app/artwork.h"
#include "app/controls.h"
#include "app/main_window.h"
#include "app/widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace app {

void TForm1::buildStartPage() {
    Image2 = makeLabel(TS0, "Image2");
    Image2->setPixmap(startPicture());
    Image2->setFixedSize(96, 96);
    Label17 = makeLabel(TS0, "Label17", LabelStyle::Wrapped);
    StaticText1 = makeLink(TS0, "StaticText1", true);
    Label2 = makeLabel(TS0, "Label2", LabelStyle::Wrapped);
    StaticText2 = makeLink(TS0, "StaticText2");
    StaticText3 = makeLink(TS0, "StaticText3");
    StaticText4 = makeLink(TS0, "StaticText4");
    StaticText6 = makeLink(TS0, "StaticText6");
    StaticText8 = makeLink(TS0, "StaticText8");
    setTag(StaticText8, 29);

    auto* text = new QVBoxLayout;
    text->setSpacing(6);
    text->addWidget(Label17);
    text->addWidget(StaticText1);
    text->addSpacing(14);
    text->addWidget(Label2);
    text->addWidget(StaticText6);
    text->addStretch(1);
    for (StaticText* link : {StaticText2, StaticText3, StaticText4, StaticText8}) {
        text->addWidget(link);
    }

    auto* layout = new QHBoxLayout(TS0);
    layout->setContentsMargins(18, 16, 22, 12);
    layout->setSpacing(20);
    layout->addWidget(Image2, 0, Qt::AlignTop);
    layout->addLayout(text, 1);
}

void TForm1::buildAboutPage() {
    Label18 = makeLabel(TSA, "Label18", LabelStyle::Bold);
    Label19 = makeLabel(TSA, "Label19", LabelStyle::Wrapped);
    Label20 = makeLabel(TSA, "Label20", LabelStyle::Bold);
    Label21 = makeLabel(TSA, "Label21", LabelStyle::Wrapped);
    Label25 = makeLabel(TSA, "Label25", LabelStyle::Wrapped, QStringLiteral("---"));
    Label25->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Image3 = makeLabel(TSA, "Image3");
    Image3->setPixmap(makerLogo());
    Image3->setFixedSize(88, 31);
    Image3->setCursor(Qt::PointingHandCursor);
    Label22 = makeLabel(TSA, "Label22");

    auto* footer = new QHBoxLayout;
    footer->setSpacing(12);
    footer->addWidget(Image3);
    footer->addWidget(Label22, 1);

    auto* layout = new QVBoxLayout(TSA);
    layout->setContentsMargins(24, 16, 24, 12);
    layout->setSpacing(8);
    layout->addWidget(Label18);
    layout->addWidget(Label19);
    layout->addSpacing(6);
    layout->addWidget(Label20);
    layout->addWidget(Label21);
    layout->addStretch(1);
    layout->addWidget(Label25);
    layout->addSpacing(6);
    layout->addLayout(footer);
}

} // namespace app
