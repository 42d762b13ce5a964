#include "money/Ledger.h"

#include "money/MoneySum.h"
#include "plan/TextNumber.h"

namespace zp {

QString ledgerAmountText(QStringView stored)
{
    // A comma that is not a thousands separator ("0,5") leaves the amount
    // as typed: showing it as 5.00 while it counts 0 would be a lie.
    if (stored.contains(u',') && !isThousandsGrouped(stored))
        return stored.toString();
    const QString shown = standardFormat(countedAmountText(stored));
    if (textValue(shown) == 0.0)
        return QStringLiteral(" 0");
    return shown;
}

std::vector<QStringList> buildLedgerRows(const RecordStore& store)
{
    const int count = store.recordCount();
    std::vector<QStringList> rows;
    rows.reserve(static_cast<std::size_t>(count) + 8);
    const QStringList empty(kLedgerColumns, QString());
    rows.push_back({QStringLiteral("Date"), QStringLiteral("Name"), QStringLiteral("Item"), QStringLiteral("Income"),
                    QStringLiteral("Expense")});
    rows.push_back({QString(), QString(), QString(), QStringLiteral("$"), QStringLiteral("$")});
    rows.push_back(empty);
    rows.push_back(empty);

    MoneySum income, expense;
    for (int i = 1; i <= count; ++i) {
        const RecordView r = store.record(i);
        rows.push_back({r.string(Field::StartDate), r.string(Field::Name), r.string(Field::Message),
                        ledgerAmountText(r[Field::Income]), ledgerAmountText(r[Field::Expense])});
        income.add(r[Field::Income]);
        expense.add(r[Field::Expense]);
    }
    MoneySum balance = income;
    balance.subtract(expense);

    rows.push_back(empty);
    rows.push_back({QStringLiteral("TOTAL"), QString(), QString(), income.standardText(), expense.standardText()});
    rows.push_back(empty);
    rows.push_back({QStringLiteral("BALANCE"), QString(), QString(), balance.standardText(), QString()});
    return rows;
}

QString ledgerRowsText(const std::vector<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        text += row.join(QLatin1Char('\t'));
        text += QLatin1Char('\n');
    }
    return text;
}

int ledgerColumnWidth(int gridWidthTwips)
{
    if (gridWidthTwips / 4.0 < 1000)
        return 200;
    return gridWidthTwips / kLedgerColumns;
}

} // namespace zp
