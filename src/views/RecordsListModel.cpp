#include "views/RecordsListModel.h"

#include <algorithm>

namespace zp {

RecordsListModel::RecordsListModel(QObject* parent) : QAbstractListModel(parent) {}

int RecordsListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return shown_ ? static_cast<int>(shown_->size()) : rowCount_;
}

QVariant RecordsListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() != 0 || index.row() < 0 || index.row() >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        QString text = line(index.row());
        return text.isNull() ? QVariant() : QVariant(std::move(text));
    }
    case HighlightRole:
        return isHighlighted(index.row());
    default:
        return {};
    }
}

QHash<int, QByteArray> RecordsListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(HighlightRole, QByteArrayLiteral("highlighted"));
    return names;
}

void RecordsListModel::setContent(const RecordStore& store, RecordsListContent content,
                                  std::optional<std::vector<int>> shown)
{
    beginResetModel();
    store_ = &store;
    layout_ = content.layout;
    order_ = content.order;
    rowCount_ = std::max(content.rowCount, 0);
    highlighted_ = std::move(content.highlighted);
    highlighted_.resize(static_cast<std::size_t>(rowCount_), false);
    shown_ = std::move(shown);
    endResetModel();
}

void RecordsListModel::narrow(std::vector<int> records, RecordSearch search)
{
    beginResetModel();
    shown_ = std::move(records);
    marking_ = std::move(search);
    endResetModel();
}

void RecordsListModel::showAll()
{
    beginResetModel();
    shown_.reset();
    marking_ = RecordSearch();
    endResetModel();
}

int RecordsListModel::recordOfLine(int row) const
{
    row = std::max(row, 0);
    if (shown_ && static_cast<std::size_t>(row) < shown_->size())
        return (*shown_)[static_cast<std::size_t>(row)];
    return row + 1;
}

int RecordsListModel::lineOfRecord(int record) const
{
    if (!shown_)
        return record >= 1 && record <= rowCount_ ? record - 1 : -1;
    const auto at = std::lower_bound(shown_->begin(), shown_->end(), record);
    return at != shown_->end() && *at == record ? static_cast<int>(at - shown_->begin()) : -1;
}

std::vector<RecordSearch::Mark> RecordsListModel::findMarks(int row) const
{
    if (!shown_ || !store_ || row < 0 || row >= rowCount() || marking_.looksForNothing())
        return {};
    const int record = recordOfLine(row);
    if (record > store_->recordCount())
        return {};
    QString line;
    std::vector<LineSpan> spans;
    appendRecordListLine(line, store_->record(record), layout_, order_, &spans);
    return marking_.marks(line, spans);
}

void RecordsListModel::clear()
{
    beginResetModel();
    store_ = nullptr;
    rowCount_ = 0;
    highlighted_.clear();
    shown_.reset();
    endResetModel();
}

QString RecordsListModel::line(int row) const
{
    // The store may have shrunk since the rebuild: such rows show nothing.
    if (!store_ || row < 0 || row >= rowCount())
        return {};
    const int record = recordOfLine(row);
    if (record > store_->recordCount())
        return {};
    return recordListLine(store_->record(record), layout_, order_);
}

void RecordsListModel::setHighlighted(std::vector<bool> highlighted)
{
    highlighted.resize(highlighted_.size(), false);
    std::size_t first = highlighted.size();
    std::size_t last = 0;
    for (std::size_t i = 0; i < highlighted.size(); ++i) {
        if (highlighted[i] != highlighted_[i]) {
            first = std::min(first, i);
            last = i;
        }
    }
    highlighted_ = std::move(highlighted);
    if (first >= highlighted_.size())
        return;
    // Narrowed, the records that changed may lie on any rows.
    const int firstRow = shown_ ? 0 : static_cast<int>(first);
    const int lastRow = shown_ ? rowCount() - 1 : static_cast<int>(last);
    if (lastRow >= firstRow)
        emit dataChanged(index(firstRow), index(lastRow), {HighlightRole});
}

bool RecordsListModel::isHighlighted(int row) const
{
    if (row < 0 || row >= rowCount())
        return false;
    const auto record = static_cast<std::size_t>(recordOfLine(row));
    return record <= highlighted_.size() && highlighted_[record - 1];
}

int RecordsListModel::highlightedCount() const
{
    int count = 0;
    for (int row = 0; row < rowCount(); ++row)
        count += isHighlighted(row) ? 1 : 0;
    return count;
}

QItemSelection RecordsListModel::highlightSelection() const
{
    QItemSelection selection;
    const int n = rowCount();
    int row = 0;
    while (row < n) {
        if (!isHighlighted(row)) {
            ++row;
            continue;
        }
        const int start = row;
        while (row < n && isHighlighted(row))
            ++row;
        selection.select(index(start), index(row - 1));
    }
    return selection;
}

} // namespace zp
