#pragma once
#include <QString>
#include <QStringView>

namespace zp {

// Numeric value of a text: the number formed by its leading numeric part
// (leading blanks skipped, a point as decimal separator, optional sign and
// exponent), 0 when there is none. "12abc" is 12, "  -3.5" is -3.5,
// "abc" and "" are 0. Every amount read from a record is read this way.
double textValue(QStringView text);

// Shortest decimal text of a number that reads back to the same value, with
// a leading blank when it is not negative: 7 -> " 7", -2.5 -> "-2.5".
QString plainNumber(double value);

// The same without the leading blank: 7 -> "7".
QString bareNumber(double value);

// "standard" money format: thousands separators and two decimals, a minus
// sign for negative values: "1234.5" -> "1,234.50", " -12" -> "-12.00".
// A text that is not a number comes back unchanged.
QString standardFormat(const QString& text);
QString standardFormat(double value);

} // namespace zp
