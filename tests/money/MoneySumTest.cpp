#include "money/MoneySum.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace zp {
namespace {

MoneySum sumOf(const QStringList& amounts)
{
    MoneySum sum;
    for (const QString& a : amounts) {
        if (a.startsWith(QLatin1Char('~')))
            sum.subtract(QStringView(a).mid(1));
        else
            sum.add(a);
    }
    return sum;
}

TEST(MoneySumTest, commasCountOnlyWhereThousandsSeparatorsGo)
{
    struct Case {
        const char* typed;
        bool grouped;
        double value;
    };
    const Case cases[] = {
        {"1,250", true, 1250},           {"12,345,678.90", true, 12345678.9}, {"-1,234.50", true, -1234.5},
        {" 999,999. ", true, 999999},    {"0,5", false, 0},                    {"1,00", false, 1},
        {"1234,567", false, 1234},       {"1,2345", false, 1},                 {"1,250,", false, 1},
        {",250", false, 0},              {"1,,250", false, 1},                 {"1,250.5,0", false, 1},
        {"1,250 apples", false, 1},      {"1500", false, 1500},                {"", false, 0},
    };
    for (const Case& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        EXPECT_EQ(isThousandsGrouped(typed), c.grouped) << c.typed;
        EXPECT_DOUBLE_EQ(amountValue(typed), c.value) << c.typed;
        MoneySum sum;
        sum.add(typed);
        EXPECT_DOUBLE_EQ(sum.toDouble(), c.value) << c.typed;
    }
}

TEST(MoneySumTest, sumsTheTypedDigitsExactly)
{
    struct Case {
        QStringList amounts; // "~x" subtracts x
        const char* standard;
        const char* decimal;
    };
    const Case cases[] = {
        {{}, "0.00", "0"},
        {{"1.005", "1.005"}, "2.01", "2.01"},
        {{"0.3", "~0.1", "~0.2"}, "0.00", "0"},
        {{"0.1", "0.2"}, "0.30", "0.3"},
        {{"-0.004"}, "0.00", "-0.004"},             // rounds to zero: no minus sign
        {{"-0.005"}, "-0.01", "-0.005"},            // half away from zero
        {{"2.675"}, "2.68", "2.675"},
        {{"1500", ""}, "1,500.00", "1500"},
        {{"1,250"}, "1,250.00", "1250"},            // thousands separators where they go
        {{"0,5"}, "0.00", "0"},                     // any other comma ends the number
        {{"120 dollars", "~20"}, "100.00", "100"},
        {{"12abc", "abc", "-", ".", "nan"}, "12.00", "12"},
        {{"  -3.5"}, "-3.50", "-3.5"},
        {{"1e3", "+2E-2"}, "1,000.02", "1000.02"},
        {{"5.", ".5"}, "5.50", "5.5"},
        {{"999.995"}, "1,000.00", "999.995"},
        {{"1234567.891"}, "1,234,567.89", "1234567.891"},
        {{"20", "~120"}, "-100.00", "-100"},
    };
    for (const Case& c : cases) {
        const MoneySum sum = sumOf(c.amounts);
        EXPECT_TRUE(sum.isExact()) << c.amounts.join(u'|').toStdString();
        EXPECT_EQ(sum.standardText(), QString::fromLatin1(c.standard)) << c.amounts.join(u'|').toStdString();
        EXPECT_EQ(sum.decimalText(), QString::fromLatin1(c.decimal)) << c.amounts.join(u'|').toStdString();
    }
}

TEST(MoneySumTest, hugeAndTinyAmountsStayExactWithinTheRangeAndFallBackBeyondIt)
{
    MoneySum big = sumOf({"1e308", "1e308", "1e-300"});
    EXPECT_TRUE(big.isExact());
    EXPECT_TRUE(big.decimalText().startsWith(QLatin1String("2000")));
    EXPECT_TRUE(big.decimalText().endsWith(QLatin1String("0001")));
    EXPECT_EQ(big.standardText().size(), 309 + 102 + 3); // digits, commas, ".00"

    MoneySum beyond = sumOf({"5", "1e999999", "~1e999999", "7"});
    EXPECT_FALSE(beyond.isExact());
    EXPECT_NO_FATAL_FAILURE((void)beyond.standardText());

    MoneySum tiny = sumOf({"2", "1e-500"});
    EXPECT_FALSE(tiny.isExact());
    EXPECT_EQ(tiny.standardText(), "2.00");
}

TEST(MoneySumTest, sumsCombineAndGiveTheirSign)
{
    MoneySum income = sumOf({"0.1", "0.2"});
    const MoneySum expense = sumOf({"0.3"});
    MoneySum balance = income;
    balance.subtract(expense);
    EXPECT_TRUE(balance.isZero());
    EXPECT_FALSE(balance.isNegative());
    balance.subtract(sumOf({"0.01"}));
    EXPECT_TRUE(balance.isNegative());
    EXPECT_EQ(balance.standardText(), "-0.01");
    income.add(expense);
    EXPECT_EQ(income.decimalText(), "0.6");
    EXPECT_DOUBLE_EQ(income.toDouble(), 0.6);
}

} // namespace
} // namespace zp
