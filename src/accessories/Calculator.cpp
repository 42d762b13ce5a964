#include "accessories/Calculator.h"

#include "plan/TextNumber.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace zp {

namespace {

struct KeyInfo {
    CalcKey key;
    const char* caption;
};

constexpr KeyInfo kKeys[] = {
    {CalcKey::Digit0, "0"},     {CalcKey::Digit1, "1"},     {CalcKey::Digit2, "2"},
    {CalcKey::Digit3, "3"},     {CalcKey::Digit4, "4"},     {CalcKey::Digit5, "5"},
    {CalcKey::Digit6, "6"},     {CalcKey::Digit7, "7"},     {CalcKey::Digit8, "8"},
    {CalcKey::Digit9, "9"},     {CalcKey::Point, "."},      {CalcKey::Plus, "+"},
    {CalcKey::Minus, "-"},      {CalcKey::Times, "X"},      {CalcKey::Divide, "/"},
    {CalcKey::Equals, "="},     {CalcKey::Percent, "%"},        {CalcKey::Sin, "Sin"},
    {CalcKey::Cos, "Cos"},        {CalcKey::Tan, "Tan"},        {CalcKey::ASin, "ASin"},
    {CalcKey::ACos, "ACos"},      {CalcKey::ATan, "ATan"},      {CalcKey::Sqr, "SQR"},
    {CalcKey::Square, "X^2"},     {CalcKey::Log, "LOG"},        {CalcKey::Int, "Int"},
    {CalcKey::Pi, "Pi"},           {CalcKey::Negate, "+/-"},     {CalcKey::MemoryAdd, "M+"},
    {CalcKey::MemoryRecall, "MR"}, {CalcKey::MemoryClear, "MC"}, {CalcKey::Clear, "C"},
    {CalcKey::ClearEntry, "CE"}, {CalcKey::Illuminate, "ILLUM"},
};

const KeyInfo& infoOf(CalcKey key)
{
    return kKeys[static_cast<int>(key)];
}

constexpr double kPi = std::numbers::pi;

double toRadians(double degrees)
{
    return degrees * kPi / 180.0;
}

double toDegrees(double radians)
{
    return radians * 180.0 / kPi;
}

double arcsineDegrees(double x)
{
    if (x == 1 || x == -1)
        return x * 90;
    if (x > -1 && x < 1)
        return toDegrees(std::atan(x / std::sqrt(1 - x * x)));
    return 0; // outside the function's domain
}

double arccosineDegrees(double x)
{
    if (x == 1)
        return 0;
    if (x == -1)
        return 180;
    if (x > -1 && x < 1)
        return toDegrees(std::atan(-x / std::sqrt(1 - x * x)) + kPi / 2);
    return 0;
}

int digitCount(const QString& text)
{
    int count = 0;
    for (QChar c : text)
        count += c.isDigit() ? 1 : 0;
    return count;
}

} // namespace

std::optional<CalcKey> keyForCaption(QStringView caption)
{
    for (const KeyInfo& k : kKeys)
        if (caption == QLatin1String(k.caption))
            return k.key;
    return std::nullopt;
}

QString captionOf(CalcKey key)
{
    return QString::fromLatin1(infoOf(key).caption);
}

const std::array<CalcKey, 35>& allCalcKeys()
{
    static const std::array<CalcKey, 35> keys = [] {
        std::array<CalcKey, 35> all{};
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = kKeys[i].key;
        return all;
    }();
    return keys;
}

const std::array<std::int32_t, 10>& illuminationColours()
{
    static const std::array<std::int32_t, 10> colours{0xFFFF00, 0xFFFFC0, 0x0000FF, 0x00FF00, 0x80FF80,
                                                      0xFF00FF, 0xFF0000, 0xFFFFFF, 0x0080FF, 0x808000};
    return colours;
}

double CalculatorEngine::value() const
{
    return textValue(displays_[active_]);
}

void CalculatorEngine::showNumber(double v)
{
    // A result never shows "-0".
    text() = bareNumber(v == 0 ? 0.0 : v);
}

void CalculatorEngine::resetState()
{
    decimalMode_ = false;
    operandCount_ = 0;
    lastInput_ = Input::None;
    pendingOp_ = QStringLiteral(" ");
}

