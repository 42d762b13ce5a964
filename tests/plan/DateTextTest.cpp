#include "plan/DateText.h"

#include <gtest/gtest.h>

#include <chrono>

namespace zp {
namespace {

using namespace std::chrono;
using enum DateOrder;

year_month_day ymd(int y, unsigned m, unsigned d) { return year_month_day{year{y}, month{m}, day{d}}; }

// The parsed date as y/m/d, or nothing.
std::optional<year_month_day> dateOf(const char* text, DateOrder order,
                                     std::optional<year> currentYear = std::nullopt)
{
    const auto value = parseDateTime(QString::fromLatin1(text), order, currentYear);
    if (!value || !value->hasDate)
        return std::nullopt;
    return value->date;
}

TEST(ParseDateTime, readsNumericDatesInEitherOrder)
{
    const struct {
        const char* text;
        DateOrder order;
        year_month_day expected;
    } cases[] = {
        {"6/9/94", DayFirst, ymd(1994, 9, 6)},
        {"6/9/94", MonthFirst, ymd(1994, 6, 9)},
        {"05/11/1996", DayFirst, ymd(1996, 11, 5)},
        {"05/11/1996", MonthFirst, ymd(1996, 5, 11)},
        {"5-11-1996", DayFirst, ymd(1996, 11, 5)},
        {"5.11.1996", DayFirst, ymd(1996, 11, 5)},
        {" 5 / 11 / 1996 ", DayFirst, ymd(1996, 11, 5)},
        {"1/1/00", DayFirst, ymd(2000, 1, 1)},
        {"1/1/29", DayFirst, ymd(2029, 1, 1)},
        {"1/1/30", DayFirst, ymd(1930, 1, 1)},
        {"1/1/99", DayFirst, ymd(1999, 1, 1)},
        {"1/1/5", DayFirst, ymd(2005, 1, 1)},
        {"31/12/0100", DayFirst, ymd(100, 12, 31)},
        {"31/12/9999", DayFirst, ymd(9999, 12, 31)},
        {"1996-11-05", MonthFirst, ymd(1996, 11, 5)}, // a four-digit year first is year-month-day
        {"1996/11/05", DayFirst, ymd(1996, 11, 5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(dateOf(c.text, c.order), c.expected);
    }
}

TEST(ParseDateTime, impossibleDateInOneOrderIsTakenInTheOther)
{
    EXPECT_EQ(dateOf("13/02/1996", MonthFirst), ymd(1996, 2, 13));
    EXPECT_EQ(dateOf("02/13/1996", DayFirst), ymd(1996, 2, 13));
    EXPECT_EQ(dateOf("31/12/96", MonthFirst), ymd(1996, 12, 31));
    // Month 30 read day first, 30 February the other way: no date at all.
    EXPECT_EQ(dateOf("2/30/1996", DayFirst), std::nullopt);
}

TEST(ParseDateTime, leapDaysFollowTheCalendar)
{
    for (DateOrder order : {DayFirst, MonthFirst}) {
        EXPECT_EQ(dateOf("29/02/1996", order), ymd(1996, 2, 29));
        EXPECT_EQ(dateOf("02/29/1996", order), ymd(1996, 2, 29));
        EXPECT_EQ(dateOf("29/02/1997", order), std::nullopt);
        EXPECT_EQ(dateOf("29/02/2000", order), ymd(2000, 2, 29));
        EXPECT_EQ(dateOf("29/02/1900", order), std::nullopt);
    }
}

TEST(ParseDateTime, readsEnglishMonthNames)
{
    const struct {
        const char* text;
        year_month_day expected;
    } cases[] = {
        {"5 Nov 1996", ymd(1996, 11, 5)},
        {"5 november 1996", ymd(1996, 11, 5)},
        {"November 5, 1996", ymd(1996, 11, 5)},
        {"Nov. 5, 1996", ymd(1996, 11, 5)},
        {"5-NOV-96", ymd(1996, 11, 5)},
        {"sep 30 1930", ymd(1930, 9, 30)},
        {"1 May 2000", ymd(2000, 5, 1)},
        {"29 Feb 1996", ymd(1996, 2, 29)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        // An explicit month leaves no room for the order.
        EXPECT_EQ(dateOf(c.text, DayFirst), c.expected);
        EXPECT_EQ(dateOf(c.text, MonthFirst), c.expected);
    }
    EXPECT_EQ(dateOf("Novem 5 1996", DayFirst), std::nullopt);
    EXPECT_EQ(dateOf("31 Nov 1996", DayFirst), std::nullopt);
}

TEST(ParseDateTime, dateWithoutYearNeedsTheCurrentYear)
{
    EXPECT_EQ(dateOf("6/9", DayFirst), std::nullopt);
    EXPECT_EQ(dateOf("6/9", DayFirst, year{2001}), ymd(2001, 9, 6));
    EXPECT_EQ(dateOf("6/9", MonthFirst, year{2001}), ymd(2001, 6, 9));
    EXPECT_EQ(dateOf("13/2", MonthFirst, year{2001}), ymd(2001, 2, 13));
    EXPECT_EQ(dateOf("5 Nov", DayFirst, year{2001}), ymd(2001, 11, 5));
    EXPECT_EQ(dateOf("29/2", DayFirst, year{2001}), std::nullopt);
    EXPECT_EQ(dateOf("12.5", DayFirst), std::nullopt);
    EXPECT_EQ(dateOf("12.5", DayFirst, year{2001}), ymd(2001, 5, 12));
}

TEST(ParseDateTime, rejectsWhatIsNoDateOrTime)
{
    for (const char* text : {"soon", "", "   ", "tomorrow", "1996", "12", "32/13/1996", "0/5/1996", "5/0/1996",
                             "13/13/1996", "1/1/096", "1/1/0000", "1/1/19960", "6/9-94", "6 9 94", "6//9/94",
                             "/6/9/94", "6/9/94/", "6/9/94/1", "5 Nov 1996 junk", "10:", "25:00",
                             "10:60", "10:30:60", "13:00 PM", "10 30", "10:30 5/11/1996", "05/11/1996-10:30",
                             "5/11/1996 10", "Tuesday", "1.5e3", "\xe9t\xe9"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(parseDateTime(QString::fromLatin1(text), DayFirst, year{2001}), std::nullopt);
    }
}

TEST(ParseDateTime, readsTimesWithAndWithoutMeridiem)
{
    const struct {
        const char* text;
        int hour, minute, second;
    } cases[] = {
        {"10:30", 10, 30, 0},     {"0:05", 0, 5, 0},       {"23:59:59", 23, 59, 59}, {"9:5", 9, 5, 0},
        {"10:30 PM", 22, 30, 0},  {"10:30pm", 22, 30, 0},  {"10:30 AM", 10, 30, 0},  {"12:00 AM", 0, 0, 0},
        {"12:15 PM", 12, 15, 0},  {"12 AM", 0, 0, 0},      {"12 PM", 12, 0, 0},      {"7 pm", 19, 0, 0},
        {"7:15:30 P", 19, 15, 30}, {"7:15 a", 7, 15, 0},   {" 10:30 ", 10, 30, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = parseDateTime(QString::fromLatin1(c.text), DayFirst);
        ASSERT_TRUE(value.has_value());
        EXPECT_TRUE(value->hasTime);
        EXPECT_FALSE(value->hasDate);
        EXPECT_EQ(value->date, ymd(1899, 12, 30)); // the zero day
        EXPECT_EQ(value->hour, c.hour);
        EXPECT_EQ(value->minute, c.minute);
        EXPECT_EQ(value->second, c.second);
    }
}

TEST(ParseDateTime, readsDateFollowedByTime)
{
    const auto value = parseDateTime(u"05/11/1996 10:30", DayFirst);
    ASSERT_TRUE(value.has_value());
    EXPECT_TRUE(value->hasDate);
    EXPECT_TRUE(value->hasTime);
    EXPECT_EQ(value->date, ymd(1996, 11, 5));
    EXPECT_EQ(value->hour, 10);
    EXPECT_EQ(value->minute, 30);

    const auto named = parseDateTime(u"November 5, 1996, 7 PM", MonthFirst);
    ASSERT_TRUE(named.has_value());
    EXPECT_EQ(named->date, ymd(1996, 11, 5));
    EXPECT_EQ(named->hour, 19);

    const auto dateOnly = parseDateTime(u"05/11/1996", DayFirst);
    ASSERT_TRUE(dateOnly.has_value());
    EXPECT_FALSE(dateOnly->hasTime);
    EXPECT_EQ(dateOnly->hour, 0);
}

TEST(FormatDateTime, printsEveryPatternElement)
{
    DateTimeValue v = dateValue(ymd(1996, 2, 5)); // a Monday
    v.hour = 13;
    v.minute = 5;
    v.second = 7;
    v.hasTime = true;
    const struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"dd/mm/yyyy", "05/02/1996"},
        {"mm/dd/yyyy", "02/05/1996"},
        {"dd/mm/yy", "05/02/96"},
        {"mm/dd/yy", "02/05/96"},
        {"d/m/yyyy", "5/2/1996"},
        {"dddd", "Monday"},
        {"ddd", "Mon"},
        {"mmmm", "February"},
        {"mmm", "Feb"},
        {"DD/MM/YYYY", "05/02/1996"},
        {"y", "36"},
        {"yyy", "9636"},
        {"h", "13"},
        {"hh", "13"},
        {"n", "5"},
        {"nn", "05"},
        {"s", "7"},
        {"ss", "07"},
        {"hh:mm", "13:05"},          // m after h is the minute
        {"h:m:s", "13:5:7"},
        {"hh:mm AM/PM", "01:05 PM"},
        {"h:nn am/pm", "1:05 pm"},
        {"h:nn a/p", "1:05 p"},
        {"yyyy-mm-dd hh:nn:ss", "1996-02-05 13:05:07"},
        {"\"Day\" d, \\year yyyy", "Day 5, year 1996"},
        {"Week of dddd!", "Week of Monday!"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(formatDateTime(v, QString::fromLatin1(c.pattern)), QString::fromLatin1(c.expected));
    }
}

TEST(FormatDateTime, twelveHourClockAroundMidnightAndNoon)
{
    const struct {
        int hour, minute;
        const char* expected;
    } cases[] = {
        {0, 30, "12:30 AM"}, {9, 0, "09:00 AM"}, {12, 0, "12:00 PM"}, {13, 5, "01:05 PM"}, {19, 5, "07:05 PM"},
        {23, 59, "11:59 PM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        DateTimeValue v;
        v.hour = c.hour;
        v.minute = c.minute;
        v.hasTime = true;
        EXPECT_EQ(formatDateTime(v, u"hh:mm AM/PM"), QString::fromLatin1(c.expected));
    }
}

TEST(RenderDateText, rendersDatesAndTimesWithPatterns)
{
    const struct {
        const char* text;
        DateOrder order;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"6/9/94", DayFirst, "dddd", "Tuesday"},
        {"6/9/94", MonthFirst, "dddd", "Thursday"},
        {"1/2/96", DayFirst, "dd/mm/yyyy", "01/02/1996"},
        {"31/12/1996", DayFirst, "dd/mm/yyyy", "31/12/1996"},
        {"13/02/1996", MonthFirst, "mm/dd/yyyy", "02/13/1996"},
        {"31/12/1996", DayFirst, "y", "366"},
        {"1/1/1997", DayFirst, "y", "1"},
        {"1/3/1997", DayFirst, "y", "60"},
        {"05/11/1996", DayFirst, "h", "0"},
        {"05/11/1996", DayFirst, "n", "0"},
        {"05/11/1996 10:30", DayFirst, "h", "10"},
        {"05/11/1996 10:30", DayFirst, "n", "30"},
        {"10:30", DayFirst, "yyyy", "1899"},
        {"10:30", DayFirst, "dddd", "Saturday"},
        {"10:30", DayFirst, "y", "364"},
        {"14:15", DayFirst, "hh:mm AM/PM", "02:15 PM"},
        {"0:30", DayFirst, "hh:mm AM/PM", "12:30 AM"},
        {"7:05 PM", DayFirst, "hh:nn", "19:05"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " with " + c.pattern);
        EXPECT_EQ(renderDateText(QString::fromLatin1(c.text), QString::fromLatin1(c.pattern), c.order),
                  QString::fromLatin1(c.expected));
    }
}

TEST(RenderDateText, returnsNonDatesUnchanged)
{
    for (const char* text : {"soon", "", "tomorrow", "1996", "32/13/1996", "6/9", " 12 apples "}) {
        SCOPED_TRACE(text);
        const QString t = QString::fromLatin1(text);
        EXPECT_EQ(renderDateText(t, u"dd/mm/yyyy", DayFirst), t);
        EXPECT_EQ(renderDateText(t, u"y", MonthFirst), t);
    }
}

TEST(IsDateText, passesDatesAndTimesOnly)
{
    EXPECT_TRUE(isDateText(QStringLiteral("05/11/1996"), DayFirst));
    EXPECT_TRUE(isDateText(QStringLiteral("13/02/1996"), MonthFirst));
    EXPECT_TRUE(isDateText(QStringLiteral("5 Nov 1996"), DayFirst));
    EXPECT_TRUE(isDateText(QStringLiteral("10:30"), DayFirst)); // a time counts
    EXPECT_FALSE(isDateText(QString(), DayFirst));
    EXPECT_FALSE(isDateText(QStringLiteral("tomorrow"), DayFirst));
    EXPECT_FALSE(isDateText(QStringLiteral("Tuesday"), DayFirst));
    EXPECT_FALSE(isDateText(QStringLiteral("29/02/1997"), MonthFirst));
}

TEST(DayOfYear, countsFromFirstOfJanuary)
{
    EXPECT_EQ(dayOfYear(ymd(1996, 1, 1)), 1);
    EXPECT_EQ(dayOfYear(ymd(1996, 12, 31)), 366);
    EXPECT_EQ(dayOfYear(ymd(1997, 12, 31)), 365);
    EXPECT_EQ(dayOfYear(ymd(1899, 12, 30)), 364);
}

} // namespace
} // namespace zp
