#pragma once
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace zp {

// Whether an amount is written with its thousands separators where they go:
// blanks aside, an optional sign, one to three digits, then one or more
// groups of a comma and exactly three digits, then optionally a point and
// decimals ("1,250", "-1,234.50", "12,345,678.90"). Such a text is read as
// the number it plainly shows; a comma anywhere else ("0,5", "1,00",
// "1234,567") is not a separator, and the amount counts by its leading
// number as before. The ledger's display, its totals, the plot and the Info
// page all ask this one question, so what is shown is what is counted.
bool isThousandsGrouped(QStringView text);

// The text an amount counts with: a thousands-grouped amount without its
// commas, any other text as it stands.
QString countedAmountText(QStringView text);

// The numeric value an amount counts with (see countedAmountText).
double amountValue(QStringView text);

// An exact decimal sum of amounts as they are typed. Each text counts with
// its numeric value (its leading number, as textValue reads it, after
// countedAmountText: "1,250" counts 1250, "0,5" 0, "12abc" 12, "1e3" 1000,
// "abc" 0), but digit for digit rather
// than through binary floating point, so two amounts of 1.005 total 2.01
// and 0.3 - 0.1 - 0.2 is exactly 0. The ledger's totals and the Info page's
// statistics are sums of this kind.
//
// Exact for every amount whose digits lie between 10^-400 and 10^400 (the
// range of a double with room to spare). An amount outside it turns the
// whole sum into a double sum from then on, so it never fails or grows
// without bound.
class MoneySum {
public:
    void add(QStringView text);
    void subtract(QStringView text);
    void add(const MoneySum& other);
    void subtract(const MoneySum& other);

    // False once an amount outside the exact range was added.
    bool isExact() const { return exact_; }
    bool isZero() const;
    bool isNegative() const;
    double toDouble() const;

    // The sum in the "standard" money format: thousands separators and two
    // decimals, rounded half away from zero on the exact digits; a minus
    // sign only when the rounded value is not zero ("1,234.50", "-0.01",
    // "0.00").
    QString standardText() const;
    // The exact sum in plain decimal digits, no exponent and no blank:
    // "2.01", "-0.5", "1500", "0".
    QString decimalText() const;

private:
    // Magnitudes in fixed point: limb k holds the base-10^9 digit for
    // 10^(9k - kPointDigits). Missing limbs are zero.
    using Magnitude = std::vector<std::uint32_t>;
    static constexpr int kPointDigits = 405;
    static constexpr int kLimbs = 90;

    void addAmount(QStringView text, bool negate);
    bool addDigits(QStringView text, bool negate);
    static bool addMagnitude(Magnitude& to, const Magnitude& from);
    // |positive - negative| and whether it is negative.
    Magnitude difference(bool& negative) const;
    void fallBack();

    Magnitude positive_;
    Magnitude negative_;
    bool exact_ = true;
    double approximate_ = 0.0; // the sum once it is no longer exact
};

} // namespace zp
