#pragma once
#include "views/RecordsList.h"

#include <QAbstractListModel>
#include <QItemSelection>
#include <vector>

namespace zp {

// The records list: row i - 1 shows the line of record i, with the keyword
// highlight of each row. Lines are not kept: a view asks only for the rows
// it shows, and each is made from the store when asked, so a full plan costs
// the list a bit per row instead of a copy of every line. A rebuild takes
// the layout, date order, row count and highlights in one model reset (give
// the view uniform item sizes: every line is one text line, and the view
// then never asks for every row).
class RecordsListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // data() answers true for a highlighted line; the view turns it into
    // the selected look.
    static constexpr int HighlightRole = Qt::UserRole + 1;

    explicit RecordsListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Shows the records of `store` as `content` says (one model reset).
    // The store must outlive the model or be followed by clear(); it may
    // change in between, and a row past its end then shows nothing until
    // the next rebuild. Highlights missing at the end count as not
    // highlighted; extra ones are dropped.
    void setContent(const RecordStore& store, RecordsListContent content);
    void clear();

    // Changes only the highlight; the rows stay, there is no reset, and
    // the rows whose highlight changed are reported as changed.
    void setHighlighted(std::vector<bool> highlighted);

    // The line row `row` shows now; empty outside the rows or the store.
    QString line(int row) const;
    bool isHighlighted(int row) const;
    int highlightedCount() const;

    // The highlighted rows as a selection of contiguous ranges, ready for a
    // view's selection model (one range per run, not one per row).
    QItemSelection highlightSelection() const;

private:
    const RecordStore* store_ = nullptr;
    LineLayout layout_ = LineLayout::StatusOnly;
    DateOrder order_ = DateOrder::DayFirst;
    int rowCount_ = 0;
    std::vector<bool> highlighted_; // always one per row
};

} // namespace zp
