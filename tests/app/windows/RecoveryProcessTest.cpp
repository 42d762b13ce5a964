// The planner as a process of its own, ended by real signals: killed
// outright while a change is unsaved, then started again; or asked to end
// by a termination signal with a change unsaved.

#include "plan/FileCommands.h"
#include "plan/PlanFile.h"
#include "plan/Recovery.h"
#include "plan/RecordStore.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include "support/WaitForProcess.h"

#include <csignal>

namespace zp {
namespace {

struct PlannerProcessRun {
    QTemporaryDir dir;
    QString plan = dir.filePath("work.pln");
    QString recovery = dir.filePath("recovery");
    QString settings = dir.filePath("PLANNER.INI");
    QString copy() const { return QDir(recovery).filePath(recoveryFileName(plan)); }

    PlannerProcessRun()
    {
        RecordStore store;
        store.replaceAll({PlannerRecord::fromList({QStringLiteral("05/11/1996"), QStringLiteral("10:30"), QStringLiteral("Smith")})});
        EXPECT_EQ(writePlanFile(plan, store).status, PlanWriteStatus::Written);
        EXPECT_TRUE(QFile::copy(QStringLiteral(ZORVIK_TEST_FIXTURES "/default_planner.ini"), settings));
        QFile::setPermissions(settings, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void start(QProcess& process, const QStringList& options) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ZORVIK_PLANNER_PROCESS), QStringList{plan, recovery, settings} + options);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // A whole run that ends by itself; returns what it printed.
    QString runToEnd(const QStringList& options) const
    {
        QProcess process;
        start(process, options);
        EXPECT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }
};

// Reads what the process prints until `token` appears (or it stops printing).
bool waitForOutput(QProcess& process, const QByteArray& token, QByteArray& printed)
{
    while (!printed.contains(token) && process.waitForReadyRead(20000))
        printed += process.readAllStandardOutput();
    return printed.contains(token);
}

QString recordNameInCopy(const QString& copy)
{
    RecordStore recovered;
    if (!readPlanFile(copy, recovered, DateOrder::DayFirst).loaded())
        return QStringLiteral("(no readable copy)");
    return recovered.field(Field::Name, 1);
}

TEST(RecoveryProcess, killedWhileModified_theNextStartOffersTheCopy_declinedItStays_acceptedItRestores)
{
    PlannerProcessRun run;
    QProcess first;
    run.start(first, {"--edit", "Unsaved", "--tick", "100"});
    ASSERT_TRUE(waitForOtherProcess([&] { return QFile::exists(run.copy()); })) << "no recovery copy was written";
    ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(QFile::exists(FileCommands::lockFilePath(run.plan))) << "a killed program leaves its lock";

    // The dead owner's lock is taken over without a question; the only
    // question is the offer of the copy.
    const QString offer = "asked: Restore the unsaved changes to " + run.plan + " from ";
    const QString declined = run.runToEnd({"--answer", "no"});
    EXPECT_EQ(declined.count("asked: "), 1) << declined.toStdString();
    EXPECT_TRUE(declined.contains(offer)) << declined.toStdString();
    EXPECT_TRUE(declined.contains("The saved copy holds 1 record.")) << declined.toStdString();
    EXPECT_TRUE(declined.contains("record: Smith\nmodified: 0")) << declined.toStdString();
    EXPECT_EQ(recordNameInCopy(run.copy()), "Unsaved") << "declining keeps the copy";

    const QString accepted = run.runToEnd({"--answer", "yes"});
    EXPECT_TRUE(accepted.contains(offer)) << accepted.toStdString();
    EXPECT_TRUE(accepted.contains("record: Unsaved\nmodified: 1")) << accepted.toStdString();
}

TEST(RecoveryProcess, terminationSignalWhileModified_writesTheCopy_savesSettings_releasesTheLock)
{
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        PlannerProcessRun run;
        QProcess program;
        run.start(program, {"--edit", "Unsaved"});
        QByteArray printed;
        while (!printed.contains("edited") && program.waitForReadyRead(20000))
            printed += program.readAllStandardOutput();
        ASSERT_TRUE(printed.contains("edited")) << printed.toStdString();
        ::kill(static_cast<pid_t>(program.processId()), signal);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_EQ(recordNameInCopy(run.copy()), "Unsaved");
        QFile settings(run.settings);
        ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
        EXPECT_TRUE(settings.readAll().contains(QFile::encodeName(run.plan))) << "the settings were not written";
        EXPECT_FALSE(QFile::exists(FileCommands::lockFilePath(run.plan)));
    }
}

// A calendar of 50,000 events takes the reader long enough for a signal
// to come during it; the read stops and the end goes on in order.
TEST(RecoveryProcess, terminationSignalDuringALongImport_stopsIt_writesTheCopy_releasesTheLock)
{
    PlannerProcessRun run;
    const QString calendar = run.dir.filePath("big.ics");
    {
        QFile file(calendar);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//EN\r\n");
        for (int i = 0; i < 50000; ++i)
            file.write(QStringLiteral("BEGIN:VEVENT\r\nUID:e%1\r\nDTSTART;VALUE=DATE:%2\r\nSUMMARY:Event %1\r\nEND:VEVENT\r\n")
                           .arg(i)
                           .arg(QDate(2000, 1, 1).addDays(i).toString("yyyyMMdd"))
                           .toLatin1());
        file.write("END:VCALENDAR\r\n");
    }
    QProcess program;
    run.start(program, {"--edit", "Unsaved", "--import", calendar});
    QByteArray printed;
    ASSERT_TRUE(waitForOutput(program, "importing", printed)) << printed.toStdString();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    RecordStore recovered;
    ASSERT_TRUE(readPlanFile(run.copy(), recovered, DateOrder::DayFirst).loaded());
    EXPECT_EQ(recovered.recordCount(), 1) << "nothing of the import may reach the copy";
    EXPECT_EQ(recovered.field(Field::Name, 1), "Unsaved");
    EXPECT_FALSE(QFile::exists(FileCommands::lockFilePath(run.plan)));
}

// An X server of the test's own, on the first free display from :90.
struct PrivateXServer {
    QProcess server;
    QString display;
    PrivateXServer()
    {
        for (int n = 90; n < 140 && display.isEmpty(); ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) || QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
                continue;
            server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
            if (!server.waitForStarted(5000))
                return;
            if (waitForOtherProcess([&] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) || server.state() == QProcess::NotRunning; }, 10000)
                && server.state() == QProcess::Running)
                display = QStringLiteral(":%1").arg(n);
        }
    }
    ~PrivateXServer()
    {
        if (server.state() != QProcess::NotRunning) {
            server.kill();
            server.waitForFinished(5000);
        }
    }
};

// The display going away takes the process with it (Qt ends it from inside
// its event loop); the unsaved change still reaches the recovery folder.
TEST(RecoveryProcess, displayGoneWhileModified_leavesTheCopy_andReleasesTheLock)
{
    PrivateXServer x;
    if (x.display.isEmpty())
        GTEST_SKIP() << "Xvfb could not be started (scripts/install-deps installs it)";
    PlannerProcessRun run;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("DISPLAY", x.display);
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(ZORVIK_PLANNER_PROCESS), QStringList{run.plan, run.recovery, run.settings, "--edit", "Unsaved"});
    QByteArray printed;
    ASSERT_TRUE(waitForOutput(program, "edited", printed)) << printed.toStdString();
    x.server.terminate();
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(recordNameInCopy(run.copy()), "Unsaved");
    EXPECT_FALSE(QFile::exists(FileCommands::lockFilePath(run.plan)));
}

} // namespace
} // namespace zp
