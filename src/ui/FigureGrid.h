#pragma once
// How the money grids (the ledger, the loan schedule) show their figures so
// none is lost on the screen: headings that stay in view, columns as wide
// as their widest cell, the whole text of a cell that is still too narrow
// as its tooltip, and Ctrl+C for rows as tab-separated text.

#include <QStyledItemDelegate>

#include <functional>
#include <vector>

class QAction;
class QTableView;

namespace zp {

// The model's first `headingRows` rows are its headings. They stay in the
// model (the grid printer and Copy take them) but are shown in the grid's
// column header, which the model fills from them (headerData), so they stay
// in view while the rows scroll; the header's sections can be dragged wider.
void showHeadingRowsInHeader(QTableView& grid, int headingRows);

// The width, in pixels, each column needs for its widest text in the grid's
// font (its header too), with the cell's margins; `cell` gives the text of
// a row and column of the grid's model, without copying it.
using CellText = std::function<QStringView(int row, int column)>;
std::vector<int> widestCellWidths(const QTableView& grid, const CellText& cell);

// A cell whose text does not fit its column shows the whole text as its
// tooltip; one that fits shows none.
class FullTextTipDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

// "&Copy" (Ctrl+C) on the grid and its context menu, running `copy`: the
// key is taken before the view copies only its current cell.
QAction* addCopyRowsAction(QTableView& grid, const QString& objectName, std::function<void()> copy);

// The rows whose cells are selected, in order; empty when fewer than two
// rows are (one current cell is no choice of rows).
std::vector<int> selectedRows(const QTableView& grid);

} // namespace zp
