// The real `zorvik-planner` command writing into a full disk (/dev/full)
// and into a pipe whose reader is gone: every command that prints says its
// output did not arrive and fails, instead of passing a cut-off output for
// a whole one (or dying silently by SIGPIPE).

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

enum class Sink { FullDisk, ClosedPipe };

struct Ended {
    int status = -1; // exit status, or 128 + signal
    QByteArray err;
};

// Runs the program with standard output on the sink and standard error in
// a file, from SIGPIPE's default disposition, as a shell starts it.
Ended runInto(Sink sink, const QStringList& arguments, const QString& errFile)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeEnds[2] = {-1, -1};
    if (sink == Sink::FullDisk) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
    } else {
        // The reading end is closed before the program starts: every write fails.
        EXPECT_EQ(::pipe(pipeEnds), 0);
        ::close(pipeEnds[0]);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    }
    const QByteArray errPath = QFile::encodeName(errFile);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<QByteArray> bytes{QByteArray(ZORVIK_PLANNER_BINARY)};
    for (const QString& a : arguments)
        bytes.push_back(a.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    Ended ended;
    if (posix_spawn(&pid, ZORVIK_PLANNER_BINARY, &actions, &attributes, argv.data(), environ) == 0) {
        int raw = 0;
        ::waitpid(pid, &raw, 0);
        ended.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }
    if (pipeEnds[1] >= 0)
        ::close(pipeEnds[1]);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    QFile err(errFile);
    if (err.open(QIODevice::ReadOnly))
        ended.err = err.readAll();
    return ended;
}

TEST(TerminalOutput, everyPrintingCommand_reportsOutputThatDidNotArriveAndFails)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plan = dir.filePath(QStringLiteral("small.pln"));
    QFile f(plan);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Zorvik Planner 3.2 0\r\nenglisheuro\r\n"
            "05/11/1996\r\n10:30\r\nSmith\r\n432\r\n\r\nQuote\r\n120\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\n"
            "plannerend\r\n");
    f.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    const QStringList commands[] = {
        {"--list", plan},
        {"--find", "smith", plan},
        {"--alarms", "--today", "1996-11-05", "--now", "08:00", "--date-order", "dmy", plan},
        {"--reminders", "--today", "1996-11-04", "--date-order", "dmy", plan},
        {"--export", plan},
        {"--export-ics", plan},
        {"--info", plan},
        {"--ledger", plan},
        {"--loan", "1200", "1", "12", "31/1/2026", "m", "--date-order", "dmy"},
        {"--help"},
        {"--version"},
    };
    const std::pair<Sink, QByteArray> sinks[] = {{Sink::FullDisk, "No space left on device"},
                                                 {Sink::ClosedPipe, "Broken pipe"}};
    for (const auto& [sink, reason] : sinks) {
        for (const QStringList& arguments : commands) {
            SCOPED_TRACE((reason + ": " + arguments.join(QLatin1Char(' ')).toUtf8()).toStdString());
            const Ended ended = runInto(sink, arguments, dir.filePath(QStringLiteral("err.txt")));
            EXPECT_EQ(ended.status, 1);
            EXPECT_EQ(ended.err, "zorvik-planner: the output could not be written: " + reason + "\n");
        }
    }
}

} // namespace
