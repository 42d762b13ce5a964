#include "accessories/Calculator.h"
#include "plan/TextNumber.h"

#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>
#include <random>

namespace zp {
namespace {

// Presses the keys of a blank-separated caption list ("9 SQR + 4 =");
// returns the messages the keys gave, joined by "|".
QString pressAll(CalculatorEngine& calc, const char* keys)
{
    QStringList messages;
    for (const QString& caption : QString::fromLatin1(keys).split(u' ', Qt::SkipEmptyParts)) {
        const std::optional<CalcKey> key = keyForCaption(caption);
        EXPECT_TRUE(key.has_value()) << caption.toStdString();
        if (key)
            if (std::optional<QString> message = calc.press(*key))
                messages << *message;
    }
    return messages.join(u'|');
}

struct SequenceCase {
    const char* keys;
    const char* display;
    const char* messages = "";
};

class CalculatorSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(CalculatorSequence, showsTheExpectedDisplay)
{
    CalculatorEngine calc;
    const QString messages = pressAll(calc, GetParam().keys);
    EXPECT_EQ(calc.display(0).toStdString(), GetParam().display) << GetParam().keys;
    EXPECT_EQ(messages.toStdString(), GetParam().messages) << GetParam().keys;
}

INSTANTIATE_TEST_SUITE_P(Keys, CalculatorSequence, ::testing::Values(
    // typing
    SequenceCase{"", "0."},
    SequenceCase{"2 5", "25."},
    SequenceCase{". 2 5", "0.25"},
    SequenceCase{"5 . 7", "5.7"},
    SequenceCase{"0 0 5", "5."},
    SequenceCase{"1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7", "123456789012345."},
    SequenceCase{"- 5", "-5."},
    SequenceCase{"- .", "-0."},
    SequenceCase{"-", "-0."},
    SequenceCase{"- - 5", "-5."},
    // the examples the calculator has always been checked with
    SequenceCase{"- 5 + 2 =", "-3"},
    SequenceCase{"7 / 0 =", "7", "Can't divide by zero"},
    SequenceCase{"9 SQR", "3"},
    SequenceCase{"9 SQR + 4 =", "7"},
    SequenceCase{"2 + 3 X", "5"},
    SequenceCase{"2 + 3 X 4 =", "20"},
    SequenceCase{"5 M+ C MR", "5"},
    // dividing by zero keeps the division waiting for a new divisor
    SequenceCase{"7 / 0 = 2 =", "3.5", "Can't divide by zero"},
    // a minus after an operator is the sign of the second number
    SequenceCase{"5 X - 3 =", "-15"},
    SequenceCase{"8 - 3 = - 1 =", "4"},
    SequenceCase{"1 0 0 / 8 =", "12.5"},
    SequenceCase{"0 . 1 + 0 . 2 =", "0.3"},
    SequenceCase{"5 + CE 3 =", "8"},
    SequenceCase{"5 0 % X 2 0 0 =", "100"},
    // a function works on the number shown; the operator waiting stays
    SequenceCase{"2 + 9 SQR =", "5"},
    SequenceCase{"2 0 0 X 1 0 % =", "20"},
    SequenceCase{"2 X Pi =", "6.28318530717958"},
    SequenceCase{"1 0 - 3 X^2 =", "1"},
    SequenceCase{"2 + 3 = SQR + 1 =", "3.23606797749979"},
    SequenceCase{"9 SQR 5", "5."},
    SequenceCase{"1 2 +/- 3", "-123"},
    // functions, in degrees
    SequenceCase{"3 0 Sin", "0.5"},
    SequenceCase{"6 0 Cos", "0.5"},
    SequenceCase{"4 5 Tan", "1"},
    SequenceCase{". 5 ASin", "30"},
    SequenceCase{"1 ASin", "90"},
    SequenceCase{"1 +/- ASin", "-90"},
    SequenceCase{"0 ACos", "90"},
    SequenceCase{". 5 ACos", "60"},
    SequenceCase{"1 ACos", "0"},
    SequenceCase{"1 +/- ACos", "180"},
    SequenceCase{"2 ACos", "0"},
    SequenceCase{"1 ATan", "45"},
    SequenceCase{"4 +/- SQR", "0"},
    SequenceCase{"1 2 X^2", "144"},
    SequenceCase{"0 LOG", "0"},
    SequenceCase{"1 LOG", "0"},
    SequenceCase{"2 . 5 +/- Int", "-3"},
    SequenceCase{"Pi", "3.14159265358979"},
    SequenceCase{"0 +/-", "0"},
    SequenceCase{"5 %", "0.05"},
    // squares beyond 1e150 give 0
    SequenceCase{"9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 X^2 X^2 X^2 X^2 X^2", "0"},
    // recalling memory gives a number the next digit replaces
    SequenceCase{"5 M+ MR 7", "7."},
    SequenceCase{"5 M+ C 3 + MR =", "8"},
    SequenceCase{"5 M+ MC MR", "0"}));

// A product too large for a number stops like a division by zero: the
// message, the first number back on the display, the product still waiting.
TEST(CalculatorEngine, aResultTooLargeIsRefusedAndKeepsTheAccumulator)
{
    CalculatorEngine calc;
    pressAll(calc, "9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 X^2 X^2 X^2 X^2 M+");
    const QString big = calc.display(0);
    EXPECT_EQ(pressAll(calc, "X MR ="), "Number too large");
    EXPECT_EQ(calc.display(0), big);
    EXPECT_EQ(calc.pendingOperator(), "X");
    EXPECT_EQ(pressAll(calc, "2 ="), "");
    EXPECT_EQ(calc.display(0), bareNumber(2 * textValue(big)));
}

TEST(CalculatorEngine, memoryLabelFollowsMPlusAndMc)
{
    CalculatorEngine calc;
    EXPECT_FALSE(calc.memoryShown());
    pressAll(calc, "5 M+");
    EXPECT_TRUE(calc.memoryShown());
    pressAll(calc, "C");
    EXPECT_TRUE(calc.memoryShown()) << "C keeps the memory";
    pressAll(calc, "MC");
    EXPECT_FALSE(calc.memoryShown());
    EXPECT_EQ(calc.memory(), 0);
}

TEST(CalculatorEngine, illuminateCyclesTheTableAndReturnsToTheFirstColourOnTheEleventhPress)
{
    CalculatorEngine calc;
    EXPECT_FALSE(calc.displayColour());
    const std::array<std::int32_t, 10> expected{0xFFFF00, 0xFFFFC0, 0x0000FF, 0x00FF00, 0x80FF80,
                                                0xFF00FF, 0xFF0000, 0xFFFFFF, 0x0080FF, 0x808000};
    for (std::int32_t colour : expected) {
        calc.press(CalcKey::Illuminate);
        EXPECT_EQ(calc.displayColour(), colour);
    }
    calc.press(CalcKey::Illuminate);
    EXPECT_EQ(calc.displayColour(), 0xFFFF00);
}

TEST(CalculatorEngine, switchingDisplaysCarriesTheActiveTextAndKeysActOnTheNewOne)
{
    CalculatorEngine calc;
    pressAll(calc, "4 2");
    calc.selectDisplay(1);
    EXPECT_EQ(calc.activeDisplay(), 1);
    EXPECT_EQ(calc.display(1), "42.");
    pressAll(calc, "+ 8 =");
    EXPECT_EQ(calc.display(1), "50");
    EXPECT_EQ(calc.display(0), "42.");
    calc.selectDisplay(1); // already active: nothing changes
    calc.selectDisplay(0);
    EXPECT_EQ(calc.display(0), "50");
}

TEST(CalculatorEngine, clearResetsTheStateClearEntryOnlyTheNumber)
{
    CalculatorEngine calc;
    pressAll(calc, "5 + 3 C");
    EXPECT_EQ(calc.display(0), "0.");
    EXPECT_EQ(calc.lastInput(), CalculatorEngine::Input::None);
    EXPECT_EQ(calc.pendingOperator(), " ");
    pressAll(calc, "5 + 3 CE");
    EXPECT_EQ(calc.lastInput(), CalculatorEngine::Input::ClearEntry);
    EXPECT_EQ(calc.pendingOperator(), "+");
}

TEST(CalculatorEngine, backspaceTakesBackTheLastDigitOfTheNumberBeingTyped)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1 2 3", "12."},  {"1 . 2 5", "1.2"}, {"1 2 .", "12."}, {"7", "0."},
        {"- 7", "-0."},    {"9 SQR", "3"},     {"2 + 3 =", "5"},
    };
    for (const auto& [keys, shown] : cases) {
        CalculatorEngine calc;
        pressAll(calc, keys);
        calc.backspace();
        EXPECT_EQ(calc.display(0), shown) << keys;
    }
    // After taking back the point, digits go before it again.
    CalculatorEngine calc;
    pressAll(calc, "1 2 .");
    calc.backspace();
    pressAll(calc, "3");
    EXPECT_EQ(calc.display(0), "123.");
}

