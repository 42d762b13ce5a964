#include "accessories/windows/CalculatorWindow.h"
#include "accessories/windows/WorldTimesWindow.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "support/Fakes.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace zp {
namespace {

class CalculatorWindowTest : public ::testing::Test {
protected:
    CalculatorWindowTest()
    {
        state.settings.font.name = QStringLiteral("DejaVu Sans");
        state.settings.font.size = 10;
    }
    void click(CalculatorWindow& w, const char* captions)
    {
        for (const QString& c : QString::fromLatin1(captions).split(u' ', Qt::SkipEmptyParts)) {
            QPushButton* key = w.key(c);
            ASSERT_NE(key, nullptr) << c.toStdString();
            QTest::mouseClick(key, Qt::LeftButton);
        }
    }
    QString readout(const CalculatorWindow& w, const char* name = "Readout")
    {
        return w.findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    TestPlatform test;
    ProgramState state;
};

TEST_F(CalculatorWindowTest, toolbarAndMenuOpenTheCalculatorAndTheWorldTimes)
{
    PlannerApp app(state, test.platform());
    app.start();
    MainWindow* main = app.mainWindow();
    EXPECT_EQ(main->menuAction("Calculator")->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
    QTest::mouseClick(main->findChild<QLabel*>("Image4"), Qt::LeftButton);
    ASSERT_NE(app.calculator(), nullptr);
    EXPECT_EQ(app.calculator()->objectName(), "form5");
    EXPECT_EQ(app.calculator()->windowTitle(), "Zorvik Calculator");
    EXPECT_TRUE(app.calculator()->isVisible());
    EXPECT_TRUE(state.calculatorOpen);
    app.calculator()->close();
    main->menuAction("Calculator")->trigger();
    EXPECT_TRUE(app.calculator()->isVisible());

    QTest::mouseClick(main->findChild<QLabel*>("Image13"), Qt::LeftButton);
    ASSERT_NE(app.worldTimes(), nullptr);
    EXPECT_EQ(app.worldTimes()->objectName(), "Form6");
    EXPECT_EQ(app.worldTimes()->windowTitle(), "Capital City World Times");
    app.worldTimes()->close();
    EXPECT_FALSE(app.worldTimes()->isVisible());
    main->menuAction("Worldtimes")->trigger();
    EXPECT_TRUE(app.worldTimes()->isVisible());

    // The Fonts command reaches both open windows.
    FontChoice chosen;
    chosen.name = QStringLiteral("DejaVu Serif");
    chosen.size = 12;
    test.fontDialog.result = chosen;
    main->menuAction("Fonttype")->trigger();
    EXPECT_EQ(app.calculator()->findChild<QLabel*>("Readout")->font().family(), "DejaVu Serif");
    EXPECT_EQ(app.worldTimes()->panel(5)->font().pointSize(), 12);
}

TEST_F(CalculatorWindowTest, keysDriveTheDisplaysMemoryLabelAndMessages)
{
    CalculatorWindow w(state, test.platform());
    w.open();
    EXPECT_EQ(readout(w), "0.");
    EXPECT_EQ(readout(w, "Readout2"), "0.");
    click(w, "7 / 0 =");
    EXPECT_EQ(readout(w), "7");
    ASSERT_EQ(test.messages.count(), 1);
    EXPECT_EQ(test.messages.last().text, "Can't divide by zero");
    EXPECT_EQ(test.messages.last().style, 48);
    EXPECT_EQ(test.messages.last().title, "Calculator");

    auto* memory = w.findChild<QLabel*>("Label1");
    EXPECT_EQ(memory->text(), "Memory on");
    EXPECT_FALSE(memory->isVisible());
    click(w, "C 5 M+");
    EXPECT_TRUE(memory->isVisible());
    click(w, "C MR");
    EXPECT_EQ(readout(w), "5");

    QTest::mouseClick(w.findChild<QRadioButton*>("Option2"), Qt::LeftButton);
    click(w, "+ 4 =");
    EXPECT_EQ(readout(w, "Readout2"), "9");
    EXPECT_EQ(readout(w), "5");
    click(w, "MC");
    EXPECT_FALSE(memory->isVisible());

    // Every key of the pad is there under its control name.
    EXPECT_EQ(w.findChildren<QPushButton*>("Number").size(), 10);
    EXPECT_EQ(w.findChildren<QPushButton*>("Operator").size(), 5);
    for (const char* name : {"Decimal", "Cancel", "CancelEntry", "Percent", "Command1", "Command11", "Command17"})
        EXPECT_NE(w.findChild<QPushButton*>(name), nullptr) << name;
}

TEST_F(CalculatorWindowTest, keyboardTypesShowsTheKeyPressedAndCopies)
{
    CalculatorWindow w(state, test.platform());
    w.open();
    QTest::keyClicks(&w, "12*3");
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_EQ(readout(w), "36");
    EXPECT_TRUE(w.key("=")->isDown());
    QTRY_VERIFY_WITH_TIMEOUT(!w.key("=")->isDown(), 1000);

    QTest::keyClick(&w, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(test.clipboard.content, "36");
    QTest::keyClicks(&w, "25");
    QTest::keyClick(&w, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(test.clipboard.content, "25");

    QTest::keyClicks(&w, "/4=");
    EXPECT_EQ(readout(w), "6.25");
    QTest::keyClicks(&w, "50%");
    EXPECT_EQ(readout(w), "0.5");
    QTest::keyClick(&w, Qt::Key_Delete);
    EXPECT_EQ(readout(w), "0.");
    QTest::keyClicks(&w, "9-2");
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(readout(w), "0.");
    QTest::keyClicks(&w, "3=");
    EXPECT_EQ(readout(w), "3.") << "Escape forgot the 9 -";

    // x types X too; Backspace takes back the last digit typed.
    QTest::keyClicks(&w, "7x125");
    QTest::keyClick(&w, Qt::Key_Backspace);
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_EQ(readout(w), "84");
}

TEST_F(CalculatorWindowTest, illumCyclesTheDisplayColours)
{
    CalculatorWindow w(state, test.platform());
    w.open();
    auto background = [&w] { return w.findChild<QLabel*>("Readout2")->palette().color(QPalette::Window); };
    click(w, "ILLUM");
    EXPECT_EQ(background(), QColor(0, 255, 255));
    click(w, "ILLUM");
    EXPECT_EQ(background(), QColor(0xC0, 0xFF, 0xFF));
    for (int i = 0; i < 9; ++i)
        click(w, "ILLUM");
    EXPECT_EQ(background(), QColor(0, 255, 255));
}

TEST_F(CalculatorWindowTest, fixedSizeHoldsTheLargestFontWithoutCuttingAnything)
{
    state.settings.font.size = Settings::kMaxFontSize;
    state.settings.font.bold = true;
    CalculatorWindow w(state, test.platform());
    w.open();
    EXPECT_EQ(w.size(), QSize(222, 249));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    auto* display = w.findChild<QLabel*>("Readout");
    EXPECT_EQ(display->font().pointSize(), 14);
    EXPECT_GE(display->contentsRect().height(), QFontMetrics(display->font()).height());
    for (const char* keys : {"Pi", "1 +/- ACos", "1 +/- / 3 / 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ="}) {
        click(w, "C");
        click(w, keys);
        EXPECT_LE(QFontMetrics(display->font()).horizontalAdvance(display->text()), display->contentsRect().width())
            << display->text().toStdString();
        EXPECT_GE(display->font().pointSize(), 8) << display->text().toStdString();
    }
    for (QPushButton* key : w.findChildren<QPushButton*>()) {
        EXPECT_LE(QFontMetrics(key->font()).horizontalAdvance(key->text()) + 4, key->width()) << key->text().toStdString();
        EXPECT_LE(QFontMetrics(key->font()).height(), key->height()) << key->text().toStdString();
    }
    const QLabel* memory = w.findChild<QLabel*>("Label1");
    EXPECT_LE(QFontMetrics(memory->font()).horizontalAdvance(memory->text()), memory->width());
}

TEST_F(CalculatorWindowTest, offRemembersThePlaceAndTheNextOpeningStartsAfresh)
{
    state.settings.placement(PlacementRow::Calculator) = {1500, 3000, 3930, 6105};
    CalculatorWindow w(state, test.platform());
    w.open();
    EXPECT_EQ(w.pos(), QPoint(200, 100));
    click(w, "5 M+ 2");
    w.move(300, 150);
    click(w, "OFF");
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(state.calculatorOpen);
    const WindowPlacement& stored = state.settings.placement(PlacementRow::Calculator);
    EXPECT_EQ(stored.left, 4500);
    EXPECT_EQ(stored.top, 2250);
    w.open();
    EXPECT_EQ(readout(w), "0.");
    EXPECT_FALSE(w.findChild<QLabel*>("Label1")->isVisible());
    EXPECT_EQ(w.engine().memory(), 0);
}

} // namespace
} // namespace zp
