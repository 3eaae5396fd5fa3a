// The rows of the preview list ListView1: one row per entry of the track list, row i showing
// entry i, in the three columns description, source and destination. A model over plain rows
// rather than one widget item per cell, so that a list of 100,000 entries fills at once and
// the view only ever reads the rows it paints.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <string>
#include <vector>

namespace app {

struct PreviewRow {
    std::string Desc;         // "Описание"
    std::string OrigFileName; // "Источник"
    std::string FileName;     // "Приемник"
};

class TrackListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { DescColumn = 0, SourceColumn = 1, DestColumn = 2, ColumnCount = 3 };

    explicit TrackListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // The captions of the three columns.
    void setColumnTitles(const QStringList& titles);
    // Replaces every row at once (one reset of the view).
    void setRows(std::vector<PreviewRow> rows);
    const std::vector<PreviewRow>& rows() const { return m_rows; }
    // Removes the rows at `positions` (ascending; out-of-range ones are ignored), the rest
    // keeping their order: one reset of the view however many go.
    void removeRowsAt(const std::vector<int>& positions);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // The cell's text for display and as its tool tip, so a clipped path can be read whole.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<PreviewRow> m_rows;
    QStringList m_titles;
};

} // namespace app
