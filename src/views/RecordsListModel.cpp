#include "views/RecordsListModel.h"

#include <algorithm>

namespace zp {

RecordsListModel::RecordsListModel(QObject* parent) : QAbstractListModel(parent) {}

int RecordsListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rowCount_;
}

QVariant RecordsListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() != 0 || index.row() < 0 || index.row() >= rowCount_)
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

void RecordsListModel::setContent(const RecordStore& store, RecordsListContent content)
{
    beginResetModel();
    store_ = &store;
    layout_ = content.layout;
    order_ = content.order;
    rowCount_ = std::max(content.rowCount, 0);
    highlighted_ = std::move(content.highlighted);
    highlighted_.resize(static_cast<std::size_t>(rowCount_), false);
    endResetModel();
}

void RecordsListModel::clear()
{
    beginResetModel();
    store_ = nullptr;
    rowCount_ = 0;
    highlighted_.clear();
    endResetModel();
}

QString RecordsListModel::line(int row) const
{
    // The store may have shrunk since the rebuild: such rows show nothing.
    if (!store_ || row < 0 || row >= rowCount_ || row >= store_->recordCount())
        return {};
    return recordListLine(store_->record(row + 1), layout_, order_);
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
    if (first < highlighted_.size())
        emit dataChanged(index(static_cast<int>(first)), index(static_cast<int>(last)), {HighlightRole});
}

bool RecordsListModel::isHighlighted(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < highlighted_.size() && highlighted_[static_cast<std::size_t>(row)];
}

int RecordsListModel::highlightedCount() const
{
    return static_cast<int>(std::count(highlighted_.begin(), highlighted_.end(), true));
}

QItemSelection RecordsListModel::highlightSelection() const
{
    QItemSelection selection;
    const int n = static_cast<int>(highlighted_.size());
    int row = 0;
    while (row < n) {
        if (!highlighted_[static_cast<std::size_t>(row)]) {
            ++row;
            continue;
        }
        const int start = row;
        while (row < n && highlighted_[static_cast<std::size_t>(row)])
            ++row;
        selection.select(index(start), index(row - 1));
    }
    return selection;
}

} // namespace zp
