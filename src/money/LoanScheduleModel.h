#pragma once
#include "money/Loan.h"

#include <QAbstractTableModel>

namespace zp {

// The schedule grid's rows: before a computation one empty row; after it
// the three heading rows, one row per repayment and the empty row below
// them. Filled in one go, so a 10,400-row schedule shows at once.
// Rows above the repayments that are headings (the empty row below them is not).
constexpr int kLoanHeadingRows = 2;

class LoanScheduleModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Headings and repayment rows; the empty trailing row is added here.
    void setSchedule(LoanFrequency frequency, std::vector<LoanRow> rows);
    void clear();
    // Every row shown, the trailing empty one too.
    const std::vector<LoanRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // Figures right-aligned, dates left.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The two heading rows, one line each, for a header that stays in view.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<LoanRow> rows_{LoanRow{}};
};

} // namespace zp
