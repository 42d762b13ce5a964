#include "app/CommandLine.h"
#include "state/Preferences.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace zp {
namespace {

class AlarmsCommandTest : public ::testing::Test {
protected:
    AlarmsCommandTest()
    {
        // The lead time comes from the user's preferences: here, a folder of our own.
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        plan = dir.filePath("plan.pln");
        QFile f(plan);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Zorvik Planner 3.2 0\r\nenglisheuro\r\n"
                "05/11/1996\r\n10:30\r\nSmith\r\n\r\n\r\nQuote\r\n\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\n"
                "05/11/1996\r\n11:00\r\nDone already\r\n\r\n\r\n\r\n\r\n\r\n1\r\nplandefault\r\nplandefault\r\n\r\n"
                "06/11/1996\r\n\r\nJones\r\n\r\n\r\n\r\n\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\n"
                "plannerend\r\n");
    }
    ~AlarmsCommandTest() override { qunsetenv("XDG_CONFIG_HOME"); }

    QString run(const QStringList& args, int* status = nullptr)
    {
        QString text, errors;
        QTextStream out(&text), err(&errors);
        const int s = runCommandLine(parseCommandLine(args), DateOrder::DayFirst, QDate(2026, 12, 7), out, err);
        out.flush();
        if (status)
            *status = s;
        return text + errors;
    }

    QTemporaryDir dir;
    QString plan;
};

TEST_F(AlarmsCommandTest, listsTheNext24HoursWithTheUsersLeadTime)
{
    int status = -1;
    EXPECT_EQ(run({"--alarms", "--today", "1996-11-05", "--now", "09:00", plan}, &status),
              "1996-11-05 10:20  10:30 Smith\n1996-11-06 08:50  Jones\n");
    EXPECT_EQ(status, 0);
    Preferences prefs;
    prefs.open(preferencesFilePath());
    prefs.setValue(PreferenceKey::AlarmLeadMinutes, 60);
    prefs.sync();
    EXPECT_EQ(run({"--alarms", "--today", "1996-11-05", "--now", "09:40", plan}),
              "1996-11-06 08:00  Jones\n"); // Smith's alarm, at 09:30, has gone
}

TEST_F(AlarmsCommandTest, saysSoWhenNothingIsDueOrAlarmsAreOff)
{
    EXPECT_EQ(run({"--alarms", "--today", "1996-11-07", plan}), "No alarms in the next 24 hours.\n");
    Preferences prefs;
    prefs.open(preferencesFilePath());
    prefs.setValue(PreferenceKey::AlarmsOn, false);
    prefs.sync();
    EXPECT_EQ(run({"--alarms", "--today", "1996-11-05", plan}), "Alarms are switched off (Options > Alarms...).\n");
}

TEST_F(AlarmsCommandTest, nowGoesWithAlarmsOnlyAndTakesATime)
{
    int status = 0;
    EXPECT_EQ(run({"--list", "--now", "09:00", plan}, &status), "zorvik-planner: --now goes with --alarms\n");
    EXPECT_EQ(status, 2);
    EXPECT_EQ(run({"--alarms", "--now", "9 o'clock", plan}, &status), "zorvik-planner: --now takes a time such as 09:30\n");
}

TEST_F(AlarmsCommandTest, trayStartsTheWindowsAndGoesWithNothingElse)
{
    const CommandLine tray = parseCommandLine({"--tray", plan});
    EXPECT_EQ(tray.command, CommandLine::Command::Gui);
    EXPECT_TRUE(tray.startInTray);
    EXPECT_EQ(run({"--tray", "--alarms", plan}), "zorvik-planner: --tray goes with no other command\n");
}

} // namespace
} // namespace zp
