#pragma once
#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace zp {

// The cells of the entry grid: row 0 the print switches, row 1 the column
// captions, then one row per record; column 0 the record number. The whole
// content comes from entryGridRows and is replaced in one go; single cells
// change after a commit or a double-click.
//
// A replacement adds or removes rows at the end and reports the rest as
// changed instead of resetting the model, so a view keeps its column widths
// and current cell, and a full plan of 32767 records fills quickly.
class EntryGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Rows 0 and 1 and column 0 are the grid's fixed cells.
    static constexpr int kFixedRows = 2;
    // data() answers true for a fixed cell; the view draws it as a heading.
    static constexpr int FixedCellRole = Qt::UserRole + 1;

    explicit EntryGridModel(int columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Replaces every row. Rows shorter than the column count show empty
    // cells; longer ones are cut.
    void setRows(QList<QStringList> rows);
    // The text of a cell; empty outside the grid.
    QString text(int row, int column) const;
    // Changes one cell; ignored outside the grid.
    void setText(int row, int column, const QString& text);
    // Changes one row; ignored outside the grid.
    void setRow(int row, const QStringList& cells);

    static bool isFixedCell(int row, int column) { return row < kFixedRows || column == 0; }

private:
    int columns_;
    QList<QStringList> rows_;
};

} // namespace zp