void CalculatorEngine::selectDisplay(int display)
{
    if ((display != 0 && display != 1) || display == active_)
        return;
    displays_[display] = displays_[active_];
    active_ = display;
}

std::optional<QString> CalculatorEngine::press(CalcKey key)
{
    const bool recalled = std::exchange(recalled_, false);
    switch (key) {
    case CalcKey::Digit0: case CalcKey::Digit1: case CalcKey::Digit2: case CalcKey::Digit3: case CalcKey::Digit4:
    case CalcKey::Digit5: case CalcKey::Digit6: case CalcKey::Digit7: case CalcKey::Digit8: case CalcKey::Digit9:
        if (recalled)
            lastInput_ = Input::None;
        typeDigit(static_cast<int>(key) - static_cast<int>(CalcKey::Digit0));
        return std::nullopt;
    case CalcKey::Point:
        if (recalled)
            lastInput_ = Input::None;
        typePoint();
        return std::nullopt;
    case CalcKey::Plus: return pressOperator(QStringLiteral("+"));
    case CalcKey::Minus: return pressOperator(QStringLiteral("-"));
    case CalcKey::Times: return pressOperator(QStringLiteral("X"));
    case CalcKey::Divide: return pressOperator(QStringLiteral("/"));
    case CalcKey::Equals: return pressOperator(QStringLiteral("="));
    case CalcKey::Percent: case CalcKey::Sin: case CalcKey::Cos: case CalcKey::Tan: case CalcKey::ASin:
    case CalcKey::ACos: case CalcKey::ATan: case CalcKey::Sqr: case CalcKey::Square: case CalcKey::Log:
    case CalcKey::Int: case CalcKey::Pi: case CalcKey::Negate:
        pressFunction(key);
        return std::nullopt;
    case CalcKey::MemoryAdd: return addToMemory();
    case CalcKey::MemoryRecall:
        showNumber(memory_);
        lastInput_ = Input::Number;
        recalled_ = true;
        return std::nullopt;
    case CalcKey::MemoryClear:
        memory_ = 0;
        memoryShown_ = false;
        return std::nullopt;
    case CalcKey::Clear:
        text() = kEmptyDisplay;
        accumulator_ = 0;
        operand_ = 0;
        resetState();
        return std::nullopt;
    case CalcKey::ClearEntry:
        text() = kEmptyDisplay;
        decimalMode_ = false;
        lastInput_ = Input::ClearEntry;
        return std::nullopt;
    case CalcKey::Illuminate:
        colour_ = illuminationColours()[static_cast<std::size_t>(colourIndex_)];
        colourIndex_ = (colourIndex_ + 1) % static_cast<int>(illuminationColours().size());
        return std::nullopt;
    }
    return std::nullopt;
}

void CalculatorEngine::typeDigit(int digit)
{
    QString& t = text();
    const QChar d = QChar(u'0' + digit);
    if (lastInput_ != Input::Number) {
        t = QStringLiteral(".");
        decimalMode_ = false;
    } else if (digitCount(t) >= kMaxTypedDigits) {
        return;
    }
    const qsizetype point = t.indexOf(u'.');
    if (decimalMode_ || point < 0) {
        t.append(d);
    } else {
        const QStringView whole = QStringView(t).left(point);
        // A lone zero before the point is replaced, not pushed left: 0, 5 gives "5.".
        if (whole == u"0" || whole == u"-0")
            t.replace(point - 1, 1, d);
        else
            t.insert(point, d);
    }
    if (lastInput_ == Input::Sign)
        t.prepend(u'-');
    lastInput_ = Input::Number;
}

void CalculatorEngine::typePoint()
{
    QString& t = text();
    if (lastInput_ == Input::Sign)
        t = QStringLiteral("-0.");
    else if (lastInput_ != Input::Number)
        t = kEmptyDisplay;
    else if (!t.contains(u'.'))
        t.append(u'.');
    decimalMode_ = true;
    lastInput_ = Input::Number;
}

