#include "views/EntryGridModel.h"

namespace zp {

EntryGridModel::EntryGridModel(int columns, QObject* parent) : QAbstractTableModel(parent), columns_(columns) {}

int EntryGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int EntryGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant EntryGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(index.row(), index.column());
    case FixedCellRole:
        return isFixedCell(index.row(), index.column());
    default:
        return {};
    }
}

QString EntryGridModel::text(int row, int column) const
{
    if (row < 0 || row >= rows_.size() || column < 0 || column >= columns_)
        return {};
    const QStringList& cells = rows_[row];
    return column < cells.size() ? cells[column] : QString();
}

void EntryGridModel::setRows(QList<QStringList> rows)
{
    const int before = static_cast<int>(rows_.size());
    const int after = static_cast<int>(rows.size());
    if (after > before) {
        beginInsertRows(QModelIndex(), before, after - 1);
        rows_ = std::move(rows);
        endInsertRows();
    } else if (after < before) {
        beginRemoveRows(QModelIndex(), after, before - 1);
        rows_ = std::move(rows);
        endRemoveRows();
    } else {
        rows_ = std::move(rows);
    }
    // Rows that were there before may show other records now.
    const int kept = std::min(before, after);
    if (kept > 0)
        emit dataChanged(index(0, 0), index(kept - 1, columns_ - 1), {Qt::DisplayRole, Qt::EditRole});
}

void EntryGridModel::setText(int row, int column, const QString& text)
{
    if (row < 0 || row >= rows_.size() || column < 0 || column >= columns_)
        return;
    QStringList& cells = rows_[row];
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at, {Qt::DisplayRole, Qt::EditRole});
}

void EntryGridModel::setRow(int row, const QStringList& cells)
{
    if (row < 0 || row >= rows_.size())
        return;
    rows_[row] = cells;
    emit dataChanged(index(row, 0), index(row, columns_ - 1), {Qt::DisplayRole, Qt::EditRole});
}

} // namespace zp
