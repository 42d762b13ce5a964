#pragma once
#include "views/RecordsList.h"

#include <QAbstractListModel>
#include <QItemSelection>
#include <QStringList>
#include <vector>

namespace zp {

// The lines of the records list, line i - 1 for record i, with the keyword
// highlight of each line. A rebuild replaces all lines with one model reset,
// so a view over it stays fast on a full plan (give the view uniform item
// sizes: every line is one text line).
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

    // Replaces every line (one model reset). Highlights missing at the end
    // of `highlighted` count as not highlighted; extra ones are dropped.
    void setLines(QStringList lines, std::vector<bool> highlighted = {});
    void setContent(RecordsListContent content);
    void clear() { setLines({}); }

    // Changes only the highlight; the lines stay, there is no reset, and
    // the rows whose highlight changed are reported as changed.
    void setHighlighted(std::vector<bool> highlighted);

    const QStringList& lines() const { return lines_; }
    bool isHighlighted(int row) const;
    int highlightedCount() const;

    // The highlighted rows as a selection of contiguous ranges, ready for a
    // view's selection model (one range per run, not one per row).
    QItemSelection highlightSelection() const;

private:
    QStringList lines_;
    std::vector<bool> highlighted_; // always one per line
};

} // namespace zp
