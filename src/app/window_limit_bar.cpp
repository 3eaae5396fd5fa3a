// The preview's totals: the limit bar drawn from plan::LimitBarFor, and the removal of the
// selected rows with their entries (the volume check's marks following them).
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/track_list_model.h"
#include "app/widgets.h"
#include "plan/limit_bar.h"
#include "store/object_model.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QTreeView>

#include <algorithm>
#include <optional>

namespace app {

namespace {

// The bar's verdict colours: white while the total fits, light red (250, 116, 116) beyond.
const QColor FitsColor(255, 255, 255);
const QColor OverLimitColor(250, 116, 116);

} // namespace

void TForm1::UpdateLimitBar() {
    const int64_t unit = m_destVolume ? m_destVolume->allocationUnit : 0;
    const plan::ListedTotals totals = ListDb ? plan::ListedTotalsOf(*ListDb, unit) : plan::ListedTotals{};
    // With the free space as the limit, "fits" must mean it fits there: each file counts as the
    // allocation units it takes. A typed limit is the sum of the sizes, as the user reckons it.
    std::optional<plan::TotalOnVolume> onVolume;
    if (unit > 0 && cbAutoSizeLimit->isChecked()) {
        onVolume = plan::TotalOnVolume{unit, totals.onVolume};
    }
    const QMargins margins = LimitBar->layout()->contentsMargins();
    const int innerWidth = LimitBar->contentsRect().width() - margins.left() - margins.right();
    const plan::LimitBarView bar = plan::LimitBarFor(totals.bytes, SizeLimit, innerWidth, onVolume);
    LimitBar->setVisible(bar.visible);
    if (!bar.visible) {
        return;
    }
    QPalette palette = LimitBar->palette();
    palette.setColor(QPalette::Window, bar.overLimit ? OverLimitColor : FitsColor);
    LimitBar->setPalette(palette);
    LimitBarShape->setFixedWidth(bar.shapeWidth);
    Label4->setText(toQt(bar.text));
    Label4->setToolTip(toQt(bar.hint));
}

void TForm1::TS4Show() {
    UpdateLimitBar();
}

// Row i of the preview is entry i of the list, so the selected rows name the entries to
// remove; both go at once and the window repaints once.
void TForm1::Button2Click() {
    const DrawingFreeze freeze(this);
    std::vector<int> selected;
    for (const QModelIndex& row : ListView1->selectionModel()->selectedRows()) {
        selected.push_back(row.row());
    }
    std::sort(selected.begin(), selected.end());
    if (ListDb && store::removeTrackEntries(*ListDb, selected) > 0) {
        m_prompts->showMessage(texts::FormatText(texts::InternalErrorRow, {82649}));
    }
    PreviewRows->removeRowsAt(selected);
    if (!selected.empty()) {
        keepVolumeProblemsAfterRemoval(selected);
    }
    UpdateLimitBar();
}

} // namespace app