TEST(CalculatorEngine, everyCaptionNamesItsKey)
{
    for (CalcKey key : allCalcKeys())
        EXPECT_EQ(keyForCaption(captionOf(key)), key) << captionOf(key).toStdString();
    EXPECT_FALSE(keyForCaption(u"OFF"));
}

// Random keys, any number of them, leave a finite number on both displays.
TEST(CalculatorEngine, randomKeysAlwaysLeaveANumberOnTheDisplays)
{
    const QRegularExpression number(QStringLiteral("^-?(\\d+\\.?\\d*|\\.\\d+)(E[+-]\\d+)?$"));
    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::size_t> pick(0, allCalcKeys().size() + 1);
    CalculatorEngine calc;
    for (int i = 0; i < 100000; ++i) {
        const std::size_t k = pick(random);
        if (k >= allCalcKeys().size())
            calc.selectDisplay(static_cast<int>(k - allCalcKeys().size()));
        else
            calc.press(allCalcKeys()[k]);
        for (int d = 0; d < 2; ++d) {
            const QString& text = calc.display(d);
            ASSERT_TRUE(number.match(text).hasMatch()) << "after " << i << " keys: " << text.toStdString();
            ASSERT_TRUE(std::isfinite(textValue(text))) << text.toStdString();
        }
        ASSERT_TRUE(std::isfinite(calc.memory()));
    }
}

} // namespace
} // namespace zp
