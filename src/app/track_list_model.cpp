#include "app/track_list_model.h"

#include "app/qt_text.h"
#include "platform/files.h"
#include "platform/shown_paths.h"
#include "sources/source_messages.h"
#include "texts/text_table.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QStyle>

namespace app {
namespace {

constexpr int LineRelocatedText = 93;
// The background of a row that the destination volume refuses: a light orange that a selected
// row's highlight and the red text of a missing source both stay readable on.
const QColor VolumeProblemColor(255, 222, 190);

} // namespace

void TrackListModel::setColumnTitles(const QStringList& titles) {
    m_titles = titles;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void TrackListModel::setRows(std::vector<PreviewRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    m_sourceMissing.assign(m_rows.size(), -1);
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
    m_sourceMissing.assign(m_rows.size(), -1);
    endResetModel();
}

void TrackListModel::markVolumeProblems(const std::vector<std::pair<int, std::string>>& marks) {
    for (PreviewRow& row : m_rows) {
        row.VolumeProblems.clear();
    }
    for (const auto& [position, reasons] : marks) {
        if (position >= 0 && static_cast<size_t>(position) < m_rows.size()) {
            m_rows[static_cast<size_t>(position)].VolumeProblems = reasons;
        }
    }
    if (!m_rows.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    }
}

int TrackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TrackListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

bool TrackListModel::sourceMissing(size_t row) const {
    if (m_sourceMissing[row] < 0) {
        m_sourceMissing[row] = platform::fileExists(m_rows[row].OrigFileName) ? 0 : 1;
    }
    return m_sourceMissing[row] == 1;
}

QString TrackListModel::cellTip(size_t row, int column) const {
    const PreviewRow& entry = m_rows[row];
    if (column == SourceColumn && sourceMissing(row)) {
        return toQt(sources::MissingSourceText(entry.OrigFileName));
    }
    if (column == SourceColumn && !entry.RelocatedFrom.empty()) {
        return toQt(texts::FormatText(LineRelocatedText,
                                      {entry.RelocatedFrom, platform::shownPath(entry.OrigFileName)}));
    }
    return data(index(static_cast<int>(row), column), Qt::DisplayRole).toString();
}

// The volume's reasons lead, wherever the pointer rests on the row; the cell's own tip follows
// after a blank line, so that a clipped path can still be read whole.
QVariant TrackListModel::toolTip(size_t row, int column) const {
    const QString own = cellTip(row, column);
    const std::string& reasons = m_rows[row].VolumeProblems;
    if (reasons.empty()) {
        return own;
    }
    return own.isEmpty() ? toQt(reasons) : toQt(reasons) + QStringLiteral("\n\n") + own;
}

QIcon TrackListModel::warningIcon() const {
    if (m_warningIcon.isNull()) {
        m_warningIcon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    }
    return m_warningIcon;
}

QVariant TrackListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto row = static_cast<size_t>(index.row());
    if (role == Qt::ForegroundRole) {
        return sourceMissing(row) ? QVariant(QBrush(QColor(Qt::red))) : QVariant();
    }
    if (role == Qt::ToolTipRole) {
        return toolTip(row, index.column());
    }
    const bool refused = !m_rows[row].VolumeProblems.empty();
    if (role == Qt::BackgroundRole) {
        return refused ? QVariant(QBrush(VolumeProblemColor)) : QVariant();
    }
    if (role == Qt::DecorationRole) {
        return refused && index.column() == DescColumn ? QVariant(warningIcon()) : QVariant();
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const PreviewRow& entry = m_rows[row];
    switch (index.column()) {
    case DescColumn:
        return toQt(entry.Desc);
    case SourceColumn:
        return toQt(platform::shownPath(entry.OrigFileName));
    case DestColumn:
        return toQt(platform::shownPath(entry.FileName));
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
