#pragma once
#include <QString>
#include <QStringView>

#include <string_view>

namespace zp {

// Numeric value of a text: the number formed by its leading numeric part
// (leading blanks, tabs and line breaks skipped, a point as decimal
// separator, optional sign and exponent), 0 when there is none. "12abc" is
// 12, "  -3.5" is -3.5, "1e3" is 1000, "abc" and "" are 0. Blanks inside the
// digits end the number ("12 34" is 12). Every amount read from a record is
// read this way.
double textValue(QStringView text);

// Shortest decimal text of a number that reads back to the same value, cut
// to 15 significant digits when it needs more (0.1 + 0.2 -> " 0.3"), with a
// leading blank when it is not negative: 7 -> " 7", -2.5 -> "-2.5". From
// 1E+15 up and below 0.0001 the exponent form is used: 1e20 -> " 1E+20",
// 0.00001 -> " 1E-05".
QString plainNumber(double value);

// The same without the leading blank: 7 -> "7".
QString bareNumber(double value);

// "standard" money format: thousands separators and two decimals, a minus
// sign for negative values: "1234.5" -> "1,234.50", " -12" -> "-12.00".
// Halves round away from zero on the decimal digits ("2.675" -> "2.68").
// A text is a number when all of it, blanks trimmed, is one (sign, digits,
// point, exponent; no thousands separators); any other text, "12 apples"
// or "1,234.50" say, comes back unchanged.
QString standardFormat(const QString& text);
QString standardFormat(QStringView text);
QString standardFormat(double value);

// The one place amounts get their thousands separators: a minus sign when
// asked, the whole digits grouped by threes with commas, a point and the two
// cent digits: (true, "1234", "50") -> "-1,234.50".
QString groupedAmountText(bool minus, std::string_view wholeDigits, std::string_view centDigits);

} // namespace zp
