#include "money/Ledger.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord money(const char* date, const char* name, const char* item, const char* income, const char* expense)
{
    PlannerRecord r;
    r[Field::StartDate] = QString::fromLatin1(date);
    r[Field::Name] = QString::fromLatin1(name);
    r[Field::Message] = QString::fromLatin1(item);
    r[Field::Income] = QString::fromLatin1(income);
    r[Field::Expense] = QString::fromLatin1(expense);
    return r;
}

QStringList row(std::initializer_list<const char*> cells)
{
    QStringList out;
    for (const char* c : cells)
        out << QString::fromUtf8(c);
    return out;
}

TEST(LedgerTest, emptyPlanShowsHeadingsAndZeroTotals)
{
    const RecordStore store;
    const std::vector<QStringList> expected = {
        row({"Date", "Name", "Item", "Income", "Expense"}), row({"", "", "", "$", "$"}), row({"", "", "", "", ""}),
        row({"", "", "", "", ""}),  row({"", "", "", "", ""}),  row({"TOTAL", "", "", "0.00", "0.00"}),
        row({"", "", "", "", ""}),  row({"BALANCE", "", "", "0.00", ""}),
    };
    EXPECT_EQ(buildLedgerRows(store), expected);
}

TEST(LedgerTest, recordsShowFormattedAmountsInStoredOrderAndExactTotals)
{
    struct Case {
        const char* income;
        const char* expense;
        const char* shownIncome;
        const char* shownExpense;
        const char* totalIncome;
        const char* totalExpense;
        const char* balance;
    };
    const Case cases[] = {
        {"1500", "", "1,500.00", " 0", "1,500.00", "0.00", "1,500.00"},
        // Commas where thousands separators go: shown and counted in full.
        {"1,250", "0", "1,250.00", " 0", "1,250.00", "0.00", "1,250.00"},
        {"12,345,678.90", "-1,234.50", "12,345,678.90", "-1,234.50", "12,345,678.90", "-1,234.50", "12,346,913.40"},
        {" +1,000 ", "", "1,000.00", " 0", "1,000.00", "0.00", "1,000.00"},
        // Any other comma: as typed, counted by the leading number.
        {"0,5", "1,00", "0,5", "1,00", "0.00", "1.00", "-1.00"},
        {"1234,567", "1,2345", "1234,567", "1,2345", "1,234.00", "1.00", "1,233.00"},
        {",250", "1,250,", ",250", "1,250,", "0.00", "1.00", "-1.00"},
        {"10", "25.5", "10.00", "25.50", "10.00", "25.50", "-15.50"},
        {"12abc", "-", "12abc", " 0", "12.00", "0.00", "12.00"},
        {"1e3", "nan", "1,000.00", " 0", "1,000.00", "0.00", "1,000.00"},
        {"abc", "0.001", " 0", " 0", "0.00", "0.00", "0.00"},
        {"-0.001", "", " 0", " 0", "0.00", "0.00", "0.00"},
    };
    for (const Case& c : cases) {
        RecordStore store;
        store.replaceAll({money("05/11/1996", "Smith", "Quote", c.income, c.expense)});
        const auto rows = buildLedgerRows(store);
        ASSERT_EQ(rows.size(), 9u) << c.income;
        EXPECT_EQ(rows[4], row({"05/11/1996", "Smith", "Quote", c.shownIncome, c.shownExpense})) << c.income;
        EXPECT_EQ(rows[6], row({"TOTAL", "", "", c.totalIncome, c.totalExpense})) << c.income;
        EXPECT_EQ(rows[8], row({"BALANCE", "", "", c.balance, ""})) << c.income;
    }
}

TEST(LedgerTest, totalsAreExactDecimalSumsOfTheTypedAmounts)
{
    struct Case {
        std::vector<std::pair<const char*, const char*>> amounts;
        const char* totalIncome;
        const char* balance;
    };
    const Case cases[] = {
        {{{"1.005", ""}, {"1.005", ""}}, "2.01", "2.01"},
        {{{"0.3", "0.1"}, {"", "0.2"}}, "0.30", "0.00"},
        {{{"1e308", ""}, {"1e308", "1e308"}}, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        RecordStore store;
        std::vector<PlannerRecord> records;
        for (const auto& [income, expense] : c.amounts)
            records.push_back(money("01/01/2000", "", "", income, expense));
        store.replaceAll(records);
        const auto rows = buildLedgerRows(store);
        const QStringList& total = rows[rows.size() - 3];
        const QStringList& balance = rows.back();
        if (c.totalIncome) {
            EXPECT_EQ(total[3], c.totalIncome);
            EXPECT_EQ(balance[3], c.balance);
        }
        for (const QStringList& r : rows) {
            for (const QString& cell : r) {
                EXPECT_FALSE(cell.contains("nan", Qt::CaseInsensitive)) << cell.toStdString();
                EXPECT_FALSE(cell.contains("inf", Qt::CaseInsensitive)) << cell.toStdString();
            }
        }
    }
    // Each cell of the first case shows its own rounding.
    RecordStore store;
    store.replaceAll({money("", "", "", "1.005", "")});
    EXPECT_EQ(buildLedgerRows(store)[4][3], "1.01");
}

TEST(LedgerTest, columnsShareTheGridOnceThereIsRoom)
{
    const std::pair<int, int> cases[] = {{5000, 1000}, {3999, 200}, {4000, 800}, {7777, 1555}};
    for (const auto& [grid, column] : cases)
        EXPECT_EQ(ledgerColumnWidth(grid), column) << grid;
}

} // namespace
} // namespace zp