std::optional<QString> CalculatorEngine::pressOperator(const QString& op)
{
    if (lastInput_ == Input::Number)
        ++operandCount_;
    const bool minus = op == QLatin1String("-");
    std::optional<QString> failure;
    if (operandCount_ == 0) {
        // No number yet: a minus is the sign of the one to come.
        if (minus && lastInput_ != Input::Sign) {
            text() = QStringLiteral("-0.");
            lastInput_ = Input::Sign;
        }
    } else if (operandCount_ == 1) {
        accumulator_ = value();
        if (minus && lastInput_ != Input::Number && pendingOp_ != QLatin1String("=")) {
            text() = QStringLiteral("-0.");
            lastInput_ = Input::Sign;
        }
    } else {
        operand_ = value();
        double result = accumulator_;
        if (pendingOp_ == QLatin1String("+"))
            result = operand_ + accumulator_;
        else if (pendingOp_ == QLatin1String("-"))
            result = accumulator_ - operand_;
        else if (pendingOp_ == QLatin1String("X") || pendingOp_ == QLatin1String("%"))
            result = accumulator_ * operand_;
        else if (pendingOp_ == QLatin1String("/"))
            result = operand_ == 0 ? accumulator_ : accumulator_ / operand_;
        else if (pendingOp_ == QLatin1String("="))
            result = operand_;
        if (pendingOp_ == QLatin1String("/") && operand_ == 0)
            failure = kDivideByZero;
        else if (!std::isfinite(result))
            failure = kNumberTooLarge;
        else
            accumulator_ = result;
        showNumber(accumulator_);
        operandCount_ = 1;
    }
    if (failure) {
        // The operator waiting stays, so a new second number can be typed.
        lastInput_ = Input::Operator;
        return failure;
    }
    if (lastInput_ != Input::Sign) {
        lastInput_ = Input::Operator;
        pendingOp_ = op;
    }
    return std::nullopt;
}

void CalculatorEngine::pressFunction(CalcKey key)
{
    const double x = value();
    double r = 0;
    switch (key) {
    case CalcKey::Sin: r = std::sin(toRadians(x)); break;
    case CalcKey::Cos: r = std::cos(toRadians(x)); break;
    case CalcKey::Tan: r = std::tan(toRadians(x)); break;
    case CalcKey::ASin: r = arcsineDegrees(x); break;
    case CalcKey::ACos: r = arccosineDegrees(x); break;
    case CalcKey::ATan: r = toDegrees(std::atan(x)); break;
    case CalcKey::Sqr: r = x >= 0 ? std::sqrt(x) : 0; break;
    case CalcKey::Square: r = std::abs(x) > 1e150 ? 0 : x * x; break;
    case CalcKey::Log: r = x > 0 ? std::log(x) : 0; break;
    case CalcKey::Int: r = std::floor(x); break;
    case CalcKey::Pi: r = kPi; break;
    case CalcKey::Negate: r = -1 * x; break;
    case CalcKey::Percent: r = x / 100; break;
    default: return;
    }
    const bool typing = lastInput_ == Input::Number;
    showNumber(std::isfinite(r) ? r : 0);
    // The result stands where the number was, and the operator waiting for
    // it still waits: 2 + 9 SQR = is 2 + 3. It counts as a typed number,
    // but the next digit starts a new one (as after MR); only a sign change
    // of a number being typed lets the typing go on.
    lastInput_ = Input::Number;
    recalled_ = !(typing && key == CalcKey::Negate);
    if (recalled_)
        decimalMode_ = true;
}

void CalculatorEngine::backspace()
{
    if (lastInput_ != Input::Number || recalled_)
        return;
    QString& t = text();
    const qsizetype point = t.indexOf(u'.');
    if (point < 0)
        return;
    if (decimalMode_) {
        // The point itself was the last thing typed: the digits go in
        // before it again.
        if (point == t.size() - 1)
            decimalMode_ = false;
        else
            t.chop(1);
        return;
    }
    if (point > 0 && t[point - 1].isDigit())
        t.remove(point - 1, 1);
    if (t == QLatin1String("."))
        t = kEmptyDisplay;
    else if (t == QLatin1String("-."))
        t = QStringLiteral("-0.");
}

std::optional<QString> CalculatorEngine::addToMemory()
{
    const double sum = memory_ + value();
    if (!std::isfinite(sum))
        return kNumberTooLarge;
    memory_ = sum;
    memoryShown_ = true;
    return std::nullopt;
}

} // namespace zp
