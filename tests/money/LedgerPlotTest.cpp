#include "money/LedgerPlot.h"
#include "money/MoneySum.h"
#include "plan/TextNumber.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord dated(const QString& date, const char* income, const char* expense)
{
    PlannerRecord r;
    r[Field::StartDate] = date;
    r[Field::Income] = QString::fromLatin1(income);
    r[Field::Expense] = QString::fromLatin1(expense);
    return r;
}

RecordStore plan(std::initializer_list<PlannerRecord> records)
{
    RecordStore store; // day first
    store.replaceAll(records);
    return store;
}

std::vector<double> withZeros(std::vector<double> start, std::size_t size)
{
    start.resize(size, 0.0);
    return start;
}

TEST(LedgerPlotTest, unitAndPointsFollowTheSpan)
{
    struct Case {
        long long days;
        PlotUnit unit;
        int points;
        const char* word;
    };
    const Case cases[] = {
        {1, PlotUnit::Days, 2, ""},           {2, PlotUnit::Days, 2, "Days)"},
        {59, PlotUnit::Days, 59, "Days)"},    {60, PlotUnit::Weeks, 9, "Weeks)"},
        {209, PlotUnit::Weeks, 30, "Weeks)"}, {210, PlotUnit::Months, 8, "Months)"},
        {899, PlotUnit::Months, 30, "Months)"}, {900, PlotUnit::Years, 3, "Years)"},
        {58399, PlotUnit::Years, 160, "Years)"}, {58400, PlotUnit::Years, 161, "Years)"},
        {583999, PlotUnit::Years, 1600, "Years)"},
    };
    for (const Case& c : cases) {
        const PlotScale s = plotScale(c.days);
        EXPECT_EQ(s.unit, c.unit) << c.days;
        EXPECT_EQ(s.points, c.points) << c.days;
        EXPECT_EQ(s.unitWord, c.word) << c.days;
    }
}

TEST(LedgerPlotTest, spanCountsTrueCalendarDays)
{
    const std::tuple<const char*, const char*, long long> cases[] = {
        {"01/03/2020", "20/03/2020", 20},
        {"01/01/2020", "01/01/2021", 367}, // across 29 February
        {"31/12/1999", "01/01/2000", 2},
        {"05/05/2005", "05/05/2005", 1},
    };
    for (const auto& [first, last, days] : cases) {
        const RecordStore store =
            plan({dated(QString::fromLatin1(first), "1", ""), dated(QString::fromLatin1(last), "1", "")});
        EXPECT_EQ(plotSpanDays(store), days) << first;
    }
}

TEST(LedgerPlotTest, pointsGroupRecordsByPeriod)
{
    struct Case {
        const char* name;
        std::vector<PlannerRecord> records;
        PlotShow show;
        QString xLabel;
        std::vector<double> set1;
        std::vector<double> set2;
    };
    const Case cases[] = {
        {"three days in March",
         {dated("01/03/2021", "10", "1"), dated("02/03/2021", "20", "2"), dated("20/03/2021", "30", "3")},
         PlotShow::Both,
         "Time ( 20Days)",
         withZeros({10, 20, 30}, 20),
         withZeros({1, 2, 3}, 20)},
        {"one day", {dated("07/12/2026", "5", "1"), dated("07/12/2026", "7", "2")}, PlotShow::Expense,
         "Time (1 Day)", {3, 0}, {}},
        {"five years",
         {dated("15/01/2001", "1", ""), dated("20/06/2001", "2", ""), dated("01/02/2003", "4", ""),
          dated("31/12/2005", "8", "")},
         PlotShow::Income,
         "Time ( 5Years)",
         {3, 4, 8, 0, 0},
         {}},
        // Ten weeks touched by a span of 60 days: no amount is dropped.
        {"weeks beyond the table",
         {dated("04/01/2020", "1", ""), dated("05/01/2020", "2", ""), dated("12/01/2020", "3", ""),
          dated("19/01/2020", "4", ""), dated("26/01/2020", "5", ""), dated("02/02/2020", "6", ""),
          dated("09/02/2020", "7", ""), dated("16/02/2020", "8", ""), dated("23/02/2020", "9", ""),
          dated("03/03/2020", "10", "")},
         PlotShow::Income,
         "Time ( 9Weeks)",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         {}},
        {"years beyond the table", {dated("01/01/1000", "1", ""), dated("01/01/1200", "2", "")}, PlotShow::Income,
         "Time ( 201Years)", withZeros({1, 2}, 201), {}},
    };
    for (const Case& c : cases) {
        RecordStore store;
        store.replaceAll(c.records);
        const LedgerPlot p = buildLedgerPlot(store, c.show);
        EXPECT_EQ(p.status, LedgerPlot::Status::Drawn) << c.name;
        EXPECT_EQ(p.xLabel, c.xLabel) << c.name;
        EXPECT_EQ(p.set1, c.set1) << c.name;
        EXPECT_EQ(p.set2, c.set2) << c.name;
        EXPECT_EQ(p.setCount, c.show == PlotShow::Both ? 2 : 1) << c.name;
        EXPECT_FALSE(p.yMaximum) << c.name;
    }
}

