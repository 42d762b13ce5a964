// Every control a screen reader can land on says what it is: the program's
// windows are walked through Qt's accessibility interfaces, as the AT-SPI
// bridge walks them, and every focusable, visible control must have a name.
#include "accessories/windows/CalculatorWindow.h"
#include "accessories/windows/NotepadWindow.h"
#include "accessories/windows/WorldTimesWindow.h"
#include "app/windows/AlarmsDialog.h"
#include "app/windows/CalendarServerDialog.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "support/ToolWindows.h"
#include "app/windows/RepeatDialog.h"
#include "money/windows/LabelTextDialog.h"
#include "money/windows/LoanWindow.h"
#include "support/Fakes.h"
#include "views/windows/PrintCommands.h"
#include "views/windows/RecordDetailsWindow.h"
#include "views/windows/RemindersWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zp {
namespace {

// The rows and cells of lists and grids hold the plan's own texts, which
// may well be empty; the list or grid itself must have a name.
bool holdsContent(QAccessible::Role role)
{
    return role == QAccessible::Cell || role == QAccessible::ListItem || role == QAccessible::Row ||
           role == QAccessible::TreeItem || role == QAccessible::ColumnHeader || role == QAccessible::RowHeader;
}

void collectUnnamed(QAccessibleInterface* iface, const QString& path, QStringList& unnamed, int depth = 0)
{
    if (!iface || !iface->isValid() || depth > 40)
        return;
    const QAccessible::State state = iface->state();
    if (state.invisible || holdsContent(iface->role()))
        return;
    QObject* object = iface->object();
    const QString here = path + QLatin1Char('/') + (object ? object->objectName() : QString()) + QLatin1Char('(') +
                         QString::number(iface->role(), 16) + QLatin1Char(')');
    if (state.focusable && iface->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << here;
    for (int i = 0; i < iface->childCount(); ++i)
        collectUnnamed(iface->child(i), here, unnamed, depth + 1);
}

QStringList unnamedControls(QWidget* window)
{
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(window), QString(), unnamed);
    return unnamed;
}

class AccessibleNamesTest : public ::testing::Test {
protected:
    AccessibleNamesTest()
    {
        test.clock.set(2026, 12, 7, 22, 52);
        state.settings.startupShow = QStringLiteral("all");
        app.start();
        app.mainWindow()->show();
    }
    TestPlatform test;
    ProgramState state;
    PlannerApp app{state, test.platform()};
};

TEST_F(AccessibleNamesTest, everyFocusableControlOfEveryWindowHasAName)
{
    MainWindow& main = *app.mainWindow();
    auto* pages = main.findChild<QTabWidget*>("SSTab1");
    for (int style : {0, 1}) {
        main.menuAction(style == 0 ? "homeandoffice" : "projectplanning")->trigger();
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            EXPECT_EQ(unnamedControls(&main), QStringList()) << "page " << page << " style " << style;
        }
    }
    showToolWindows(app);
    app.showAbout();
    app.showHelp(QStringLiteral("calculator.html"));
    main.printCommands().openStandardStyle();
    app.remindersWindow()->show();
    app.showRecorder();
    RecordDetailsWindow details;
    details.show();
    LabelTextDialog labelText;
    labelText.show();
    main.openFind();
    AlarmsDialog alarms(AlarmOptions{}, false, true);
    alarms.show();
    FakeHttp http;
    CalendarServerDialog server(http, {});
    server.show();
    PlannerRecord record;
    record[Field::Name] = QStringLiteral("Dentist");
    state.store.insertRecordAt(1, record);
    RepeatDialog repeat;
    repeat.repeat(state.store, 1, [](std::vector<PlannerRecord>) {});
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            EXPECT_EQ(unnamedControls(window), QStringList()) << window->objectName().toStdString();
    }
}

TEST_F(AccessibleNamesTest, picturesAndPanelsAreButtonsNamedForWhatTheyDo)
{
    QWidget* keyword = app.mainWindow()->findChild<QWidget*>("Image2");
    QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(keyword);
    EXPECT_EQ(picture->role(), QAccessible::Button);
    EXPECT_EQ(picture->text(QAccessible::Name), "Highlight keyword entries in Planner list window");
    picture->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_NE(app.keywordWindow(), nullptr);

    app.showLoanWindow();
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(app.loanWindow()->findChild<QWidget*>("Panel3D6"));
    EXPECT_EQ(panel->role(), QAccessible::Button);
    EXPECT_EQ(panel->text(QAccessible::Name), "Click here to show repayment information");
}

TEST_F(AccessibleNamesTest, changingValuesAreInTheirNames)
{
    app.showWorldTimes();
    // The badge shows the name over the time; the name reads them in a line.
    EXPECT_EQ(app.worldTimes()->panel(1)->accessibleName(), "London " + app.worldTimes()->panel(1)->text().section('\n', 1));
    test.clock.set(2026, 12, 7, 23, 1);
    app.worldTimes()->refreshTimes();
    EXPECT_TRUE(app.worldTimes()->panel(1)->accessibleName().endsWith(app.worldTimes()->panel(1)->text().section('\n', 1)));

    app.showCalculator();
    CalculatorWindow* calculator = app.calculator();
    QTest::keyClicks(calculator, QStringLiteral("5"));
    QAccessibleInterface* display = QAccessible::queryAccessibleInterface(calculator->findChild<QLabel*>("Readout"));
    EXPECT_EQ(display->text(QAccessible::Name), "Display 5.");

    QAccessibleInterface* time =
        QAccessible::queryAccessibleInterface(app.mainWindow()->findChild<QLabel*>("StatusBar1Panel1"));
    EXPECT_EQ(time->text(QAccessible::Name), app.mainWindow()->statusPanelText(1));
    EXPECT_EQ(time->text(QAccessible::Description), "Time");
}

} // namespace
} // namespace zp
