#include "money/MoneySum.h"

#include "plan/TextNumber.h"

#include <algorithm>
#include <string>

namespace zp {

namespace {

constexpr std::uint32_t kBase = 1000000000u;
constexpr std::uint32_t kPow10[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
// Amounts whose digits reach beyond these powers of ten are not summed exactly.
constexpr long kHighestPosition = 399;
constexpr long kLowestPosition = -400;

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The leading number of a text as decimal digits: value = digits x 10^exponent,
// digits without leading or trailing zeros (empty for zero).
struct ScannedAmount {
    bool negative = false;
    std::string digits;
    long exponent = 0;
};

ScannedAmount scanAmount(QStringView text)
{
    ScannedAmount a;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r'))
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        a.negative = text[i++] == u'-';
    std::string digits;
    long fractionDigits = 0;
    int count = 0;
    while (i < n && isDigit(text[i])) {
        digits.push_back(static_cast<char>(text[i++].unicode()));
        ++count;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            digits.push_back(static_cast<char>(text[i++].unicode()));
            ++fractionDigits;
            ++count;
        }
    }
    if (count == 0)
        return {};
    long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        bool negativeExponent = false;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            negativeExponent = text[j++] == u'-';
        // Saturates far outside the exact range; such amounts are not exact anyway.
        while (j < n && isDigit(text[j])) {
            if (exponent < 10000000)
                exponent = exponent * 10 + (text[j].unicode() - u'0');
            ++j;
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return {}; // zero
    const auto last = digits.find_last_not_of('0');
    a.exponent = exponent - fractionDigits + static_cast<long>(digits.size() - 1 - last);
    a.digits = digits.substr(first, last - first + 1);
    return a;
}

// -1, 0, 1 as a < b, a == b, a > b.
int compareMagnitudes(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
    const std::size_t size = std::max(a.size(), b.size());
    for (std::size_t k = size; k-- > 0;) {
        const std::uint32_t x = k < a.size() ? a[k] : 0;
        const std::uint32_t y = k < b.size() ? b[k] : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

// The magnitude's decimal digits from the highest non-zero one down to the
// lowest, and the power of ten of the first: "12345", 2 for 123.45.
std::string magnitudeDigits(const std::vector<std::uint32_t>& m, long pointDigits, long& highestPosition)
{
    std::string all;
    for (std::size_t k = m.size(); k-- > 0;) {
        std::string limb = std::to_string(m[k]);
        all.append(9 - limb.size(), '0');
        all += limb;
    }
    // all[0] stands for 10^(9 * size - 1 - point).
    const long top = static_cast<long>(9 * m.size()) - 1 - pointDigits;
    const auto first = all.find_first_not_of('0');
    if (first == std::string::npos) {
        highestPosition = 0;
        return "0";
    }
    highestPosition = top - static_cast<long>(first);
    return all.substr(first);
}

} // namespace

bool MoneySum::addDigits(QStringView text, bool negate)
{
    const ScannedAmount a = scanAmount(text);
    if (a.digits.empty())
        return true;
    const long lowest = a.exponent;
    const long highest = a.exponent + static_cast<long>(a.digits.size()) - 1;
    if (lowest < kLowestPosition || highest > kHighestPosition)
        return false;
    Magnitude& to = (a.negative != negate) ? negative_ : positive_;
    if (to.empty())
        to.assign(kLimbs, 0);
    long position = lowest + kPointDigits;
    for (auto it = a.digits.rbegin(); it != a.digits.rend(); ++it, ++position) {
        const auto k = static_cast<std::size_t>(position / 9);
        std::uint64_t carry = static_cast<std::uint64_t>(*it - '0') * kPow10[position % 9];
        for (std::size_t j = k; carry != 0; ++j) {
            if (j >= to.size())
                return false;
            const std::uint64_t sum = to[j] + carry;
            to[j] = static_cast<std::uint32_t>(sum % kBase);
            carry = sum / kBase;
        }
    }
    return true;
}

bool MoneySum::addMagnitude(Magnitude& to, const Magnitude& from)
{
    if (from.empty())
        return true;
    if (to.empty())
        to.assign(kLimbs, 0);
    std::uint64_t carry = 0;
    for (std::size_t k = 0; k < to.size(); ++k) {
        const std::uint64_t sum = std::uint64_t(to[k]) + (k < from.size() ? from[k] : 0) + carry;
        to[k] = static_cast<std::uint32_t>(sum % kBase);
        carry = sum / kBase;
    }
    return carry == 0;
}

void MoneySum::fallBack()
{
    if (!exact_)
        return;
    approximate_ = toDouble();
    exact_ = false;
    positive_.clear();
    negative_.clear();
}

bool isThousandsGrouped(QStringView text)
{
    text = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype lead = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++lead;
    }
    if (lead < 1 || lead > 3)
        return false;
    int groups = 0;
    while (i < n && text[i] == u',') {
        if (i + 3 >= n)
            return false;
        if (!isDigit(text[i + 1]) || !isDigit(text[i + 2]) || !isDigit(text[i + 3]))
            return false;
        i += 4;
        ++groups;
        if (i < n && isDigit(text[i]))
            return false;
    }
    if (groups == 0)
        return false;
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i]))
            ++i;
    }
    return i == n;
}