TEST(LedgerPlotTest, noneOrOneRecordGiveFixedCharts)
{
    const LedgerPlot empty = buildLedgerPlot(RecordStore(), PlotShow::Both);
    EXPECT_EQ(empty.xLabel, "Time (0 Days)");
    EXPECT_EQ(empty.set1, (std::vector<double>{0, 0}));
    EXPECT_EQ(empty.set2, (std::vector<double>{0, 0}));

    const std::tuple<const char*, const char*, PlotShow, double, double> cases[] = {
        {"50", "80", PlotShow::Both, 80, 50},  {"90", "80", PlotShow::Income, 90, 90},
        {"0", "0", PlotShow::Expense, 100, 0}, {"-5", "abc", PlotShow::Income, 100, -5},
        // Plotted with the value the ledger counts.
        {"1,250", "0,5", PlotShow::Income, 1250, 1250},
    };
    for (const auto& [income, expense, show, maximum, middle] : cases) {
        const LedgerPlot p = buildLedgerPlot(plan({dated("01/02/2003", income, expense)}), show);
        EXPECT_EQ(p.xLabel, "Time (1 Day)");
        EXPECT_EQ(p.yMaximum, maximum) << income;
        EXPECT_EQ(p.set1, (std::vector<double>{0, middle, 0})) << income;
        if (show == PlotShow::Both) {
            EXPECT_EQ(p.set2, (std::vector<double>{0, amountValue(QString::fromLatin1(expense)), 0}));
        }
    }
}

TEST(LedgerPlotTest, badDatesAmountsAndSpansAreRefused)
{
    using S = LedgerPlot::Status;
    const std::pair<RecordStore, S> cases[] = {
        {plan({dated("soon", "1", ""), dated("later", "1", "")}), S::NoData},
        {plan({dated("01/01/2000", "1", ""), dated("never", "1", ""), dated("02/01/2000", "1", "")}), S::NoData},
        {plan({dated("tomorrow", "1", "")}), S::NoData},
        {plan({dated("01/01/2000", "1e308", ""), dated("01/01/2000", "1e308", "")}), S::NoData},
        {plan({dated("01/01/0001", "1", ""), dated("31/12/9999", "1", "")}), S::TooManyPoints},
    };
    for (const auto& [store, status] : cases)
        EXPECT_EQ(buildLedgerPlot(store, PlotShow::Both).status, status);
}

TEST(LedgerPlotTest, printingDrawsLabelsAndBarsOncePerCopy)
{
    const LedgerPlot p =
        buildLedgerPlot(plan({dated("01/03/2021", "10", "4"), dated("02/03/2021", "20", "0")}), PlotShow::Both);
    for (bool lines : {false, true}) {
        RecordingPrinter printer;
        printer.copyCount = 2;
        EXPECT_TRUE(printLedgerPlot(p, {"Costs", "Time ( 2Days)", "$"}, lines, printer));
        EXPECT_EQ(printer.pages, 2);
        EXPECT_EQ(printer.endDocs, 1);
        for (const char* text : {"Costs", "Time ( 2Days)", "$", "20.00", "0.00"})
            EXPECT_NE(printer.find(QString::fromLatin1(text)), nullptr) << text;
        // Bars: three sides each for the three non-zero values; lines: one
        // segment per set, on each page.
        EXPECT_EQ(printer.lines.size(), lines ? 2u * (2 + 2) : 2u * (2 + 3 * 3));
    }
    RecordingPrinter failing;
    failing.failAfterSteps = 1;
    EXPECT_FALSE(printLedgerPlot(p, {"Costs", "", ""}, false, failing));
}

} // namespace
} // namespace zp
