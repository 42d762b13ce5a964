#include "app/SettingsFile.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "support/Fakes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zp {
namespace {

QList<QByteArray> fileLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = f.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& l : lines)
        l.chop(l.endsWith('\r') ? 1 : 0);
    return lines;
}

class SettingsStartupTest : public ::testing::Test {
protected:
    SettingsStartupTest()
    {
        test.clock.set(2026, 12, 7, 9, 0);
        state.settingsPath = dir.filePath("zorvik-planner/PLANNER.INI");
    }
    std::unique_ptr<PlannerApp> startApp()
    {
        auto app = std::make_unique<PlannerApp>(state, test.platform());
        app->start();
        return app;
    }
    QString writePlan(const char* name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
};

TEST_F(SettingsStartupTest, firstStart_quietlyUsesDefaultsAndExitWritesTheFile)
{
    auto app = startApp();
    EXPECT_EQ(test.messages.count(), 0);
    EXPECT_EQ(state.settings.displayMode, "sortbydate");
    EXPECT_EQ(app->mainWindow()->statusPanelText(4), "New Plan");

    // Two thirds of the 1024 x 768 screen, centred, instead of the tiny
    // stored default; the status bar sits inside the window.
    MainWindow* window = app->mainWindow();
    EXPECT_NEAR(window->width(), 683, 2);
    EXPECT_NEAR(window->height(), 512, 25);
    EXPECT_NEAR(window->frameGeometry().center().x(), 512, 20);
    QWidget* bar = window->findChild<QWidget*>("StatusBar1");
    EXPECT_LE(bar->mapTo(window, QPoint(0, bar->height())).y(), window->height());

    app->mainWindow()->exitProgram(true);
    const QList<QByteArray> lines = fileLines(state.settingsPath);
    ASSERT_EQ(lines.size(), 106);
    EXPECT_EQ(lines[0], "Zorvik Planner 3.2");
    EXPECT_EQ(lines[1], "1");
    EXPECT_EQ(test.messages.count(), 0);
}

// A settings file that is there but cannot be used is told about once,
// naming the file, and replaced at exit.
TEST_F(SettingsStartupTest, unusableSettingsFile_isNamedInTheStartupMessage)
{
    QDir().mkpath(dir.filePath("zorvik-planner"));
    writePlan("zorvik-planner/PLANNER.INI", "Some other program 1.0\r\nwith its own lines\r\n");
    auto app = startApp();
    ASSERT_EQ(test.messages.count(), 1);
    EXPECT_EQ(test.messages.calls[0].title, "Zorvik Planner Startup");
    EXPECT_EQ(test.messages.calls[0].style, 48);
    EXPECT_TRUE(test.messages.calls[0].text.contains("Check the file " + state.settingsPath + "."))
        << test.messages.calls[0].text.toStdString();
    app->mainWindow()->exitProgram(true);
    EXPECT_EQ(fileLines(state.settingsPath).value(0), "Zorvik Planner 3.2");
}

TEST_F(SettingsStartupTest, secondStart_reopensThePlanAndTheChoicesOfTheFirst)
{
    const QString plan = writePlan("work.pln", "Zorvik Planner 3.2 0\r\nenglisheuro\r\n"
                                               "05/11/1996\r\n10:30\r\nSmith\r\n\r\n\r\nQuote\r\n\r\n\r\n0\r\n"
                                               "plandefault\r\nplandefault\r\n\r\nplannerend\r\n");
    {
        state.commandLinePlan = plan;
        auto app = startApp();
        EXPECT_EQ(state.store.recordCount(), 1);
        app->mainWindow()->menuAction("Namme")->trigger();
        app->mainWindow()->menuAction("Keepbackups")->trigger();
        app->mainWindow()->exitProgram(false);
    }
    ProgramState second;
    second.settingsPath = state.settingsPath;
    PlannerApp app(second, test.platform());
    test.messages.clear();
    app.start();
    EXPECT_EQ(test.messages.count(), 0);
    EXPECT_EQ(second.store.planFileName, plan);
    EXPECT_EQ(second.store.recordCount(), 1);
    EXPECT_EQ(second.settings.displayMode, "sortbyname");
    EXPECT_TRUE(app.mainWindow()->menuAction("Namme")->isChecked());
    EXPECT_TRUE(app.mainWindow()->menuAction("Keepbackups")->isChecked());
    auto* list = app.mainWindow()->findChild<QListView*>("Viewlist");
    ASSERT_EQ(list->model()->rowCount(), 1);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "Smith, Quote 05/11/1996 10:30 (Pending) ");
}

