// Arranging the preview: removal's neighbours, moving the selected rows, sorting by a column,
// shuffling and undoing, each an operation of plan::Preview that the window only forwards and
// then shows.
#include "app/desktop_links.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/track_list_model.h"
#include "app/widgets.h"
#include "platform/shown_paths.h"
#include "texts/text_table.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTreeView>

#include <algorithm>

namespace app {

namespace {

constexpr int OpenFolderRow = 369;
constexpr int PlayRow = 370;

} // namespace

std::vector<int> TForm1::selectedPreviewRows() const {
    std::vector<int> selected;
    for (const QModelIndex& row : ListView1->selectionModel()->selectedRows()) {
        selected.push_back(row.row());
    }
    std::sort(selected.begin(), selected.end());
    return selected;
}

void TForm1::previewChanged(const std::vector<int>& select) {
    // The header shows the sort while the list is in that order.
    ListView1->header()->setSortIndicatorShown(m_sortedColumn >= 0);
    if (m_sortedColumn >= 0) {
        ListView1->header()->setSortIndicator(m_sortedColumn,
                                              m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
    showTrackList();
    UpdateLimitBar();
    ButtonUndo->setEnabled(m_preview && m_preview->canUndo());
    QItemSelectionModel* const selection = ListView1->selectionModel();
    for (int row : select) {
        selection->select(PreviewRows->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (!select.empty()) {
        selection->setCurrentIndex(PreviewRows->index(select.front(), 0), QItemSelectionModel::NoUpdate);
        ListView1->scrollTo(PreviewRows->index(select.front(), 0));
    }
}

// The selected rows, kept together, one place up (`by` = -1) or down (+1); at an end they stay.
void TForm1::moveSelectedRows(int by) {
    const std::vector<int> selected = selectedPreviewRows();
    if (!m_preview || selected.empty()) {
        return;
    }
    const int first = selected.front();
    const int last = selected.back();
    if ((by < 0 && first == 0) || (by > 0 && last == m_preview->rowCount() - 1)) {
        return;
    }
    // Up: before the row above the first; down: before the row two below the last, counted
    // in the list as it is before the move.
    m_preview->move(selected, by < 0 ? first - 1 : last + 2);
    m_shuffleSeed.reset();
    m_sortedColumn = -1;
    std::vector<int> moved;
    const int start = by < 0 ? first - 1 : first + 1;
    for (size_t i = 0; i < selected.size(); ++i) {
        moved.push_back(start + static_cast<int>(i));
    }
    // Rows that were apart come together where the first one lands.
    previewChanged(moved);
}

void TForm1::moveSelectedRowsBefore(int row) {
    const std::vector<int> selected = selectedPreviewRows();
    if (!m_preview || selected.empty()) {
        return;
    }
    m_preview->move(selected, row);
    m_shuffleSeed.reset();
    m_sortedColumn = -1;
    const int above =
        static_cast<int>(std::count_if(selected.begin(), selected.end(), [row](int r) { return r < row; }));
    std::vector<int> moved;
    for (size_t i = 0; i < selected.size(); ++i) {
        moved.push_back(row - above + static_cast<int>(i));
    }
    previewChanged(moved);
}

void TForm1::sortPreviewBy(int column) {
    if (!m_preview) {
        return;
    }
    plan::SortKey key = plan::SortKey::Description;
    switch (column) {
    case TrackListModel::DescColumn:
        key = plan::SortKey::Description;
        break;
    case TrackListModel::SourceColumn:
    case TrackListModel::DestColumn:
        key = plan::SortKey::Source;
        break;
    case TrackListModel::SizeColumn:
        key = plan::SortKey::Size;
        break;
    case TrackListModel::TimeColumn:
        key = plan::SortKey::Time;
        break;
    default:
        return;
    }
    m_sortDescending = column == m_sortedColumn && !m_sortDescending;
    m_sortedColumn = column;
    m_preview->sortBy(key, m_sortDescending);
    m_shuffleSeed.reset();
    previewChanged({});
}

// A new seed each time; the order then stays as shuffled through Back and Next.
void TForm1::shuffleClick() {
    if (!m_preview) {
        return;
    }
    m_shuffleSeed = QRandomGenerator::global()->generate();
    m_preview->shuffle(*m_shuffleSeed);
    m_sortedColumn = -1;
    previewChanged({});
}

void TForm1::showPreviewMenu(const QPoint& at) {
    const QModelIndex index = ListView1->indexAt(at);
    if (!index.isValid()) {
        return;
    }
    if (!ListView1->selectionModel()->isRowSelected(index.row(), {})) {
        ListView1->selectionModel()->select(index,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    const std::string source = platform::shownPath(PreviewRows->sourceAt(index.row()));
    QMenu menu(ListView1);
    QAction* const openFolder = menu.addAction(toQt(texts::GetText(OpenFolderRow)));
    QAction* const play = menu.addAction(toQt(texts::GetText(PlayRow)));
    QAction* const chosen = menu.exec(ListView1->viewport()->mapToGlobal(at));
    if (chosen == openFolder) {
        m_links->openHostFile(source.substr(0, source.rfind('/') + 1));
    } else if (chosen == play) {
        ListView1DblClick();
    }
}

void TForm1::undoPreviewClick() {
    if (m_preview && m_preview->undo()) {
        m_sortedColumn = -1;
        m_shuffleSeed.reset();
        previewChanged({});
    }
}

} // namespace app