QString countedAmountText(QStringView text)
{
    // Most amounts have no comma at all; they are taken as they stand.
    if (!text.contains(u',') || !isThousandsGrouped(text))
        return text.toString();
    QString plain = text.toString();
    plain.remove(u',');
    return plain;
}

double amountValue(QStringView text)
{
    if (!text.contains(u','))
        return textValue(text);
    return textValue(countedAmountText(text));
}

void MoneySum::add(QStringView text)
{
    addAmount(text, false);
}

void MoneySum::subtract(QStringView text)
{
    addAmount(text, true);
}

void MoneySum::addAmount(QStringView text, bool negate)
{
    QString counted;
    if (text.contains(u',')) {
        counted = countedAmountText(text);
        text = counted;
    }
    if (exact_ && addDigits(text, negate))
        return;
    fallBack();
    approximate_ += negate ? -textValue(text) : textValue(text);
}

void MoneySum::add(const MoneySum& other)
{
    if (exact_ && other.exact_) {
        Magnitude p = positive_, n = negative_;
        if (addMagnitude(p, other.positive_) && addMagnitude(n, other.negative_)) {
            positive_ = std::move(p);
            negative_ = std::move(n);
            return;
        }
    }
    fallBack();
    approximate_ += other.toDouble();
}

void MoneySum::subtract(const MoneySum& other)
{
    if (exact_ && other.exact_) {
        Magnitude p = positive_, n = negative_;
        if (addMagnitude(p, other.negative_) && addMagnitude(n, other.positive_)) {
            positive_ = std::move(p);
            negative_ = std::move(n);
            return;
        }
    }
    fallBack();
    approximate_ -= other.toDouble();
}

MoneySum::Magnitude MoneySum::difference(bool& negative) const
{
    negative = compareMagnitudes(positive_, negative_) < 0;
    const Magnitude& big = negative ? negative_ : positive_;
    const Magnitude& small = negative ? positive_ : negative_;
    Magnitude out = big;
    out.resize(kLimbs, 0);
    std::int64_t borrow = 0;
    for (std::size_t k = 0; k < out.size(); ++k) {
        std::int64_t d = std::int64_t(out[k]) - (k < small.size() ? small[k] : 0) - borrow;
        borrow = d < 0 ? 1 : 0;
        if (d < 0)
            d += kBase;
        out[k] = static_cast<std::uint32_t>(d);
    }
    return out;
}

bool MoneySum::isZero() const
{
    if (!exact_)
        return approximate_ == 0.0;
    return compareMagnitudes(positive_, negative_) == 0;
}

bool MoneySum::isNegative() const
{
    if (!exact_)
        return approximate_ < 0.0;
    return compareMagnitudes(positive_, negative_) < 0;
}

QString MoneySum::decimalText() const
{
    if (!exact_)
        return bareNumber(approximate_);
    bool negative = false;
    const Magnitude m = difference(negative);
    long highest = 0;
    const std::string digits = magnitudeDigits(m, kPointDigits, highest);
    if (digits == "0")
        return QStringLiteral("0");
    std::string trimmed = digits.substr(0, digits.find_last_not_of('0') + 1);
    const long lowest = highest - static_cast<long>(trimmed.size()) + 1;
    std::string out = negative ? "-" : "";
    if (highest < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-highest - 1), '0');
        out += trimmed;
    } else if (lowest >= 0) {
        out += trimmed;
        out.append(static_cast<std::size_t>(lowest), '0');
    } else {
        out.append(trimmed, 0, static_cast<std::size_t>(highest + 1));
        out.push_back('.');
        out.append(trimmed, static_cast<std::size_t>(highest + 1));
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

double MoneySum::toDouble() const
{
    if (!exact_)
        return approximate_;
    return textValue(decimalText());
}

QString MoneySum::standardText() const
{
    if (!exact_)
        return standardFormat(approximate_);
    bool negative = false;
    Magnitude m = difference(negative);
    // Round to hundredths, half away from zero: add half a cent to the
    // magnitude and drop everything below the cents.
    constexpr int centPosition = kPointDigits - 2;   // digit index of 10^-2
    constexpr int halfPosition = kPointDigits - 3;   // 10^-3
    Magnitude half(kLimbs, 0);
    half[halfPosition / 9] = 5 * kPow10[halfPosition % 9];
    addMagnitude(m, half);
    for (int k = 0; k < centPosition / 9; ++k)
        m[static_cast<std::size_t>(k)] = 0;
    m[centPosition / 9] -= m[centPosition / 9] % kPow10[centPosition % 9];

    long highest = 0;
    std::string digits = magnitudeDigits(m, kPointDigits, highest);
    // The digits from the highest down to the cents.
    std::string whole, cents;
    if (digits == "0" || highest < -2) {
        whole = "0";
        cents = "00";
    } else {
        const long count = highest + 3; // digits down to 10^-2
        digits.resize(static_cast<std::size_t>(std::max<long>(count, 0)), '0');
        if (highest < 0) // below one: zeros down to the first digit
            digits.insert(0, static_cast<std::size_t>(-highest), '0');
        whole = digits.substr(0, digits.size() - 2);
        cents = digits.substr(digits.size() - 2);
        if (whole.empty())
            whole = "0";
    }
    const bool zero = whole == "0" && cents == "00";
    return groupedAmountText(negative && !zero, whole, cents);
}

} // namespace zp
