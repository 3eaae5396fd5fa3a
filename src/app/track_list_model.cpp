#include "app/track_list_model.h"

#include "app/qt_text.h"
#include "plan/preview.h"
#include "platform/shown_paths.h"
#include "sources/source_messages.h"
#include "texts/size_text.h"
#include "texts/text_table.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QMimeData>
#include <QStyle>

#include <algorithm>

namespace app {
namespace {

// The background of a row with a state: a light orange that a selected row's highlight and the
// red text of a missing source both stay readable on.
const QColor MarkedRowColor(255, 222, 190);
constexpr int LineRelocatedText = 93;

} // namespace

void TrackListModel::setPreview(const plan::Preview* preview) {
    m_preview = preview;
    refresh();
}

void TrackListModel::setColumnTitles(const QStringList& titles) {
    m_titles = titles;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void TrackListModel::refresh() {
    beginResetModel();
    m_rowCount = m_preview != nullptr ? m_preview->rowCount() : 0;
    m_shown.assign(ShownSlots, ShownSlot{});
    endResetModel();
}

std::string TrackListModel::sourceAt(int row) const {
    return row >= 0 && row < rowCount() ? m_preview->entry(row).OrigFileName : std::string();
}

const TrackListModel::ShownRow& TrackListModel::shown(int row) const {
    ShownSlot& slot = m_shown[static_cast<size_t>(row) % ShownSlots];
    if (slot.row != row) {
        const store::TrackEntry entry = m_preview->entry(row);
        const std::vector<plan::RowState> states = m_preview->states(row);
        slot.row = row;
        ShownRow& shown = slot.shown;
        shown.desc = entry.Desc;
        shown.source = m_preview->sourceShown(row);
        shown.dest = m_preview->destShown(row);
        shown.destTip = platform::shownPath(entry.FileName);
        const std::string sourceFull = platform::shownPath(entry.OrigFileName);
        // A converted row shows the size it is expected to take once converted.
        shown.size = m_preview->plannedBytes(row);
        shown.seconds = entry.Len && *entry.Len > 0 ? *entry.Len : -1;
        shown.sourceMissing =
            std::find(states.begin(), states.end(), plan::RowState::SourceMissing) != states.end();
        // A conversion is what the person asked for: a note in the state column, not a mark.
        shown.marked = std::any_of(states.begin(), states.end(), [](plan::RowState state) {
            return state != plan::RowState::Ok && state != plan::RowState::Converted;
        });
        shown.onlySourceStates = std::all_of(states.begin(), states.end(), [](plan::RowState state) {
            return state == plan::RowState::SourceMissing || state == plan::RowState::Relocated;
        });
        shown.reasons = m_preview->reasons(row);
        shown.stateText = m_preview->stateText(row);
        const std::string relocatedLine = m_preview->relocatedLine(row);
        shown.sourceTip = shown.sourceMissing ? sources::missingSourceText(entry.OrigFileName)
                          : relocatedLine.empty()
                              ? sourceFull
                              : texts::FormatText(LineRelocatedText, {relocatedLine, sourceFull});
    }
    return slot.shown;
}

int TrackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

int TrackListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
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
    const ShownRow& row = shown(index.row());
    QString text;
    switch (index.column()) {
    case NumberColumn:
        text = QString::number(index.row() + 1);
        break;
    case DescColumn:
        text = toQt(row.desc);
        break;
    case SourceColumn:
        text = toQt(row.source);
        break;
    case DestColumn:
        text = toQt(row.dest);
        break;
    case SizeColumn:
        text = row.size >= 0 && !row.sourceMissing ? toQt(texts::SizeText(row.size)) : QString();
        break;
    case TimeColumn:
        text = toQt(plan::playingTimeText(row.seconds));
        break;
    case StateColumn:
        text = toQt(row.stateText);
        break;
    default:
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return text;
    case Qt::ToolTipRole:
        // The reasons lead wherever the pointer rests on the row; the cell's own text follows
        // after a blank line.
        if (index.column() == SourceColumn) {
            text = toQt(row.sourceTip);
            if (row.onlySourceStates) {
                return text;
            }
        } else if (index.column() == DestColumn) {
            text = toQt(row.destTip);
        }
        if (row.reasons.empty() || index.column() == StateColumn || index.column() == NumberColumn) {
            return row.reasons.empty() ? text : toQt(row.reasons);
        }
        return text.isEmpty() ? toQt(row.reasons) : toQt(row.reasons) + QStringLiteral("\n\n") + text;
    case Qt::ForegroundRole:
        return row.sourceMissing ? QVariant(QBrush(QColor(Qt::red))) : QVariant();
    case Qt::BackgroundRole:
        return row.marked ? QVariant(QBrush(MarkedRowColor)) : QVariant();
    case Qt::DecorationRole:
        return row.marked && index.column() == DescColumn ? QVariant(warningIcon()) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == NumberColumn || index.column() == SizeColumn || index.column() == TimeColumn
                   ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                   : QVariant();
    default:
        return {};
    }
}

namespace {

const QString RowsMimeType = QStringLiteral("application/x-tunewagon-preview-rows");

} // namespace

Qt::ItemFlags TrackListModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled;
    return index.isValid() ? flags | Qt::ItemIsDragEnabled : flags;
}

QStringList TrackListModel::mimeTypes() const {
    return {RowsMimeType};
}

QMimeData* TrackListModel::mimeData(const QModelIndexList& indexes) const {
    auto* data = new QMimeData;
    data->setData(RowsMimeType, QByteArray::number(static_cast<qsizetype>(indexes.size())));
    return data;
}

// A drop on a row lands before it; a drop between rows gives its row; a drop below the rows,
// at the end.
bool TrackListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                  const QModelIndex& parent) {
    if (data == nullptr || !data->hasFormat(RowsMimeType) || action != Qt::MoveAction) {
        return false;
    }
    const int before = row >= 0 ? row : parent.isValid() ? parent.row() : rowCount();
    emit rowsDropped(before);
    // The preview has moved the rows; nothing is left for the view to remove.
    return false;
}

QVariant TrackListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_titles.size()) {
        return {};
    }
    return m_titles[section];
}

} // namespace app
