#include "money/Loan.h"
#include "money/LoanScheduleModel.h"

#include <QString>
#include <gtest/gtest.h>
#include <cmath>

namespace zp {
namespace {

TEST(LoanTest, normalisesEveryBoxToItsRangeOrDefault)
{
    struct Case {
        LoanField (*normalise)(QStringView);
        QString text;
        double value;
        const char* shown;
    };
    const QString longPaste(10000, QLatin1Char('9'));
    const Case cases[] = {
        {normaliseLoanAmount, "1200", 1200, " 1200"},
        {normaliseLoanAmount, "0", 1000000, "1000000"},
        {normaliseLoanAmount, "-5", 1000000, "1000000"},
        {normaliseLoanAmount, "2e12", 1000000, "1000000"},
        {normaliseLoanAmount, "1e12", 1e12, " 1000000000000"},
        {normaliseLoanAmount, "", 1000000, "1000000"},
        {normaliseLoanAmount, "1e400", 1000000, "1000000"},
        {normaliseLoanAmount, "nan", 1000000, "1000000"},
        {normaliseLoanAmount, longPaste, 1000000, "1000000"},
        {normaliseLoanAmount, "250.5 dollars", 250.5, " 250.5"},
        {normaliseLoanYears, "abc", 10, "10"},
        {normaliseLoanYears, "2.5", 2.5, " 2.5"},
        {normaliseLoanYears, "200", 200, " 200"},
        {normaliseLoanYears, "200.1", 10, "10"},
        {normaliseLoanRate, "12", 12, " 12"},
        {normaliseLoanRate, "0", 10, "10"},
        {normaliseLoanRate, "10001", 10, "10"},
        {normaliseLoanRate, "1e-20", 1e-20, " 1E-20"},
    };
    for (const Case& c : cases) {
        const LoanField f = c.normalise(c.text.left(40));
        EXPECT_EQ(f.value, c.value) << c.text.left(40).toStdString();
        EXPECT_EQ(f.text, QString::fromLatin1(c.shown)) << c.text.left(40).toStdString();
    }
    // The whole 10,000-digit paste too: far above the limit.
    EXPECT_EQ(normaliseLoanAmount(longPaste).text, QStringLiteral("1000000"));
}

TEST(LoanTest, frequencyFollowsTheFirstLetter)
{
    const std::pair<const char*, const char*> cases[] = {
        {"quarter", "Quarterly"}, {"Q", "Quarterly"}, {"x", "Monthly"}, {"", "Monthly"},
        {"weekly", "Weekly"},     {"F", "Fortnightly"}, {"month", "Monthly"}, {" w", "Monthly"},
    };
    for (const auto& [text, word] : cases)
        EXPECT_EQ(frequencyWord(frequencyFromText(QString::fromLatin1(text))), QString::fromLatin1(word)) << text;
}

TEST(LoanTest, knownLoansGiveTheirRepaymentsAndRowCounts)
{
    struct Case {
        LoanInputs in;
        double payment;
        int rows;
        float exponent;
    };
    const Case cases[] = {
        {{1200, 1, 12, LoanFrequency::Monthly}, 106.6185, 12, -12.0f},
        {{100000, 30, 4, LoanFrequency::Monthly}, 477.4153, 360, -360.0f},
        {{1200, 2.5, 12, LoanFrequency::Monthly}, 0, 30, -30.0f},
        {{1200, 0.1, 12, LoanFrequency::Weekly}, 0, 5, -5.2f},
        {{1000000, 200, 10, LoanFrequency::Weekly}, 0, 10400, -10400.0f},
        {{1000, 1, 8, LoanFrequency::Quarterly}, 262.6238, 4, -4.0f},
    };
    for (const Case& c : cases) {
        const LoanFigures f = computeLoanFigures(c.in);
        if (c.payment > 0) {
            EXPECT_NEAR(f.payment, c.payment, 0.01) << c.in.amount;
        }
        EXPECT_FLOAT_EQ(f.exponent, c.exponent);
        EXPECT_EQ(loanPeriodCount(c.in), c.rows);
        EXPECT_EQ(loanScheduleRows(c.in, f, QDate(2024, 1, 1), DateOrder::DayFirst).size(),
                  static_cast<std::size_t>(c.rows));
    }
}

TEST(LoanTest, summaryAndScheduleOfAOneYearLoan)
{
    const LoanInputs in{1200, 1, 12, LoanFrequency::Monthly};
    const LoanFigures f = computeLoanFigures(in);
    EXPECT_EQ(loanSummaryLines("01/01/24", f),
              (QStringList{"Info: ", "Repayment begin     = 01/01/24", "Annual repayment    = $ 1279",
                           "Total cash repaid   = $ 1279", "Total interest paid = $ 79"}));
    const auto rows = loanScheduleRows(in, f, QDate(2024, 1, 31), DateOrder::DayFirst);
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[0], (LoanRow{"29/02/2024", " 94", " 12", " 94", " 12", " 1105"}));
    EXPECT_EQ(rows[1][0], QStringLiteral("31/03/2024"));
    EXPECT_EQ(rows[11][0], QStringLiteral("31/01/2025"));
    EXPECT_EQ(rows[11][5], QStringLiteral(" 0"));
}

TEST(LoanTest, datesStepByTheFrequency)
{
    const QDate start(2023, 11, 30);
    const std::tuple<LoanFrequency, int, QDate> cases[] = {
        {LoanFrequency::Weekly, 1, QDate(2023, 12, 7)},      {LoanFrequency::Fortnightly, 3, QDate(2024, 1, 11)},
        {LoanFrequency::Monthly, 3, QDate(2024, 2, 29)},     {LoanFrequency::Monthly, 4, QDate(2024, 3, 30)},
        {LoanFrequency::Quarterly, 1, QDate(2024, 2, 29)},   {LoanFrequency::Quarterly, 5, QDate(2025, 2, 28)},
    };
    for (const auto& [frequency, k, expected] : cases)
        EXPECT_EQ(loanRepaymentDate(start, frequency, k), expected) << frequencyWord(frequency).toStdString() << k;
    EXPECT_EQ(loanDateText(QDate(2024, 2, 9), DateOrder::MonthFirst), QStringLiteral("02/09/2024"));
}

TEST(LoanTest, vanishingRateRepaysInEqualParts)
{
    for (double rate : {1e-20, 1e-300}) {
        const LoanInputs in{1200, 1, rate, LoanFrequency::Monthly};
        const LoanFigures f = computeLoanFigures(in);
        EXPECT_DOUBLE_EQ(f.payment, 100);
        const auto rows = loanScheduleRows(in, f, QDate(2024, 1, 1), DateOrder::DayFirst);
        EXPECT_EQ(rows.back()[5], QStringLiteral(" 0"));
        EXPECT_FALSE(loanSummaryLines("x", f).join("").contains("nan", Qt::CaseInsensitive));
    }
    // The largest rate over the longest period stays finite.
    const LoanFigures big = computeLoanFigures({1e12, 200, 10000, LoanFrequency::Weekly});
    EXPECT_TRUE(std::isfinite(big.payment));
}

TEST(LoanTest, startDateIsReadInTheDateOrder)
{
    EXPECT_EQ(loanStartDate("05/11/1996", DateOrder::DayFirst, 2024), QDate(1996, 11, 5));
    EXPECT_EQ(loanStartDate("05/11/96", DateOrder::MonthFirst, 2024), QDate(1996, 5, 11));
    EXPECT_FALSE(loanStartDate("tomorrow", DateOrder::DayFirst, 2024).isValid());
    EXPECT_FALSE(loanStartDate("", DateOrder::DayFirst, 2024).isValid());
    EXPECT_FALSE(loanStartDate("10:30", DateOrder::DayFirst, 2024).isValid());
    EXPECT_EQ(loanTodayText(QDate(2026, 12, 7), DateOrder::DayFirst), QStringLiteral("07/12/26"));
    EXPECT_EQ(loanTodayText(QDate(2026, 12, 7), DateOrder::MonthFirst), QStringLiteral("12/07/26"));
}

TEST(LoanTest, modelHoldsHeadingsRowsAndATrailingEmptyRow)
{
    LoanScheduleModel model;
    EXPECT_EQ(model.rowCount(), 1);
    model.setSchedule(LoanFrequency::Quarterly, {LoanRow{"a", "b", "c", "d", "e", "f"}});
    ASSERT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.columnCount(), 6);
    EXPECT_EQ(model.index(0, 2).data().toString(), QStringLiteral("Quarterly"));
    EXPECT_EQ(model.index(1, 1).data().toString(), QStringLiteral("Paid $"));
    EXPECT_EQ(model.index(3, 5).data().toString(), QStringLiteral("f"));
    EXPECT_EQ(model.index(4, 0).data().toString(), QString());
    EXPECT_EQ(loanRowsText({LoanRow{"a", "b", "c", "d", "e", "f"}}), QStringLiteral("a\tb\tc\td\te\tf\n"));
    model.clear();
    EXPECT_EQ(model.rowCount(), 1);
}

} // namespace
} // namespace zp
