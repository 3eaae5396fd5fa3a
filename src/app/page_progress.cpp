// The progress page TSP of the copy run, and the finish page TSF, which stays empty.
#include "app/controls.h"
#include "app/main_window.h"
#include "app/widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

namespace {

QProgressBar* makeProgressBar(QWidget* parent, const char* name) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, 1000);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setFixedHeight(14);
    return bar;
}

} // namespace

void TForm1::buildProgressPage() {
    Label12 = makeLabel(TSP, "Label12", LabelStyle::CentredBold, QStringLiteral("Копирование"));
    ProgressBar1 = makeProgressBar(TSP, "ProgressBar1");
    Label16 = makeLabel(TSP, "Label16");
    Label16->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ProgressBar2 = makeProgressBar(TSP, "ProgressBar2");
    Label14 = makeLabel(TSP, "Label14");
    Label15 = makeLabel(TSP, "Label15", LabelStyle::Centred);
    Label13 = makeLabel(TSP, "Label13", LabelStyle::Centred);
    Memo1 = new QPlainTextEdit(TSP);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->viewport()->setCursor(Qt::ArrowCursor);
    Memo1->setBackgroundRole(QPalette::Window);
    QPalette memoPalette = Memo1->palette();
    memoPalette.setColor(QPalette::Base, memoPalette.color(QPalette::Window));
    Memo1->setPalette(memoPalette);
    Button5 = makeButton(TSP, "Button5", QStringLiteral("Пропустить этот файл"));
    Label23 = makeLabel(TSP, "Label23", LabelStyle::Plain, QStringLiteral("(достаточно одного клика)"));
    // The status labels start empty; they keep a line's height so the page does not jump.
    for (QLabel* status : {Label14, Label15, Label16}) {
        status->setMinimumHeight(status->fontMetrics().height());
    }

    auto* overall = new QHBoxLayout;
    overall->addStretch(1);
    overall->addWidget(ProgressBar1, 5);
    overall->addStretch(1);

    // Speed, the current file's bar and the sizes in one row; the labels keep equal widths
    // so that the bar stays in the middle while their texts change.
    auto* file = new QHBoxLayout;
    file->setSpacing(12);
    file->addWidget(Label16, 2);
    file->addWidget(ProgressBar2, 3);
    file->addWidget(Label14, 2);

    auto* skip = new QHBoxLayout;
    skip->addStretch(1);
    skip->addWidget(Button5);
    skip->addWidget(Label23);
    skip->addStretch(1);

    auto* layout = new QVBoxLayout(TSP);
    layout->setContentsMargins(24, 16, 24, 12);
    layout->setSpacing(8);
    layout->addWidget(Label12);
    layout->addLayout(overall);
    layout->addLayout(file);
    layout->addWidget(Label15);
    layout->addSpacing(4);
    layout->addWidget(Label13);
    layout->addWidget(Memo1, 1);
    layout->addLayout(skip);
}

} // namespace app
