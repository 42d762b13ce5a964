#include "plan/TextNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zp {
namespace {

TEST(TextValue, readsLeadingNumericPart)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"12abc", 12},   {" 7", 7},       {"1e3", 1000},   {"-3.5x", -3.5},   {"abc", 0},
        {"", 0},         {".", 0},        {"+5", 5},       {"  -3.5", -3.5},  {".5", 0.5},
        {"5.", 5},       {"-.25", -0.25}, {"1.5E-2", 0.015}, {"2e", 2},       {"2e+", 2},
        {"3e-x", 3},     {"-", 0},        {"+-5", 0},      {"1,234.50", 1},   {"\t42", 42},
        {"12 34", 12},   {"007", 7},      {"$12", 0},      {"1.2.3", 1.2},    {"0.1", 0.1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(textValue(QString::fromLatin1(c.text)), c.value);
    }
}

TEST(TextValue, hugeExponentOverflowsToInfinityAndTinyToZero)
{
    EXPECT_EQ(textValue(u"1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(textValue(u"-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(textValue(u"1e-999"), 0.0);
    EXPECT_EQ(textValue(u"0.000001e-999"), 0.0);
}

TEST(PlainNumber, shortestTextWithBlankUnlessNegative)
{
    const struct {
        double value;
        const char* plain;
    } cases[] = {
        {7, " 7"},
        {0, " 0"},
        {-0.0, " 0"},
        {0.1, " 0.1"},
        {-2.5, "-2.5"},
        {1234567, " 1234567"},
        {0.1 + 0.2, " 0.3"},             // cut to 15 significant digits
        {1.0 / 3.0, " 0.333333333333333"},
        {123456789012345.0, " 123456789012345"},
        {1e15, " 1E+15"},                // exponent form from 16 digits on
        {1e20, " 1E+20"},
        {-1.5e20, "-1.5E+20"},
        {0.0001, " 0.0001"},
        {0.00001, " 1E-05"},
        {2.5e-7, " 2.5E-07"},
        {1e300, " 1E+300"},
        {999999999999999.9, " 1E+15"},   // rounding to 15 digits carries into the exponent
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plain);
        EXPECT_EQ(plainNumber(c.value), QString::fromLatin1(c.plain));
        const QString bare = QString::fromLatin1(c.plain).trimmed();
        EXPECT_EQ(bareNumber(c.value), bare);
    }
}

TEST(PlainNumber, readsBackThroughTextValue)
{
    for (double v : {7.0, -2.5, 0.1, 1e20, 2.5e-7, 123.456, -98765.4321}) {
        SCOPED_TRACE(v);
        EXPECT_DOUBLE_EQ(textValue(plainNumber(v)), v);
    }
}

TEST(GroupedAmountText, commasEveryThreeDigitsFromThePoint)
{
    const struct { bool minus; const char* whole; const char* text; } cases[] = {
        {false, "0", "0.05"},          {false, "999", "999.05"},         {false, "1000", "1,000.05"},
        {true, "123456", "-123,456.05"}, {false, "1234567", "1,234,567.05"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(groupedAmountText(c.minus, c.whole, "05"), QString::fromLatin1(c.text)) << c.whole;
}

TEST(StandardFormat, numericTextsGetSeparatorsAndTwoDecimals)
{
    const struct {
        const char* text;
        const char* formatted;
    } cases[] = {
        {"1234.5", "1,234.50"},
        {"12.5", "12.50"},
        {" -1234567.891", "-1,234,567.89"},
        {"0", "0.00"},
        {"999", "999.00"},
        {"1000", "1,000.00"},
        {"123456", "123,456.00"},
        {"+5", "5.00"},
        {".5", "0.50"},
        {"5.", "5.00"},
        {"1e3", "1,000.00"},
        {" 7 ", "7.00"},
        {"2.675", "2.68"},          // halves round away from zero on the decimal digits
        {"-2.675", "-2.68"},
        {"0.005", "0.01"},
        {"0.004", "0.00"},
        {"-0.001", "0.00"},         // no minus sign on a zero
        {"999.995", "1,000.00"},    // the carry reaches a new group
        {"1E+20", "100,000,000,000,000,000,000.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(standardFormat(QString::fromLatin1(c.text)), QString::fromLatin1(c.formatted));
    }
}

TEST(StandardFormat, nonNumericTextsComeBackUnchanged)
{
    for (const char* text : {"abc", "", "   ", "12 apples", "1,234.50", "$12", "-", ".", "1e999", "12-"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(standardFormat(QString::fromLatin1(text)), QString::fromLatin1(text));
    }
}

TEST(StandardFormat, doubleAgreesWithItsPlainText)
{
    for (double v : {0.0, 12.5, -1234.5, 0.1 + 0.2, 1e20, 2.675, -0.004}) {
        SCOPED_TRACE(v);
        EXPECT_EQ(standardFormat(v), standardFormat(plainNumber(v)));
    }
    EXPECT_EQ(standardFormat(-1234567.891), QStringLiteral("-1,234,567.89"));
}

} // namespace
} // namespace zp
