#include "money/windows/LoanWindow.h"
#include "support/Fakes.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace zp {
namespace {

class LoanWindowTest : public ::testing::Test {
protected:
    LoanWindowTest()
    {
        test.clock.set(2026, 12, 7);
        window = std::make_unique<LoanWindow>(state, test.platform());
        window->open();
    }
    template <class T> T* find(const char* name) { return window->findChild<T*>(QString::fromLatin1(name)); }
    QLineEdit* box(const char* name) { return find<QLineEdit>(name); }
    QComboBox* combo() { return find<QComboBox>("Combo1"); }
    ClickPanel* command() { return find<ClickPanel>("Panel3D6"); }
    QWidget* results() { return find<QWidget>("Panel3D7"); }
    QString cell(int row, int column) { return window->grid()->model()->index(row, column).data().toString(); }
    void enter(QWidget* w, const QString& text)
    {
        auto* edit = qobject_cast<QLineEdit*>(w);
        if (!edit)
            edit = qobject_cast<QComboBox*>(w)->lineEdit();
        edit->setText(text);
        QTest::keyClick(w, Qt::Key_Return);
    }
    void setInputs(const QString& amount, const QString& years, const QString& rate, const QString& start,
                   const QString& frequency)
    {
        box("Text1")->setText(amount);
        box("Text2")->setText(years);
        box("Text3")->setText(rate);
        box("Text4")->setText(start);
        combo()->setEditText(frequency);
    }

