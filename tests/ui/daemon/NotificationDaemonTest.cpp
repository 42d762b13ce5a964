// Alarms through a real notification daemon: a private X server (Xvfb), a
// private session bus and dunst, read back with `dunstctl history` and
// answered with `dunstctl action` and `dunstctl context`. Skipped, saying
// why, when any of them is missing or does not start.
#include "ui/DBusNotifications.h"
#include "views/AlarmWatch.h"
#include "support/Fakes.h"
#include "support/WaitForProcess.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace zp {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");

class NotificationDaemonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "dbus-daemon", "dunst", "dunstctl"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        display = firstLine(xvfb, "Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        if (display.isEmpty())
            GTEST_SKIP() << "Xvfb did not start";
        // A bus that starts no services of its own: a daemon that is gone
        // stays gone until the test starts it again.
        const QString config = dir.filePath("bus.conf");
        writeFile(config, "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                          "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                          "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                          "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                          "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        address = firstLine(bus, "dbus-daemon", {"--config-file", config, "--nofork", "--print-address=1"});
        if (address.isEmpty())
            GTEST_SKIP() << "dbus-daemon did not start";
        env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", ":" + display);
        env.insert("DBUS_SESSION_BUS_ADDRESS", address);
        env.insert("HOME", dir.path());
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        // dunst asks this for the action the user picks from a notification's menu.
        writeFile(dir.filePath("pick"), "#!/bin/sh\ngrep -m1 \"$(cat " + dir.filePath("choice").toUtf8() + ")\"\n");
        QFile::setPermissions(dir.filePath("pick"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile(dir.filePath("dunstrc"), "[global]\n    dmenu = " + dir.filePath("pick").toUtf8() + "\n    markup = full\n");
        connection = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, QStringLiteral("alarms-test")));
        if (!connection->isConnected() || !startDunst())
            GTEST_SKIP() << "dunst did not start on the private bus";
        notifications = std::make_unique<DBusNotifications>(QStringLiteral("Zorvik Planner"), QStringLiteral("org.zorvik.Planner"),
                                                            QImage(), *connection);
        clock.set(1996, 11, 5, 10, 0);
        state.store.replaceAll({record("10:30", "Dentist", "Bring the card"), record("12:00", "Lunch", "With Smith")});
        watch = std::make_unique<AlarmWatch>(state, clock, *notifications);
        watch->setHooks({[this](int i) { opened.push_back(i); }, [this](int i) { details.push_back(i); }, {}, {}});
        watch->start(QDateTime());
    }

    void TearDown() override
    {
        watch.reset();
        notifications.reset();
        if (connection)
            QDBusConnection::disconnectFromBus(QStringLiteral("alarms-test"));
        for (QProcess* p : {&dunst, &bus, &xvfb}) {
            p->kill();
            p->waitForFinished(5000);
        }
    }

    static PlannerRecord record(const QString& time, const QString& name, const QString& message)
    {
        PlannerRecord r;
        r.fields[Field::StartDate] = QStringLiteral("05/11/1996");
        r.fields[Field::Time] = time;
        r.fields[Field::Name] = name;
        r.fields[Field::Message] = message;
        return r;
    }
    static void writeFile(const QString& path, const QByteArray& text)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QString firstLine(QProcess& process, const QString& program, const QStringList& args)
    {
        process.start(program, args);
        if (!process.waitForStarted(10000) || !waitForOtherProcess([&] { return process.canReadLine(); }))
            return QString();
        return QString::fromUtf8(process.readLine()).trimmed();
    }
    bool startDunst()
    {
        dunst.setProcessEnvironment(env);
        dunst.start(QStringLiteral("dunst"), {"-config", dir.filePath("dunstrc")});
        return waitForOtherProcess([&] { return connection->interface()->isServiceRegistered(kService).value(); });
    }
    QString dunstctl(const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("dunstctl"), args);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // What dunst keeps of the notifications that were closed, newest first.
    QList<QPair<QString, QString>> history()
    {
        QList<QPair<QString, QString>> out;
        const QJsonArray list = QJsonDocument::fromJson(dunstctl({"history"}).toUtf8())["data"].toArray().at(0).toArray();
        for (const QJsonValue& n : list)
            out.append({n["summary"]["data"].toString(), n["body"]["data"].toString()});
        return out;
    }
    int displayed() { return dunstctl({"count", "displayed"}).trimmed().toInt(); }
    void at(int h, int m)
    {
        clock.set(1996, 11, 5, h, m);
        watch->check();
    }

    QTemporaryDir dir;
    QProcess xvfb, bus, dunst;
    QString display, address;
    QProcessEnvironment env;
    std::unique_ptr<QDBusConnection> connection;
    std::unique_ptr<DBusNotifications> notifications;
    ProgramState state;
    FakeClock clock;
    std::unique_ptr<AlarmWatch> watch;
    std::vector<int> opened, details;
};

TEST_F(NotificationDaemonTest, anAlarmShowsItsTextAndOpenShowsTheRecord)
{
    EXPECT_TRUE(notifications->available());
    at(10, 20);
    ASSERT_TRUE(waitForOtherProcess([&] { return displayed() == 1; }));
    dunstctl({"action", "0"}); // the notification's default action: Open
    ASSERT_TRUE(waitForOtherProcess([&] { return !opened.empty(); }));
    EXPECT_EQ(opened, std::vector<int>({1}));
    // Opened, it is closed and goes to the daemon's history.
    ASSERT_TRUE(waitForOtherProcess([&] { return history().size() == 1; }));
    EXPECT_EQ(history().at(0), qMakePair(QStringLiteral("10:30 Dentist"), QStringLiteral("Bring the card")));
}

TEST_F(NotificationDaemonTest, snoozeFromTheNotificationsMenuBringsItBackTenMinutesLater)
{
    writeFile(dir.filePath("choice"), "Snooze (12:00 Lunch)");
    at(11, 50); // the Dentist's alarm too
    ASSERT_TRUE(waitForOtherProcess([&] { return displayed() == 2; }));
    dunstctl({"context"});
    ASSERT_TRUE(waitForOtherProcess([&] { return displayed() == 1; }));
    dunstctl({"close-all"});
    at(11, 59);
    at(12, 0);
    ASSERT_TRUE(waitForOtherProcess([&] { return displayed() == 1; }));
    dunstctl({"close-all"});
    ASSERT_TRUE(waitForOtherProcess([&] { return history().size() == 3; }));
    const auto shown = history();
    EXPECT_EQ(shown.at(0).first, QStringLiteral("12:00 Lunch"));
    EXPECT_EQ(shown.count(qMakePair(QStringLiteral("12:00 Lunch"), QStringLiteral("With Smith"))), 2);
    EXPECT_TRUE(details.empty());
}

TEST_F(NotificationDaemonTest, aDaemonThatGoesAwayLeavesTheDetailsWindow_andIsUsedAgainWhenBack)
{
    dunst.kill();
    dunst.waitForFinished(10000);
    ASSERT_TRUE(waitForOtherProcess([&] { return !notifications->available(); }));
    at(10, 20);
    EXPECT_EQ(details, std::vector<int>({1}));
    ASSERT_TRUE(startDunst());
    ASSERT_TRUE(waitForOtherProcess([&] { return notifications->available(); }));
    at(11, 50);
    ASSERT_TRUE(waitForOtherProcess([&] { return displayed() == 1; }));
    EXPECT_EQ(details, std::vector<int>({1}));
}

} // namespace
} // namespace zp
