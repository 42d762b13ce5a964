#pragma once
#include "views/RecordSearch.h"
#include "views/RecordsList.h"

#include <QAbstractListModel>
#include <QItemSelection>
#include <optional>
#include <vector>

namespace zp {

// The records list: row i - 1 shows the line of record i, with the keyword
// highlight of each row; while Find narrows it, the rows show the records
// found. Lines are not kept: a view asks only for the rows it shows, and each is made from the store when asked, so a full plan costs
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
    // With `shown`, the list is narrowed to those records (in store order)
    // at once, the marks of the find text left as they were.
    void setContent(const RecordStore& store, RecordsListContent content,
                    std::optional<std::vector<int>> shown = std::nullopt);
    void clear();

    // Changes only the highlight (one per record); the rows stay, there is
    // no reset, and the rows whose highlight changed are reported as changed.
    void setHighlighted(std::vector<bool> highlighted);

    // Find: shows only `records` (in store order), marking where `search`
    // occurs in their lines; showAll() brings every record back. Either is
    // one model reset.
    void narrow(std::vector<int> records, RecordSearch search);
    void showAll();
    bool isNarrowed() const { return shown_.has_value(); }
    // The record (1 ... ) a row shows; a row before the first counts as the
    // first, and outside a narrowed list a row counts as record row + 1.
    int recordOfLine(int row) const;
    // The row showing a record; -1 when no row does.
    int lineOfRecord(int record) const;
    // Where the find text occurs in the line of a row (none when the list
    // is not narrowed).
    std::vector<RecordSearch::Mark> findMarks(int row) const;

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
    std::vector<bool> highlighted_; // always one per record
    std::optional<std::vector<int>> shown_; // while narrowed
    RecordSearch marking_;
};

} // namespace zp
