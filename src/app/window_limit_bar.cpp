// The preview's totals: the limit bar drawn from plan::LimitBarFor, and the removal of the
// selected rows with their entries (the volume check's marks following them).
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/track_list_model.h"
#include "app/widgets.h"
#include "plan/limit_bar.h"
#include "plan/size_limit.h"
#include "store/object_model.h"
#include "store/track_list.h"
#include "texts/text_table.h"

#include <QCheckBox>
#include <QComboBox>
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
    const QMargins margins = LimitBar->layout()->contentsMargins();
    const int innerWidth = LimitBar->contentsRect().width() - margins.left() - margins.right();
    // The preview decides what counts: with the free space as the limit, the sizes on the volume.
    const bool fromFreeSpace = cbAutoSizeLimit->isChecked();
    const int64_t timeLimit = fromFreeSpace ? 0 : plan::timeLimitFromText(fromQt(cbSizeLimit->currentText()));
    if (m_preview && m_preview->setLimit(SizeLimit, fromFreeSpace, timeLimit)) {
        showTrackList();
    }
    const plan::LimitBarView bar = m_preview ? m_preview->limitBar(innerWidth) : plan::LimitBarView{};
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
// remove; they go at once (the others keep their names, numbers included) and the window
// repaints once.
void TForm1::Button2Click() {
    const std::vector<int> selected = selectedPreviewRows();
    if (!m_preview || selected.empty()) {
        UpdateLimitBar();
        return;
    }
    int list = 0;
    if (ListDb->DSystem.Resolve(store::trackListPath, list) > 0) {
        m_prompts->showMessage(texts::FormatText(texts::InternalErrorRow, {82649}));
    }
    m_preview->remove(selected);
    previewChanged({});
}

} // namespace app
