#include "app/Autostart.h"
#include "app/windows/AlarmsDialog.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PlannerAlarms.h"
#include "app/windows/PlannerApp.h"
#include "views/windows/RecordDetailsWindow.h"
#include "support/Fakes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord record(const QString& time, const QString& name)
{
    PlannerRecord r;
    r.fields[Field::StartDate] = QStringLiteral("07/12/2026");
    r.fields[Field::Time] = time;
    r.fields[Field::Name] = name;
    return r;
}

class PlannerAlarmsTest : public ::testing::Test {
protected:
    PlannerAlarmsTest()
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        test.clock.set(2026, 12, 7, 9, 0);
        app.start();
        state.store.replaceAll({record("10:00", "Dentist"), record("11:00", "Call Smith"), record("12:00", "Lunch"),
                                record("13:00", "Walk")});
    }
    ~PlannerAlarmsTest() override
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
        QApplication::setQuitOnLastWindowClosed(true);
        qunsetenv("XDG_CONFIG_HOME");
    }
    std::unique_ptr<PlannerAlarms> alarms(bool trayAvailable)
    {
        auto a = std::make_unique<PlannerAlarms>(app, state, test.platform(), notifications, trayAvailable);
        a->start(false);
        return a;
    }
    QStringList menuTexts(QMenu* menu)
    {
        QStringList out;
        for (QAction* a : menu->actions())
            out << (a->isSeparator() ? QStringLiteral("--") : a->text());
        return out;
    }
    QTimer* timer1() { return app.mainWindow()->findChild<QTimer*>(QStringLiteral("Timer1")); }

    QTemporaryDir dir;
    TestPlatform test;
    FakeNotifications notifications;
    ProgramState state;
    PlannerApp app{state, test.platform()};
};

TEST_F(PlannerAlarmsTest, trayMenuHasShowTheNextThreeAlarmsAndExit)
{
    auto a = alarms(false);
    a->refreshTrayMenu();
    EXPECT_EQ(menuTexts(a->trayMenu()), QStringList({"&Show", "--", "Mon 09:50  10:00 Dentist", "Mon 10:50  11:00 Call Smith",
                                                     "Mon 11:50  12:00 Lunch", "--", "E&xit"}));
    a->trayMenu()->findChild<QAction*>(QStringLiteral("trayShow"))->trigger();
    EXPECT_TRUE(app.mainWindow()->isVisible());
    QSignalSpy finished(&app, &PlannerApp::finished);
    a->trayMenu()->findChild<QAction*>(QStringLiteral("trayExit"))->trigger();
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(PlannerAlarmsTest, keptInTheTrayClosingTheWindowHidesItAndStopsItsTimers)
{
    state.preferences.setValue(PreferenceKey::KeepInTray, true);
    auto a = alarms(true);
    app.showPlanner();
    QSignalSpy finished(&app, &PlannerApp::finished);
    app.mainWindow()->close();
    EXPECT_FALSE(app.mainWindow()->isVisible());
    EXPECT_EQ(finished.count(), 0);
    for (QTimer* t : app.mainWindow()->findChildren<QTimer*>()) // an idle planner hardly wakes
        EXPECT_TRUE(t->isSingleShot() || !t->isActive()) << t->objectName().toStdString();
    a->trayMenu()->findChild<QAction*>(QStringLiteral("trayShow"))->trigger();
    EXPECT_TRUE(app.mainWindow()->isVisible());
    EXPECT_TRUE(timer1()->isActive());
}

TEST_F(PlannerAlarmsTest, withoutATrayClosingTheWindowEndsTheProgram)
{
    state.preferences.setValue(PreferenceKey::KeepInTray, true);
    auto a = alarms(false);
    app.showPlanner();
    QSignalSpy finished(&app, &PlannerApp::finished);
    app.mainWindow()->close();
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(PlannerAlarmsTest, withoutNotificationsTheDetailsWindowShowsTheRecord_openMakesItCurrent)
{
    notifications.up = false;
    auto a = alarms(false);
    test.clock.set(2026, 12, 7, 9, 50);
    a->watch().check();
    ASSERT_NE(a->detailsWindow(), nullptr);
    EXPECT_TRUE(a->detailsWindow()->isVisible());
    EXPECT_TRUE(a->detailsWindow()->text().startsWith(QStringLiteral("Planner Record Info:\nNo.  1\n")));
    EXPECT_TRUE(a->detailsWindow()->text().contains(QStringLiteral("Dentist")));

    notifications.up = true;
    test.clock.set(2026, 12, 7, 10, 50);
    a->watch().check();
    notifications.invoke(notifications.lastId(), kOpenAction);
    EXPECT_TRUE(app.mainWindow()->isVisible());
    EXPECT_EQ(state.store.currentRecord, 2);
}

TEST_F(PlannerAlarmsTest, theOptionsDialogSavesTheChoicesAndWritesTheLoginEntry)
{
    auto a = alarms(false);
    a->setDialogHook([](QDialog& d) {
        auto* lead = d.findChild<QComboBox*>(QStringLiteral("leadTime"));
        lead->setCurrentIndex(lead->findData(60));
        d.findChild<QCheckBox*>(QStringLiteral("startAtLogin"))->setChecked(true);
        EXPECT_FALSE(d.findChild<QCheckBox*>(QStringLiteral("keepInTray"))->isEnabled()); // no tray here
        d.accept();
    });
    app.mainWindow()->menuAction(QStringLiteral("Alarms"))->trigger();
    EXPECT_EQ(state.preferences.value(PreferenceKey::AlarmLeadMinutes).toInt(), 60);
    EXPECT_EQ(a->watch().upcoming(1).at(0), std::make_pair(QDateTime(QDate(2026, 12, 7), QTime(10, 0)), QStringLiteral("11:00 Call Smith")));
    ASSERT_TRUE(startsAtLogin());
    QFile entry(autostartFilePath());
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("zorvik-planner --tray\n"));
    a->setDialogHook([](QDialog& d) {
        d.findChild<QCheckBox*>(QStringLiteral("startAtLogin"))->setChecked(false);
        d.accept();
    });
    app.mainWindow()->menuAction(QStringLiteral("Alarms"))->trigger();
    EXPECT_FALSE(QFile::exists(autostartFilePath()));
}

TEST(Autostart, anExecPathWithBlanksIsQuoted)
{
    EXPECT_TRUE(autostartEntryText(QStringLiteral("/opt/my apps/zorvik-planner"))
                    .contains(QStringLiteral("\nExec=\"/opt/my apps/zorvik-planner\" --tray\n")));
    EXPECT_TRUE(autostartEntryText(QStringLiteral("/usr/bin/zorvik-planner")).contains(QStringLiteral("\nExec=/usr/bin/zorvik-planner --tray\n")));
}

} // namespace
} // namespace zp