    TestPlatform test;
    ProgramState state;
    std::unique_ptr<LoanWindow> window;
};

TEST_F(LoanWindowTest, opensInTheInputViewWithTheStartingFigures)
{
    EXPECT_EQ(window->windowTitle(), "Zorvik Planner Loan Simulator");
    EXPECT_EQ(box("Text1")->text(), " 1000000");
    EXPECT_EQ(box("Text2")->text(), " 10");
    EXPECT_EQ(box("Text3")->text(), " 10.2");
    EXPECT_EQ(box("Text4")->text(), "07/12/26");
    EXPECT_EQ(combo()->currentText(), "Monthly");
    EXPECT_EQ(combo()->count(), 4);
    EXPECT_EQ(combo()->itemText(0), "Weekly");
    EXPECT_EQ(command()->text(), "Click here to show repayment information");
    EXPECT_TRUE(results()->isHidden());
    EXPECT_TRUE(state.loanOpen);
    const char* captions[][2] = {{"Panel3D1", "Loan Amount"}, {"Panel3D2", "Loan Period (years)"},
                                 {"Panel3D3", "Interest (%)"}, {"Panel3D4", "Start Date"}, {"Panel3D5", "Repayments"}};
    for (const auto& [name, text] : captions)
        EXPECT_EQ(find<QLabel>(name)->text(), text);
    for (const char* frame : {"Panel3D8", "Panel3D9", "Panel3D10", "Panel3D11", "Panel3D12"})
        EXPECT_TRUE(find<QWidget>(frame)->isVisible()) << frame;
}

TEST_F(LoanWindowTest, enterNormalisesEachBoxAndKeepsTheValue)
{
    struct Case {
        const char* box;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {{"Text1", "0", "1000000"}, {"Text1", "2e12", "1000000"}, {"Text1", "1200", " 1200"},
                          {"Text2", "abc", "10"},    {"Text2", "2.5", " 2.5"},     {"Text3", "nan", "10"},
                          {"Combo1", "quarter", "Quarterly"}, {"Combo1", "x", "Monthly"}};
    for (const Case& c : cases) {
        enter(find<QWidget>(c.box), QString::fromLatin1(c.typed));
        QWidget* w = find<QWidget>(c.box);
        const QString shown = qobject_cast<QLineEdit*>(w) ? box(c.box)->text() : combo()->currentText();
        EXPECT_EQ(shown, QString::fromLatin1(c.shown)) << c.box << " " << c.typed;
    }
    EXPECT_EQ(state.loanAmount, 1200);
    EXPECT_EQ(state.loanYears, 2.5);
    EXPECT_EQ(state.loanRatePercent, 10);
    EXPECT_TRUE(test.messages.empty());
}

TEST_F(LoanWindowTest, badStartDate_warnsWithTheNoteOnEnterOnly_andTakesToday)
{
    enter(box("Text4"), "tomorrow");
    ASSERT_EQ(test.messages.count(), 1);
    EXPECT_EQ(test.messages.last().text, "Date format not correct. Please re-enter.\n"
                                         "Note: Use the control panel to set the date format specific to your country.");
    EXPECT_EQ(test.messages.last().style, 48);
    EXPECT_EQ(test.messages.last().title, "Planner Record");
    EXPECT_EQ(box("Text4")->text(), "07/12/26");

    box("Text4")->setFocus();
    box("Text4")->setText("32/13/2026");
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box("Text4"), &out);
    ASSERT_EQ(test.messages.count(), 2);
    EXPECT_EQ(test.messages.last().text, "Date format not correct. Please re-enter.");

    // A click with a bad date stops before anything is computed.
    box("Text4")->setText("");
    QTest::mouseClick(command(), Qt::LeftButton);
    EXPECT_EQ(test.messages.count(), 3);
    EXPECT_TRUE(test.messages.last().text.contains("Note:"));
    EXPECT_TRUE(results()->isHidden());
    EXPECT_EQ(state.loanStartText, "07/12/26");
}

TEST_F(LoanWindowTest, clickComputesSummaryAndSchedule_secondClickReturns)
{
    setInputs("1200", "1", "12", "31/01/2026", "m");
    QTest::mouseClick(command(), Qt::LeftButton);
    EXPECT_TRUE(results()->isVisible());
    EXPECT_TRUE(find<QWidget>("Panel3D1")->isHidden());
    EXPECT_TRUE(find<QWidget>("Panel3D12")->isHidden());
    EXPECT_EQ(command()->text(), "Try again");
    EXPECT_EQ(command()->bevel(), 2);
    auto* list = find<QListWidget>("RepaymentsList");
    ASSERT_EQ(list->count(), 5);
    EXPECT_EQ(list->item(1)->text(), "Repayment begin     = 31/01/2026");
    EXPECT_EQ(list->item(4)->text(), "Total interest paid = $ 79");
    EXPECT_EQ(window->grid()->model()->rowCount(), 3 + 12 + 1);
    EXPECT_EQ(cell(0, 2), "Monthly");
    EXPECT_EQ(cell(1, 3), "Principle $");
    EXPECT_EQ(cell(3, 0), "28/02/2026");
    EXPECT_EQ(cell(14, 5), " 0");

    // Ctrl+C in the grid puts the rows on the clipboard for a spreadsheet.
    window->grid()->setFocus();
    QTest::keyClick(window->grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(test.clipboard.content.startsWith("Date\tPrinciple\tMonthly\tAccrued\tAccrued\tBalance\n"));
    EXPECT_EQ(test.clipboard.content.count('\n'), 15);

    QTest::mouseClick(command(), Qt::LeftButton);
    EXPECT_TRUE(results()->isHidden());
    EXPECT_TRUE(find<QWidget>("Panel3D1")->isVisible());
    EXPECT_EQ(command()->text(), "Click here to show repayment information");

    // The next computation starts again from a cleared grid and list.
    combo()->setEditText("q");
    QTest::keyClick(command(), Qt::Key_Space);
    EXPECT_EQ(window->grid()->model()->rowCount(), 3 + 4 + 1);
    EXPECT_EQ(list->count(), 5);
    EXPECT_EQ(cell(0, 2), "Quarterly");
}

// How long the longest loan takes is measured by bench/LoanBench.cpp.
TEST_F(LoanWindowTest, longestWeeklyLoanFillsTheGrid_andInputsOutliveTheWindow)
{
    setInputs("1000000", "200", "10", "01/01/2026", "w");
    QTest::mouseClick(command(), Qt::LeftButton);
    EXPECT_EQ(window->grid()->model()->rowCount(), 3 + 10400 + 1);
    window->close();
    EXPECT_FALSE(state.loanOpen);
    LoanWindow again(state, test.platform());
    again.open();
    EXPECT_EQ(again.findChild<QLineEdit*>("Text2")->text(), " 200");
    EXPECT_EQ(again.findChild<QLineEdit*>("Text4")->text(), "01/01/2026");
}

TEST_F(LoanWindowTest, closedInTheResultsViewItReopensInTheInputViewWithTheLastInputs)
{
    setInputs("1200", "1", "12", "31/01/2026", "q");
    QTest::mouseClick(command(), Qt::LeftButton);
    ASSERT_TRUE(results()->isVisible());
    window->close();
    window->open();
    EXPECT_TRUE(results()->isHidden());
    EXPECT_TRUE(find<QWidget>("Panel3D1")->isVisible());
    EXPECT_EQ(command()->text(), "Click here to show repayment information");
    EXPECT_EQ(box("Text1")->text(), " 1200");
    EXPECT_EQ(box("Text4")->text(), "31/01/2026");
}

TEST_F(LoanWindowTest, keepsItsMinimumSizeAndGridFollowsTheWindow)
{
    window->resize(10, 10);
    QApplication::processEvents();
    QWidget* client = window->centralWidget();
    EXPECT_GE(client->width(), 4345 / 15);
    EXPECT_GE(client->height(), 3276 / 15);
    window->resize(800, 600);
    QTest::mouseClick(command(), Qt::LeftButton);
    QApplication::processEvents();
    // The grid reaches down to 70 twips above the bottom, inside its panel.
    QWidget* grid = window->grid();
    EXPECT_NEAR(grid->mapTo(client, QPoint(0, grid->height())).y(), client->height() - 70 / 15, 2);
    EXPECT_NEAR(grid->width(), client->width() - 250 / 15, 2);
    EXPECT_GE(grid->height(), (client->height() - 1600 / 15) - 40);
    EXPECT_NEAR(window->grid()->columnWidth(0), std::max(window->grid()->width() / 6.2, 1000 / 15.0), 2);
}

} // namespace
} // namespace zp
