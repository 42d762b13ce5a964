#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "accessories/windows/CalculatorWindow.h"
#include "accessories/windows/NotepadWindow.h"
#include "accessories/windows/WorldTimesWindow.h"
#include "money/windows/LedgerPlotWindow.h"
#include "money/windows/LedgerWindow.h"
#include "money/windows/LoanWindow.h"
#include "support/Fakes.h"
#include "views/windows/PhoneBookWindow.h"
#include "views/windows/RemindersWindow.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace zp {
namespace {

class WindowStateTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TestPlatform test;
};

TEST_F(WindowStateTest, aMaximisedMainWindow_comesBackMaximised_overItsNormalPlace)
{
    // Large enough for the layout at the test font, so nothing grows it.
    const WindowPlacement normal{300, 450, 8400, 8250};
    for (const bool maximised : {true, false}) {
        SCOPED_TRACE(maximised ? "maximised" : "normal");
        const QString conf = dir.filePath(maximised ? "max.conf" : "normal.conf");
        ProgramState first;
        first.preferences.open(conf);
        first.settings.placement(PlacementRow::Main) = normal;
        WindowPlacement remembered;
        {
            MainWindow w(first, test.platform());
            w.setOnExit([] {});
            w.initialise();
            w.show();
            if (maximised)
                w.showMaximized();
            QCoreApplication::processEvents();
            ASSERT_EQ(w.isMaximized(), maximised);
            w.exitProgram(true);
            remembered = first.settings.placement(PlacementRow::Main);
        }
        // Row 1 keeps the normal place either way.
        EXPECT_NEAR(remembered.left, normal.left, 15);
        EXPECT_NEAR(remembered.top, normal.top, 15);
        EXPECT_NEAR(remembered.width, normal.width, 15);
        EXPECT_NEAR(remembered.height, normal.height, 15);

        ProgramState next;
        next.preferences.open(conf);
        next.settings.placement(PlacementRow::Main) = remembered;
        MainWindow again(next, test.platform());
        again.initialise();
        again.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(again.isMaximized(), maximised);
        again.showNormal();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_NEAR(again.frameGeometry().x(), normal.left / 15, 1);
        EXPECT_NEAR(again.frameGeometry().y(), normal.top / 15, 1);
        EXPECT_NEAR(again.frameGeometry().width(), normal.width / 15, 1);
        EXPECT_NEAR(again.frameGeometry().height(), normal.height / 15, 1);
    }
}

TEST_F(WindowStateTest, placesNoScreenShows_comeBackOnTheScreen)
{
    ProgramState state;
    state.settings.startupShow = QStringLiteral("yearmonth"); // the reminders first
    // Far beyond the screen's right and bottom edge, as a monitor that is
    // gone would leave them.
    for (int row = 1; row <= 15; ++row) {
        WindowPlacement& p = state.settings.placement(row);
        p.left = 90000 + 100 * row;
        p.top = 70000;
    }
    PlannerApp app(state, test.platform());
    app.start();
    const struct {
        const char* name;
        const char* action; // opens it; none for those shown at start
        std::function<QWidget*()> window;
    } cases[] = {
        {"main window", nullptr, [&]() -> QWidget* { return app.mainWindow(); }},
        {"reminders", nullptr, [&]() -> QWidget* { return app.remindersWindow(); }},
        {"ledger", "Showbydate", [&]() -> QWidget* { return app.ledger(); }},
        {"ledger plot", "PlotLedger", [&]() -> QWidget* { return app.ledgerPlot(); }},
        {"loan", "Loansimulator", [&]() -> QWidget* { return app.loanWindow(); }},
        {"phone book", "Phonebook", [&]() -> QWidget* { return app.phoneBook(); }},
        {"notepad", "Notes", [&]() -> QWidget* { return app.notepad(); }},
        {"calculator", "Calculator", [&]() -> QWidget* { return app.calculator(); }},
        {"world times", "Worldtimes", [&]() -> QWidget* { return app.worldTimes(); }},
    };
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.action)
            app.mainWindow()->menuAction(QString::fromLatin1(c.action))->trigger();
        QWidget* w = c.window();
        ASSERT_NE(w, nullptr);
        const QRect frame = w->frameGeometry();
        EXPECT_TRUE(screen.contains(frame.topLeft())) << frame.x() << "," << frame.y();
    }
}

} // namespace
} // namespace zp
