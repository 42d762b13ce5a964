#include "app/windows/MainWindow.h"
#include "support/Fakes.h"

#include <QAction>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zp {
namespace {

class DateStyleWindowTest : public ::testing::Test {
protected:
    DateStyleWindowTest()
    {
        test.clock.set(2026, 12, 7, 9, 0);
        test.dateOrder.order = DateOrder::DayFirst;
        const QString path = dir.filePath("work.pln");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("Zorvik Planner 3.2 0\r\nenglisheuro\r\n"
                "13/02/1996\r\n\r\nSmith\r\n\r\n\r\n\r\n\r\n\r\n0\r\nplandefault\r\nplandefault\r\n20/02/1996\r\n"
                "plannerend\r\n");
        f.close();
        state.commandLinePlan = path;
        window = std::make_unique<MainWindow>(state, test.platform());
        window->initialise();
        window->readStartupPlan();
        window->rebuildRecordsList();
    }
    QString firstLine()
    {
        auto* list = window->findChild<QListView*>("Viewlist");
        return list->model()->index(0, 0).data().toString();
    }
    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    std::unique_ptr<MainWindow> window;
};

TEST_F(DateStyleWindowTest, systemOrderChange_convertsTheLoadedPlanWithinOneTick)
{
    EXPECT_EQ(firstLine(), "13/02/1996,  - Smith, (Pending) ");
    window->tickTimer1(); // nothing changed: nothing converts
    EXPECT_EQ(state.store.field(Field::StartDate, 1), "13/02/1996");

    test.dateOrder.order = DateOrder::MonthFirst;
    window->tickTimer1();
    EXPECT_EQ(state.store.systemDateStyle, "american");
    EXPECT_EQ(state.store.fileDateStyle, "american");
    EXPECT_EQ(state.store.field(Field::StartDate, 1), "02/13/1996");
    EXPECT_EQ(state.store.field(Field::FinishDate, 1), "02/20/1996");
    EXPECT_EQ(firstLine(), "02/13/1996,  - Smith, (Pending) ");
    EXPECT_TRUE(window->menuAction("American")->isChecked());

    window->tickTimer1(); // converted once only
    EXPECT_EQ(state.store.field(Field::StartDate, 1), "02/13/1996");
}

TEST_F(DateStyleWindowTest, displayModeItems_tickTheChoiceAndRebuildTheList)
{
    window->menuAction("Namme")->trigger();
    EXPECT_EQ(state.settings.displayMode, "sortbyname");
    EXPECT_EQ(firstLine(), "Smith, 13/02/1996 (Pending) ");
    for (const char* name : {"Datte", "Taskk", "Dayy"})
        EXPECT_FALSE(window->menuAction(name)->isChecked()) << name;
    EXPECT_TRUE(window->menuAction("Namme")->isChecked());
    window->menuAction("Dayy")->trigger();
    EXPECT_EQ(firstLine(), "Tuesday, 13/02/1996 Smith (Pending) ");
    EXPECT_FALSE(window->menuAction("Namme")->isChecked());
}

} // namespace
} // namespace zp
