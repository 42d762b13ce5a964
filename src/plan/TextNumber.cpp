#include "plan/TextNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace zp {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isLeadingBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// The numeric part of a text starting at `from`: optional sign, digits with
// an optional point, an optional exponent. `end` is the position after it
// (equal to `from` when there is no number there). The characters are
// collected into `ascii` without a leading '+', ready for std::from_chars.
struct NumberScan {
    qsizetype end = 0;
    std::string ascii;
    int integerDigits = 0;      // significant digits before the point
    int zerosAfterPoint = 0;    // leading zeros after the point when there are none before it
    long exponent = 0;
};

NumberScan scanNumber(QStringView text, qsizetype from)
{
    NumberScan scan;
    scan.end = from;
    const qsizetype n = text.size();
    qsizetype i = from;
    std::string ascii;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            ascii.push_back('-');
        ++i;
    }
    int digits = 0;
    bool significant = false;
    while (i < n && isDigit(text[i].unicode())) {
        const char c = static_cast<char>(text[i].unicode());
        ascii.push_back(c);
        if (c != '0')
            significant = true;
        if (significant)
            ++scan.integerDigits;
        ++digits;
        ++i;
    }
    if (i < n && text[i] == u'.') {
        ascii.push_back('.');
        ++i;
        bool leading = scan.integerDigits == 0;
        while (i < n && isDigit(text[i].unicode())) {
            const char c = static_cast<char>(text[i].unicode());
            ascii.push_back(c);
            if (leading && c == '0')
                ++scan.zerosAfterPoint;
            else
                leading = false;
            ++digits;
            ++i;
        }
    }
    if (digits == 0)
        return scan; // a sign or a point alone is no number
    // An exponent counts only when at least one digit follows the 'e' (and sign).
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponentText = "e";
        bool negative = false;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            negative = text[j] == u'-';
            if (negative)
                exponentText.push_back('-');
            ++j;
        }
        long value = 0;
        const qsizetype digitsStart = j;
        while (j < n && isDigit(text[j].unicode())) {
            exponentText.push_back(static_cast<char>(text[j].unicode()));
            if (value < 100000)
                value = value * 10 + (text[j].unicode() - u'0');
            ++j;
        }
        if (j > digitsStart) {
            ascii += exponentText;
            scan.exponent = negative ? -value : value;
            i = j;
        }
    }
    scan.end = i;
    scan.ascii = std::move(ascii);
    return scan;
}

double scannedValue(const NumberScan& scan)
{
    if (scan.ascii.empty())
        return 0.0;
    const char* first = scan.ascii.data();
    const char* last = first + scan.ascii.size();
    double value = 0.0;
    const auto result = std::from_chars(first, last, value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here; tell overflow from underflow
        // by the decimal magnitude of the number.
        const long magnitude = scan.integerDigits > 0 ? scan.integerDigits - 1 + scan.exponent
                                                      : scan.exponent - scan.zerosAfterPoint - 1;
        const bool negative = scan.ascii.front() == '-';
        if (magnitude > 0)
            value = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        else
            value = negative ? -0.0 : 0.0;
    }
    return value;
}

// The decimal digits of a value as the program shows it: the shortest text
// that reads back to the same double, cut to 15 significant digits when it
// needs more (so 0.1 + 0.2 shows as 0.3). value = d1.d2d3... x 10^exponent.
struct Decimal {
    bool negative = false;
    std::string digits; // no trailing zeros; "0" for zero
    int exponent = 0;
};

Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value) && value != 0.0;
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0) {
        d.digits.assign(1, '0'); // assign(): GCC 12 warns falsely on a literal here
        return d;
    }
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    std::string text(buffer, result.ptr);
    auto mantissaDigits = [](const std::string& t) {
        std::string digits;
        for (char c : t) {
            if (c == 'e')
                break;
            if (c != '.')
                digits.push_back(c);
        }
        return digits;
    };
    if (mantissaDigits(text).size() > 15) {
        result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
        text.assign(buffer, result.ptr);
    }
    d.digits = mantissaDigits(text);
    const auto e = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
    d.exponent = exponent;
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

