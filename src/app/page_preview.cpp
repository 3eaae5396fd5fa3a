// The preview page TS4 (the list, its limit bar and the player controls) and the page TS4P
// shown while the list is built.
#include "app/controls.h"
#include "app/main_window.h"
#include "app/track_list_model.h"
#include "app/widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace app {

namespace {

// The design colour of the limit bar (red 130, green 232, blue 160), replaced by its first update.
constexpr int LimitBarDesignColor = 10545282;

// Draws a path cut at its start when it does not fit.
class PathCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideLeft;
    }
};

} // namespace

void TForm1::buildPreviewPage() {
    Label10 = makeLabel(TS4, "Label10", LabelStyle::Bold);

    // A report-style list over a model of the rows: a long list costs nothing until painted.
    ListView1 = new QTreeView(TS4);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    PreviewRows = new TrackListModel(ListView1);
    ListView1->setModel(PreviewRows);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A path cut at its start keeps its artist, album and file name in view (the whole path is
    // in the tool tip); the other columns are cut at their end.
    for (int column : {TrackListModel::SourceColumn, TrackListModel::DestColumn}) {
        ListView1->setItemDelegateForColumn(column, new PathCellDelegate(ListView1));
    }
    // The running number leads the row; it is the model's last column so that the columns
    // before it keep their places.
    ListView1->header()->moveSection(TrackListModel::NumberColumn, 0);
    ListView1->setColumnWidth(TrackListModel::NumberColumn, 48);
    ListView1->setColumnWidth(TrackListModel::DescColumn, 170);
    ListView1->setColumnWidth(TrackListModel::SourceColumn, 200);
    ListView1->setColumnWidth(TrackListModel::DestColumn, 170);
    ListView1->setColumnWidth(TrackListModel::SizeColumn, 70);
    ListView1->setColumnWidth(TrackListModel::TimeColumn, 50);
    // Rows are arranged by dragging them, and sorted by a click on a column's header.
    ListView1->setDragEnabled(true);
    ListView1->setAcceptDrops(true);
    ListView1->setDropIndicatorShown(true);
    ListView1->setDragDropMode(QAbstractItemView::InternalMove);
    ListView1->setDefaultDropAction(Qt::MoveAction);
    ListView1->header()->setSectionsClickable(true);
    // The warning sign of a row that the destination volume refuses is as tall as a line of
    // text, so that marked rows keep the height of the others.
    const int sign = ListView1->fontMetrics().height() - 2;
    ListView1->setIconSize(QSize(sign, sign));

    // One line under the list, shown only while some rows are marked: the reasons are in the
    // marked rows' tool tips.
    LabelVolumeCheck = makeLabel(TS4, "LabelVolumeCheck");
    LabelVolumeCheck->setWordWrap(true);
    QPalette warning = LabelVolumeCheck->palette();
    warning.setColor(QPalette::WindowText, QColor(160, 56, 0));
    LabelVolumeCheck->setPalette(warning);
    LabelVolumeCheck->setVisible(false);

    LabelTotals = makeLabel(TS4, "LabelTotals");
    LabelTotals->setWordWrap(true);
    LabelTotals->setVisible(false);

    LimitBar = new QFrame(TS4);
    LimitBar->setObjectName(QStringLiteral("LimitBar"));
    LimitBar->setFixedHeight(14);
    LimitBar->setAutoFillBackground(true);
    QPalette barPalette = LimitBar->palette();
    barPalette.setColor(QPalette::Window, designColor(LimitBarDesignColor));
    LimitBar->setPalette(barPalette);
    LimitBarShape = new Shape(LimitBar);
    LimitBarShape->setObjectName(QStringLiteral("LimitBarShape"));
    LimitBarShape->setPenColor(QColor(128, 0, 0));
    LimitBarShape->setBrushColor(Qt::white);
    LimitBarShape->setFixedSize(0, 12);
    Label4 = makeLabel(LimitBar, "Label4", LabelStyle::Centred, QStringLiteral("()"));
    Label4->setFont(QFont(QStringLiteral("Verdana")));
    QFont small = Label4->font();
    small.setPixelSize(9);
    Label4->setFont(small);
    Label4->setAttribute(Qt::WA_TranslucentBackground);
    // The shape and the text share the bar; the text, made last, lies on top.
    auto* bar = new QGridLayout(LimitBar);
    bar->setContentsMargins(1, 1, 1, 1);
    bar->addWidget(LimitBarShape, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
    bar->addWidget(Label4, 0, 0);

    Button2 = makeButton(TS4, "Button2");
    ButtonShuffle = makeButton(TS4, "ButtonShuffle");
    ButtonUndo = makeButton(TS4, "ButtonUndo");
    ButtonUndo->setEnabled(false);
    Button1 = makeButton(TS4, "Button1", QStringLiteral("Play"));
    Button6 = makeButton(TS4, "Button6", QStringLiteral("Stop"));
    TB = new QSlider(Qt::Horizontal, TS4);
    TB->setObjectName(QStringLiteral("TB"));
    TB->setRange(0, 0);
    TB->setSingleStep(5000);
    TB->setPageStep(30000);
    TB->setTickInterval(10000);
    TB->setTickPosition(QSlider::TicksBelow);
    mps = makeLabel(TS4, "mps");
    mps->setMinimumWidth(150);
    Label8 = makeLabel(TS4, "Label8");

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    TSmP = new QTimer(this);
    TSmP->setObjectName(QStringLiteral("TSmP"));
    TSmP->setInterval(500);
    // Repeats until a seek succeeds; the player stops it then.
    TSmP->setSingleShot(false);

    auto* player = new QHBoxLayout;
    player->setSpacing(8);
    player->addWidget(Button2);
    player->addWidget(ButtonShuffle);
    player->addWidget(ButtonUndo);
    player->addSpacing(16);
    player->addWidget(Button1);
    player->addWidget(Button6);
    player->addWidget(TB, 1);
    player->addWidget(mps);

    auto* layout = new QVBoxLayout(TS4);
    layout->setContentsMargins(16, 12, 16, 10);
    layout->setSpacing(6);
    layout->addWidget(Label10);
    layout->addWidget(ListView1, 1);
    layout->addWidget(LabelVolumeCheck);
    layout->addWidget(LabelTotals);
    layout->addWidget(LimitBar);
    layout->addLayout(player);
    layout->addWidget(Label8);
}

void TForm1::buildBuildingPage() {
    Label11 = makeLabel(TS4P, "Label11", LabelStyle::CentredBold);
    auto* layout = new QVBoxLayout(TS4P);
    layout->addWidget(Label11);
}

} // namespace app
