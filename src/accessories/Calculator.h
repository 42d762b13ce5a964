#pragma once
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <optional>

namespace zp {

inline const QString kCalculatorCaption = QStringLiteral("Zorvik Calculator");
inline const QString kCalculatorMessageTitle = QStringLiteral("Calculator");
inline const QString kDivideByZero = QStringLiteral("Can't divide by zero");
inline const QString kNumberTooLarge = QStringLiteral("Number too large");
inline const QString kMemoryOn = QStringLiteral("Memory on");
// What both displays show at the start and after C or CE.
inline const QString kEmptyDisplay = QStringLiteral("0.");

// Fixed size of the calculator window in twips.
constexpr int kCalculatorWidthTwips = 3336;
constexpr int kCalculatorHeightTwips = 3732;

// Longest number that can be typed, in digits: more would not survive the
// 15 significant digits every result is shown with.
constexpr int kMaxTypedDigits = 15;

// Every key of the calculator but OFF (which only closes the window) and
// the two display switches (CalculatorEngine::selectDisplay).
enum class CalcKey {
    Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
    Point,
    Plus, Minus, Times, Divide, Equals,
    Percent,
    Sin, Cos, Tan, ASin, ACos, ATan,
    Sqr, Square, Log, Int, Pi, Negate,
    MemoryAdd, MemoryRecall, MemoryClear,
    Clear, ClearEntry,
    Illuminate,
};

// The key a caption stands for ("7", "+", "X", "ACos", "M+", "ILLUM" ...);
// nothing for an unknown caption.
std::optional<CalcKey> keyForCaption(QStringView caption);
QString captionOf(CalcKey key);
// Every key, in the order the window lays them out.
const std::array<CalcKey, 35>& allCalcKeys();

// Background colours ILLUM cycles through, as 0x00BBGGRR values.
const std::array<std::int32_t, 10>& illuminationColours();

// A pocket calculator working on the texts of its two displays: keys edit
// the active display directly, and arithmetic is done on the numeric value
// of the texts. Operators work left to right (2 + 3 X 4 = gives 20), a
// minus typed where no number is expected is a sign, and functions work in
// degrees on the number shown, leaving the operator that waits in place
// (200 X 10 % = gives 20). No key leaves anything but a finite number on a
// display.
class CalculatorEngine {
public:
    // What the last keys typed were; decides how the next key acts.
    enum class Input { None, Number, Operator, Sign, ClearEntry };

    // Presses a key; returns the message to show when it could not be done
    // ("Can't divide by zero"), with the state left as before the operator.
    std::optional<QString> press(CalcKey key);

    // Takes back the last digit (or point) of the number being typed;
    // nothing once the number is a result.
    void backspace();

    // Makes display 0 or 1 the one the keys act on; it takes the text of
    // the display that was active. Selecting the active display does
    // nothing.
    void selectDisplay(int display);

    int activeDisplay() const { return active_; }
    const QString& display(int index) const { return displays_[index == 1 ? 1 : 0]; }
    const QString& activeText() const { return displays_[active_]; }
    // "Memory on" is shown from M+ until MC.
    bool memoryShown() const { return memoryShown_; }
    double memory() const { return memory_; }
    // The displays' background from the last ILLUM; nothing before the first.
    std::optional<std::int32_t> displayColour() const { return colour_; }

    Input lastInput() const { return lastInput_; }
    const QString& pendingOperator() const { return pendingOp_; }

private:
    QString& text() { return displays_[active_]; }
    double value() const;
    void showNumber(double value);
    void resetState();
    void typeDigit(int digit);
    void typePoint();
    std::optional<QString> pressOperator(const QString& op);
    void pressFunction(CalcKey key);
    std::optional<QString> addToMemory();

    std::array<QString, 2> displays_{kEmptyDisplay, kEmptyDisplay};
    int active_ = 0;
    Input lastInput_ = Input::None;
    QString pendingOp_ = QStringLiteral(" ");
    int operandCount_ = 0;
    bool decimalMode_ = false;
    // A recalled memory counts as a typed number, but the next digit or
    // point starts a new one instead of editing it.
    bool recalled_ = false;
    double accumulator_ = 0;
    double operand_ = 0;
    double memory_ = 0;
    bool memoryShown_ = false;
    int colourIndex_ = 0;
    std::optional<std::int32_t> colour_;
};

} // namespace zp
