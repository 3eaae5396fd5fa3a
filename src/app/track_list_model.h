// The rows of the preview list ListView1: a view over the window's plan::Preview, row i
// showing entry i of the track list, in the columns №, description, source (below the source's
// root), destination (below the destination folder), size, playing time and state. Nothing is
// copied per row: the view reads the rows it paints from the preview, so a list of 100,000
// entries fills at once.
//
// A row whose source file does not exist is drawn in red; a row with a state other than fine
// (a source found elsewhere, a file already at the destination, a name or size the destination
// volume refuses, a row past the limit) has a warm background and a warning sign before its
// description. Every cell's tool tip gives the row's reasons, a line each, then the cell's text in
// full; the path cells give the whole host path.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <string>
#include <vector>

namespace plan {
class Preview;
}

namespace app {

class TrackListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        DescColumn = 0,
        SourceColumn,
        DestColumn,
        SizeColumn,
        TimeColumn,
        StateColumn,
        NumberColumn, // shown first: the window moves its section to the front
        ColumnCount
    };

    explicit TrackListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // The preview the rows show (null: none), kept by the window for the model's life.
    void setPreview(const plan::Preview* preview);
    // The captions of the columns.
    void setColumnTitles(const QStringList& titles);
    // The preview has changed (built, cleared, rows removed, moved, sorted): one reset.
    void refresh();
    // The source of the entry at `row` (a program path); "" outside the list.
    std::string sourceAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Rows are dragged within the list: a drop says where (rowsDropped) and the window moves
    // the selected rows through the preview; the model itself never moves or removes a row.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

signals:
    // The dragged rows were dropped before the row at `before` (rowCount(): at the end).
    void rowsDropped(int before);

private:
    // What a painted row needs, read from the preview when it is painted. Only the rows painted
    // last are kept (a slot each, by the row's number), so a list of a million rows costs the
    // model no more than one screen of them.
    struct ShownRow {
        std::string desc;
        std::string source;
        std::string dest;
        int64_t size = -1;
        int seconds = -1; // playing time, -1 when unknown
        bool sourceMissing = false;
        bool marked = false;           // any state but fine
        std::string reasons;           // the preview's reasons, a line each
        std::string stateText;         // the state column
        std::string sourceTip;         // a missing or relocated source says so; else the path
        std::string destTip;           // the whole host path
        bool onlySourceStates = false; // the reasons say no more than sourceTip
    };
    struct ShownSlot {
        int row = -1; // the row whose texts the slot holds, -1 for none
        ShownRow shown;
    };
    static constexpr size_t ShownSlots = 1024;
    const ShownRow& shown(int row) const;
    QIcon warningIcon() const;

    const plan::Preview* m_preview = nullptr;
    int m_rowCount = 0;
    mutable std::vector<ShownSlot> m_shown = std::vector<ShownSlot>(ShownSlots);
    QStringList m_titles;
    mutable QIcon m_warningIcon; // made when first painted
};

} // namespace app