QString decimalText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    const Decimal d = toDecimal(value);
    std::string out;
    if (d.negative)
        out.push_back('-');
    const int count = static_cast<int>(d.digits.size());
    if (d.exponent >= -4 && d.exponent < 15) {
        if (d.exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
            out += d.digits;
        } else {
            const int integerCount = d.exponent + 1;
            if (count <= integerCount) {
                out += d.digits;
                out.append(static_cast<std::size_t>(integerCount - count), '0');
            } else {
                out.append(d.digits, 0, static_cast<std::size_t>(integerCount));
                out.push_back('.');
                out.append(d.digits, static_cast<std::size_t>(integerCount));
            }
        }
    } else {
        // Exponent form, two exponent digits at least: 1E+20, 2.5E-07.
        out.push_back(d.digits[0]);
        if (count > 1) {
            out.push_back('.');
            out.append(d.digits, 1);
        }
        out.push_back('E');
        out.push_back(d.exponent < 0 ? '-' : '+');
        const int magnitude = d.exponent < 0 ? -d.exponent : d.exponent;
        if (magnitude < 10)
            out.push_back('0');
        out += std::to_string(magnitude);
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

// A text is a number when, blanks trimmed, all of it is one.
bool wholeNumber(QStringView text, double& value)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    const NumberScan scan = scanNumber(trimmed, 0);
    if (scan.end != trimmed.size())
        return false;
    value = scannedValue(scan);
    return true;
}

} // namespace

double textValue(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isLeadingBlank(text[i].unicode()))
        ++i;
    return scannedValue(scanNumber(text, i));
}

QString plainNumber(double value)
{
    QString text = decimalText(value);
    if (!text.startsWith(u'-'))
        text.prepend(u' ');
    return text;
}

QString bareNumber(double value)
{
    return decimalText(value);
}

QString standardFormat(double value)
{
    if (!std::isfinite(value))
        return bareNumber(value);
    const Decimal d = toDecimal(value);
    // The value in hundredths, rounded half away from zero on its decimal
    // digits (so 2.675 gives 2.68, as a person would expect).
    const int wholeHundredths = d.exponent + 3; // digits of the value x 100 before its point
    std::string hundredths;
    int roundingDigit = 0;
    if (wholeHundredths > 0) {
        for (int i = 0; i < wholeHundredths; ++i)
            hundredths.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0');
        if (wholeHundredths < static_cast<int>(d.digits.size()))
            roundingDigit = d.digits[static_cast<std::size_t>(wholeHundredths)] - '0';
    } else {
        hundredths = "0";
        if (wholeHundredths == 0)
            roundingDigit = d.digits[0] - '0';
    }
    if (roundingDigit >= 5) {
        int i = static_cast<int>(hundredths.size()) - 1;
        while (i >= 0 && hundredths[static_cast<std::size_t>(i)] == '9')
            hundredths[static_cast<std::size_t>(i--)] = '0';
        if (i < 0)
            hundredths.insert(hundredths.begin(), '1');
        else
            ++hundredths[static_cast<std::size_t>(i)];
    }
    if (hundredths.size() < 3)
        hundredths.insert(0, 3 - hundredths.size(), '0');
    const std::string whole = hundredths.substr(0, hundredths.size() - 2);
    const std::string cents = hundredths.substr(hundredths.size() - 2);
    const bool isZero = hundredths.find_first_not_of('0') == std::string::npos;

    return groupedAmountText(d.negative && !isZero, whole, cents);
}

QString groupedAmountText(bool minus, std::string_view whole, std::string_view cents)
{
    std::string out = minus ? "-" : "";
    const std::size_t firstGroup = whole.size() % 3 == 0 ? 3 : whole.size() % 3;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i >= firstGroup && (i - firstGroup) % 3 == 0)
            out.push_back(',');
        out.push_back(whole[i]);
    }
    out.push_back('.');
    out += cents;
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

QString standardFormat(const QString& text)
{
    double value = 0.0;
    if (!wholeNumber(text, value) || !std::isfinite(value))
        return text;
    return standardFormat(value);
}

QString standardFormat(QStringView text)
{
    double value = 0.0;
    if (!wholeNumber(text, value) || !std::isfinite(value))
        return text.toString();
    return standardFormat(value);
}

} // namespace zp
