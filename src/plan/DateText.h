#pragma once
#include "ui/DateOrderSource.h"

#include <QString>
#include <QStringView>
#include <chrono>
#include <optional>

namespace zp {

// A date, a time or both, read from a text. A text with only a time takes
// the day 30 December 1899 (the day "zero" of stored times); a text with
// only a date takes midnight.
struct DateTimeValue {
    std::chrono::year_month_day date{std::chrono::year{1899}, std::chrono::month{12}, std::chrono::day{30}};
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool hasDate = false;
    bool hasTime = false;
    friend bool operator==(const DateTimeValue&, const DateTimeValue&) = default;
};

// Reads a text as a date and/or time.
// Dates: day, month and year separated by "/", "-" or "." (also blanks or
// commas around month names), in the given order; one or two digits for the
// day and month; two-digit years 00-29 are 20xx and 30-99 are 19xx; four-digit
// years 1-9999 (three-digit years are refused); a four-digit year first
// gives year-month-day ("1996-11-05"); English month names and three-letter
// abbreviations in any case ("5 Nov 1996", "November 5, 1996"); a date
// without a year ("6/9") takes `currentYear` when given, else fails, and a
// lone number ("1996") is never a date. When the order gives an impossible
// date but the other order a valid one (13/02/1996 read month first) the
// valid one is taken.
// Times: "h:mm", "h:mm:ss", each with an optional "AM"/"PM" (or "A"/"P"),
// and "h AM". A date and a time may both appear, date first, with blanks
// or a comma between them.
// Leading and trailing blanks are ignored. Anything else gives no value.
std::optional<DateTimeValue> parseDateTime(QStringView text, DateOrder order,
                                           std::optional<std::chrono::year> currentYear = std::nullopt);

// Prints a value with a pattern. Pattern elements: "dddd" full weekday name,
// "ddd" its three-letter form, "dd" two-digit day, "d" day, "mmmm" full month
// name, "mmm" three letters, "mm" two-digit month (a minute right after "h"
// or "hh"), "m" month, "yyyy" four-digit year, "yy" two-digit year, "y" day
// of the year, "hh"/"h" hour, "nn"/"n" minute, "ss"/"s" second, "AM/PM"
// (switching the hour to the 12-hour clock; its own letters give the case,
// so "am/pm" prints "pm"), "A/P", "a/p". Elements are matched in any case.
// Text in double quotes and a character after a backslash are copied as
// they stand; other characters are copied too. Names are English.
QString formatDateTime(const DateTimeValue& value, QStringView pattern);

// Renders a text with a pattern: the text read as a date or time and printed
// with the pattern, or the text itself, unchanged, when it cannot be read.
// A date typed without a year takes `currentYear` when given.
QString renderDateText(const QString& text, QStringView pattern, DateOrder order,
                       std::optional<std::chrono::year> currentYear = std::nullopt);

// The date test: a text is a date (or time) when rendering it with "dddd"
// gives something other than the text. An empty text fails. With
// `currentYear`, a date without a year ("25/12") passes.
bool isDateText(const QString& text, DateOrder order, std::optional<std::chrono::year> currentYear = std::nullopt);

// Helpers for callers that hold std::chrono dates.
DateTimeValue dateValue(std::chrono::year_month_day date);
int dayOfYear(std::chrono::year_month_day date);

} // namespace zp
