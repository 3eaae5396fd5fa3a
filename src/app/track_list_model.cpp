#include "app/track_list_model.h"

#include "app/qt_text.h"

namespace app {

void TrackListModel::setColumnTitles(const QStringList& titles) {
    m_titles = titles;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void TrackListModel::setRows(std::vector<PreviewRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void TrackListModel::removeRowsAt(const std::vector<int>& positions) {
    if (positions.empty()) {
        return;
    }
    beginResetModel();
    std::vector<PreviewRow> kept;
    kept.reserve(m_rows.size());
    auto next = positions.begin();
    for (size_t i = 0; i < m_rows.size(); ++i) {
        while (next != positions.end() && *next < static_cast<int>(i)) {
            ++next;
        }
        if (next == positions.end() || *next != static_cast<int>(i)) {
            kept.push_back(std::move(m_rows[i]));
        }
    }
    m_rows = std::move(kept);
    endResetModel();
}

int TrackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TrackListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrackListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const PreviewRow& row = m_rows[static_cast<size_t>(index.row())];
    switch (index.column()) {
    case DescColumn:
        return toQt(row.Desc);
    case SourceColumn:
        return toQt(row.OrigFileName);
    case DestColumn:
        return toQt(row.FileName);
    default:
        return {};
    }
}

QVariant TrackListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_titles.size()) {
        return {};
    }
    return m_titles[section];
}

} // namespace app
