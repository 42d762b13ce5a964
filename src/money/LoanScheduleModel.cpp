#include "money/LoanScheduleModel.h"

namespace zp {

void LoanScheduleModel::setSchedule(LoanFrequency frequency, std::vector<LoanRow> rows)
{
    beginResetModel();
    const auto headings = loanScheduleHeadings(frequency);
    rows_.clear();
    rows_.reserve(rows.size() + headings.size() + 1);
    rows_.insert(rows_.end(), headings.begin(), headings.end());
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    rows_.push_back(LoanRow{});
    endResetModel();
}

void LoanScheduleModel::clear()
{
    beginResetModel();
    rows_.assign(1, LoanRow{});
    endResetModel();
}

int LoanScheduleModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int LoanScheduleModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 6;
}

QVariant LoanScheduleModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= 6)
        return {};
    if (role == Qt::DisplayRole)
        return rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((index.column() == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    return {};
}

QVariant LoanScheduleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= 6)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((section == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    if (role != Qt::DisplayRole || rows_.size() < static_cast<std::size_t>(kLoanHeadingRows) + 1)
        return {};
    QStringList lines;
    for (int r = 0; r < kLoanHeadingRows; ++r)
        lines << rows_[static_cast<std::size_t>(r)][static_cast<std::size_t>(section)];
    return lines.join(QLatin1Char('\n'));
}

} // namespace zp