TEST_F(SettingsStartupTest, commandLinePlan_winsOverTheRememberedOne)
{
    const QString remembered = writePlan("old.pln", "Zorvik Planner 3.2 0\r\nenglisheuro\r\nplannerend\r\n");
    const QString asked = writePlan("new.pln", "Zorvik Planner 3.2 1\r\nenglisheuro\r\n"
                                               "\r\n\r\nJones\r\n\r\n\r\n\r\n\r\n\r\n1\r\nplandefault\r\nplandefault\r\n\r\n"
                                               "plannerend\r\n");
    state.store.planFileName = remembered;
    {
        auto app = startApp();
        app->mainWindow()->exitProgram(true);
    }
    ProgramState second;
    second.settingsPath = state.settingsPath;
    second.commandLinePlan = asked;
    PlannerApp app(second, test.platform());
    app.start();
    EXPECT_EQ(second.store.planFileName, asked);
    EXPECT_EQ(second.store.recordCount(), 1);
    EXPECT_EQ(second.store.editStyle, EditStyle::ProjectPlanning);
    EXPECT_TRUE(app.mainWindow()->menuAction("projectplanning")->isChecked());
    EXPECT_FALSE(app.mainWindow()->menuAction("homeandoffice")->isChecked());
    EXPECT_EQ(app.mainWindow()->windowTitle(), "Zorvik Planner 3.2  -  " + asked);
}

TEST_F(SettingsStartupTest, unreadableStartupPlan_leavesAnUntitledEmptyPlan)
{
    state.commandLinePlan = writePlan("notes.txt", "Shopping: bread, milk, eggs and more things\n");
    auto app = startApp();
    EXPECT_EQ(test.messages.calls.back().text, "File is not a Zorvik Planner file");
    EXPECT_EQ(state.store.planFileName, "");
    EXPECT_EQ(state.store.recordCount(), 0);
    EXPECT_EQ(app->mainWindow()->statusPanelText(4), "New Plan");
    // Not forgotten: the next start tries it again.
    app->mainWindow()->exitProgram(true);
    EXPECT_EQ(fileLines(state.settingsPath).value(2), state.commandLinePlan.toUtf8());
}

TEST_F(SettingsStartupTest, saveSettingsOff_keepsLines3To106AsTheyWere)
{
    {
        auto app = startApp();
        app->mainWindow()->exitProgram(true);
    }
    const QList<QByteArray> before = fileLines(state.settingsPath);
    ProgramState second;
    second.settingsPath = state.settingsPath;
    PlannerApp app(second, test.platform());
    app.start();
    MainWindow& w = *app.mainWindow();
    w.menuAction("Saveonexit")->trigger();
    w.menuAction("Dayy")->trigger();
    w.move(w.x() + 40, w.y() + 30);
    w.exitProgram(true);
    const QList<QByteArray> after = fileLines(state.settingsPath);
    ASSERT_EQ(after.size(), 106);
    EXPECT_EQ(after[1], "0");
    EXPECT_EQ(after.mid(2), before.mid(2));
}

TEST_F(SettingsStartupTest, settingsThatCannotBeWritten_areReportedByExitPath)
{
    QFile blocker(dir.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    state.settingsPath = dir.filePath("blocked/PLANNER.INI");
    {
        auto app = startApp();
        test.messages.clear();
        app->mainWindow()->exitProgram(true);
        ASSERT_EQ(test.messages.count(), 1);
        EXPECT_EQ(test.messages.calls[0].text, kSettingsWriteFailedExitMenu.arg(state.settingsPath));
        EXPECT_EQ(test.messages.calls[0].title, "Zorvik Planner Exit");
    }
    ProgramState second;
    second.settingsPath = state.settingsPath;
    PlannerApp app(second, test.platform());
    app.start();
    test.messages.clear();
    app.mainWindow()->close();
    ASSERT_EQ(test.messages.count(), 1);
    EXPECT_EQ(test.messages.calls[0].title, "Zorvik Planner Settings");
    EXPECT_TRUE(test.messages.calls[0].text.endsWith("Check the file " + state.settingsPath));
}

TEST_F(SettingsStartupTest, placeOffEveryScreen_isBroughtBackWhenShown)
{
    {
        auto app = startApp();
        app->mainWindow()->exitProgram(true);
    }
    QList<QByteArray> lines = fileLines(state.settingsPath);
    lines[20] = " 90000 "; // top of the main window, far below any screen
    lines[21] = " 90000 ";
    QFile f(state.settingsPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(lines.join("\r\n") + "\r\n");
    f.close();

    ProgramState second;
    second.settingsPath = state.settingsPath;
    PlannerApp app(second, test.platform());
    app.start();
    EXPECT_EQ(second.settings.placement(PlacementRow::Main).top, 90000);
    const QRect g = app.mainWindow()->twipsGeometry();
    EXPECT_LT(g.y(), 90000);
    EXPECT_LT(g.x(), 90000);
}

} // namespace
} // namespace zp
