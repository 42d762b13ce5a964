// The real `zorvik-planner` command, run as a user runs it: the terminal
// commands it runs itself print what the program's own routines print, and
// without the full program beside it, it says so. (--pdf, which it hands to
// the full program, is checked in PdfCommandTest.)

#include "app/CommandLine.h"
#include "support/WaitForProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace zp {
namespace {

struct Output {
    int status = -1;
    QString out;
    QString err;
};

class CommandProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    Output run(const QString& program, const QStringList& arguments, const QString& display = QString()) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (display.isEmpty())
            env.remove(QStringLiteral("DISPLAY"));
        else
            env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(program, arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

    QString smallPlan() const
    {
        const QString path = dir.filePath(QStringLiteral("small.pln"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Zorvik Planner 3.2 0\r\nenglisheuro\r\n"
                "05/11/1996\r\n10:30\r\nSmith\r\n432\r\n\r\nQuote\r\n120\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\n"
                "13/02/1997\r\n\r\nJones\r\n\r\n555 1234\r\n\r\n\r\n40\r\n1\r\nplandefault\r\nplandefault\r\n\r\n"
                "plannerend\r\n");
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(CommandProgramTest, terminalCommandsPrintWhatTheProgramsRoutinesPrint)
{
    const QString plan = smallPlan();
    const QString program = QStringLiteral(ZORVIK_PLANNER_BINARY);
    const QStringList cases[] = {
        {"--reminders", "--today", "1996-11-04", "--date-order", "dmy", plan},
        {"--reminders", "--today", "1997-02-12", "--date-order", "mdy", plan},
        {"--list", "--mode", "name", "--date-order", "mdy", plan},
        {"--ledger", "--date-order", "dmy", plan},
        {"--version"},
        {"--list", "--date-order", "dmy", dir.filePath(QStringLiteral("missing.pln"))},
        {"--list", "--date-order", "dmy", QCoreApplication::applicationFilePath()},
        {"--bogus"},
    };
    SystemFacts facts;
    facts.programDirectory = QFileInfo(program).absolutePath();
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        Output expected;
        QTextStream out(&expected.out), err(&expected.err);
        expected.status = runCommandLine(parseCommandLine(arguments), DateOrder::DayFirst, QDate(2026, 12, 7), out, err,
                                         std::nullopt, facts);
        out.flush();
        err.flush();
        const Output got = run(program, arguments);
        EXPECT_EQ(got.status, expected.status);
        EXPECT_EQ(got.out, expected.out);
        EXPECT_EQ(got.err, expected.err);
    }
}

TEST_F(CommandProgramTest, infoTellsTheDisplaysScreenModeAndNoneWithoutOne)
{
    const QString plan = smallPlan();
    const QString program = QStringLiteral(ZORVIK_PLANNER_BINARY);
    EXPECT_TRUE(run(program, {"--info", plan}).out.contains("\nScreen Mode: none\n"));
    EXPECT_TRUE(run(program, {"--info", plan}, QStringLiteral(":97531")).out.contains("\nScreen Mode: none\n"));

    // A display of our own, on a number the server picks.
    QProcess server;
    server.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    if (!server.waitForStarted(10000) || !server.waitForReadyRead(10000))
        GTEST_SKIP() << "Xvfb cannot start here; the display case is not checked";
    const QString display = QStringLiteral(":") + QString::fromLatin1(server.readLine().trimmed());
    const Output shown = run(program, {"--info", plan}, display);
    server.terminate();
    server.waitForFinished(5000);
    EXPECT_TRUE(shown.out.contains("\nScreen Mode:  1024x 768\n")) << shown.out.toStdString();
}

TEST_F(CommandProgramTest, withoutTheFullProgramTheWindowsAndPdfFailWithAClearMessage)
{
    const QString bin = dir.filePath(QStringLiteral("alone/bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    const QString command = bin + QStringLiteral("/zorvik-planner");
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZORVIK_PLANNER_BINARY), command));
    const QString plan = smallPlan();
    const QString expected = QStringLiteral("zorvik-planner: cannot start the windows: ") + dir.filePath(QStringLiteral("alone")) +
                             QStringLiteral("/libexec/zorvik-planner/zorvik-planner-windows: No such file or directory\n");
    const QStringList cases[] = {{}, {plan}, {"--pdf", "standard", dir.filePath(QStringLiteral("out.pdf")), plan}};
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        const Output got = run(command, arguments);
        EXPECT_EQ(got.status, 127);
        EXPECT_EQ(got.err, expected);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("out.pdf"))));
    // What it runs itself still works.
    EXPECT_EQ(run(command, {"--reminders", "--today", "1996-11-04", "--date-order", "dmy", plan}).out,
              QStringLiteral("Smith, 05/11/1996, 10:30  (Pending)\n"));
}

// The windows are the command's own process: what the desktop and a
// signal reach is the process it started, under the command's name.
TEST_F(CommandProgramTest, theWindowsRunInTheCommandsProcessUnderItsName)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZORVIK_PLANNER_BINARY), {smallPlan()});
    ASSERT_TRUE(p.waitForStarted());
    const QString proc = QStringLiteral("/proc/%1/").arg(p.processId());
    // The exec, and the name taken as the full program starts, come a
    // moment after the start.
    QString program;
    QByteArray name;
    waitForOtherProcess([&] {
        program = QFile::symLinkTarget(proc + QStringLiteral("exe"));
        QFile comm(proc + QStringLiteral("comm"));
        name = program.endsWith(QLatin1String("/zorvik-planner-windows")) && comm.open(QIODevice::ReadOnly) ? comm.readAll()
                                                                                                           : QByteArray();
        return name == "zorvik-planner\n";
    }, 5000);
    EXPECT_TRUE(program.endsWith(QLatin1String("/zorvik-planner-windows"))) << program.toStdString();
    EXPECT_EQ(name, "zorvik-planner\n");
    p.terminate();
    EXPECT_TRUE(p.waitForFinished(20000));
}

} // namespace
} // namespace zp
