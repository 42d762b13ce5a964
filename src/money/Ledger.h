#pragma once
#include "plan/RecordStore.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace zp {

inline const QString kLedgerCaption = QStringLiteral("Zorvik Planner Ledger");
constexpr int kLedgerMinWidthTwips = 4716;
constexpr int kLedgerMinHeightTwips = 2832;
constexpr int kLedgerColumns = 5;

// An amount as the ledger shows it: the stored text in the "standard" money
// format ("1500" -> "1,500.00"; a text typed with thousands commas where
// they go, "1,250", is formatted too), a text with any other comma ("0,5")
// as typed, any other text unchanged, and " 0" when its numeric value is
// zero.
QString ledgerAmountText(QStringView stored);
inline QString ledgerAmountText(const QString& stored) { return ledgerAmountText(QStringView(stored)); }

// The ledger's rows, five cells each: the two heading rows and two empty
// rows, one row per record in stored order (start date, name, item,
// income, expense), then an empty row, "TOTAL", an empty row and "BALANCE".
// Totals and balance are exact decimal sums of the amounts' numeric values.
std::vector<QStringList> buildLedgerRows(const RecordStore& store);

// Rows as text: cells separated by tabs, each row ending with a line break
// (what --ledger prints and Copy puts on the clipboard).
QString ledgerRowsText(const std::vector<QStringList>& rows);

// Heading rows above the records (the "$" row included), and whether a
// column holds amounts (shown right-aligned).
constexpr int kLedgerHeadingRows = 2;
constexpr bool isLedgerAmountColumn(int column) { return column == 3 || column == 4; }

// Width of each of the five columns for a grid this wide, all in twips.
int ledgerColumnWidth(int gridWidthTwips);

} // namespace zp
