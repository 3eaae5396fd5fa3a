// The rows of the preview list ListView1: one row per entry of the track list, row i showing
// entry i, in the three columns description, source and destination. A model over plain rows
// rather than one widget item per cell, so that a list of 100,000 entries fills at once and
// the view only ever reads the rows it paints.
//
// The rows keep program paths; the cells show host paths (platform/shown_paths.h). A row whose
// source file does not exist is drawn in red, with a tool tip that says so; a row whose
// playlist line was found elsewhere says in its source's tool tip where. Whether a source
// exists is asked when its row is first painted and remembered until the rows change. A row
// whose entry the destination volume will refuse as it is (too big, a name it refuses, a name
// that differs from another only in case) has a warm background and a warning sign in its first
// column, and its tool tips begin with the reasons.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <string>
#include <utility>
#include <vector>

namespace app {

struct PreviewRow {
    std::string Desc;                // "Описание"
    std::string OrigFileName;        // "Источник"
    std::string FileName;            // "Приемник"
    std::string RelocatedFrom = {};  // the playlist line found elsewhere, "" for the others
    std::string VolumeProblems = {}; // why the destination volume refuses it, a line each; "" if it does not
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
    // keeping their order and their marks: one reset of the view however many go.
    void removeRowsAt(const std::vector<int>& positions);
    // Marks the rows that the destination volume refuses, each with its reasons; every other
    // row loses its mark. Out-of-range positions are ignored.
    void markVolumeProblems(const std::vector<std::pair<int, std::string>>& marks);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // The cell's text for display and as its tool tip, so a clipped path can be read whole;
    // the marks of a missing or relocated source as above.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool sourceMissing(size_t row) const;
    QString cellTip(size_t row, int column) const;
    QVariant toolTip(size_t row, int column) const;
    QIcon warningIcon() const;

    std::vector<PreviewRow> m_rows;
    mutable std::vector<signed char> m_sourceMissing; // -1 not asked yet, else 0 or 1
    QStringList m_titles;
    mutable QIcon m_warningIcon; // made when first painted
};

} // namespace app
