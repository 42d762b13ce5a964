// Ending without questions: a termination signal to the real program, and
// the same path in a window with unsaved changes.

#include "app/windows/MainWindow.h"
#include "app/windows/OrderlyEnd.h"
#include "app/windows/PlannerApp.h"
#include "ui/TerminationWatcher.h"
#include "plan/FileCommands.h"
#include "plan/PlanFile.h"
#include "plan/Recovery.h"
#include "support/Fakes.h"
#include "support/WaitForProcess.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace zp {
namespace {

QString writeSmallPlan(const QString& path)
{
    RecordStore store;
    store.replaceAll({PlannerRecord::fromList({QStringLiteral("05/11/1996"), QStringLiteral("10:30"), QStringLiteral("Smith")})});
    EXPECT_EQ(writePlanFile(path, store).status, PlanWriteStatus::Written);
    return path;
}

TEST(EndWithoutAsking, unsavedChangesGoToARecoveryCopy_settingsSaved_lockReleased)
{
    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    state.settingsPath = dir.filePath("config/PLANNER.INI");
    state.recoveryFolder = dir.filePath("recovery");
    state.commandLinePlan = writeSmallPlan(dir.filePath("work.pln"));
    PlannerApp app(state, test.platform());
    app.start();
    ASSERT_TRUE(QFile::exists(FileCommands::lockFilePath(state.commandLinePlan)));
    state.store.setField(Field::Name, 1, QStringLiteral("Changed"));
    state.store.modified = true;
    const int asked = test.messages.count();

    app.mainWindow()->endWithoutAsking();

    EXPECT_EQ(test.messages.count(), asked); // nothing asked
    EXPECT_TRUE(QFile::exists(state.settingsPath));
    EXPECT_FALSE(QFile::exists(FileCommands::lockFilePath(state.commandLinePlan)));
    RecordStore recovered;
    ASSERT_TRUE(readPlanFile(QDir(state.recoveryFolder).filePath(recoveryFileName(state.commandLinePlan)), recovered,
                             DateOrder::DayFirst)
                    .loaded());
    EXPECT_EQ(recovered.field(Field::Name, 1), "Changed");
}

// A run that ended before saving left a copy; the next start offers it.
TEST(EndWithoutAsking, recoveryCopy_isKeptWhileModified_offeredAtTheNextStart_andGoesOnAnOrderlyEnd)
{
    QTemporaryDir dir;
    TestPlatform test;
    const QString plan = writeSmallPlan(dir.filePath("work.pln"));
    const QString copy = QDir(dir.filePath("recovery")).filePath(recoveryFileName(plan));
    {
        ProgramState state;
        state.recoveryFolder = dir.filePath("recovery");
        state.commandLinePlan = plan;
        PlannerApp app(state, test.platform());
        app.start();
        state.store.setField(Field::Name, 1, QStringLiteral("Unsaved"));
        state.store.modified = true;
        app.mainWindow()->keepRecoveryCopy(); // the two-minute tick
        ASSERT_TRUE(QFile::exists(copy));
        // ...and the program is killed here: nothing else runs.
    }
    for (const int answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        SCOPED_TRACE(answer == MsgAnswer::Yes ? "Yes" : "No");
        ProgramState state;
        state.recoveryFolder = dir.filePath("recovery");
        state.commandLinePlan = plan;
        test.messages.clear();
        test.messages.script({answer});
        PlannerApp app(state, test.platform());
        app.start();
        ASSERT_GE(test.messages.count(), 1);
        EXPECT_TRUE(test.messages.calls[0].text.startsWith("Restore the unsaved changes to " + plan + " from "));
        EXPECT_TRUE(test.messages.calls[0].text.endsWith("The saved copy holds 1 record."));
        EXPECT_EQ(state.store.field(Field::Name, 1), answer == MsgAnswer::Yes ? "Unsaved" : "Smith");
        EXPECT_EQ(state.store.modified, answer == MsgAnswer::Yes);
        EXPECT_TRUE(QFile::exists(copy)); // declining keeps it
        if (answer == MsgAnswer::Yes) {
            test.messages.script({MsgAnswer::No}); // "Save changes?" at exit
            app.mainWindow()->exitProgram(true);
            EXPECT_FALSE(QFile::exists(copy));
        }
    }
}

TEST(EndWithoutAsking, recoveryCopy_goesWithASuccessfulSave)
{
    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    state.recoveryFolder = dir.filePath("recovery");
    state.commandLinePlan = writeSmallPlan(dir.filePath("work.pln"));
    PlannerApp app(state, test.platform());
    app.start();
    state.store.modified = true;
    app.mainWindow()->keepRecoveryCopy();
    const QString copy = QDir(state.recoveryFolder).filePath(recoveryFileName(state.commandLinePlan));
    ASSERT_TRUE(QFile::exists(copy));
    app.mainWindow()->menuAction(QStringLiteral("Saveplan"))->trigger();
    EXPECT_FALSE(state.store.modified);
    EXPECT_FALSE(QFile::exists(copy));
}

// Start-up may ask more questions after the one the request closed; each
// is answered with its safe button as it appears, so the end is not held up.
TEST(EndWithoutAsking, questionsAfterATerminationRequest_closeAsTheyAppear)
{
    TestPlatform test;
    ProgramState state;
    PlannerApp app(state, test.platform());
    TerminationWatcher watcher;
    OrderlyEnd end(app, watcher);
    QMessageBox shown(QMessageBox::Question, "Zorvik Planner", "Shown when the request comes?",
                      QMessageBox::Yes | QMessageBox::No);
    QTimer::singleShot(0, &end, &OrderlyEnd::endNow);
    EXPECT_EQ(shown.exec(), QMessageBox::No);
    for (const auto buttons : {QMessageBox::Yes | QMessageBox::No, QMessageBox::StandardButtons(QMessageBox::Ok)}) {
        QMessageBox later(QMessageBox::Warning, "Zorvik Planner", "Asked afterwards", buttons);
        QTimer::singleShot(5000, &later, [&later] { later.done(QMessageBox::Yes); }); // would be a hang
        EXPECT_EQ(later.exec(), buttons == QMessageBox::Ok ? QMessageBox::Ok : QMessageBox::No);
    }
    EXPECT_TRUE(end.ending());
}

TEST(EndWithoutAsking, sigtermToTheRunningProgram_endsItInOrder)
{
    QTemporaryDir dir;
    const QString plan = writeSmallPlan(dir.filePath("work.pln"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("config/zorvik-planner")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZORVIK_TEST_FIXTURES "/default_planner.ini"),
                            dir.filePath("config/zorvik-planner/PLANNER.INI")));
    QFile::setPermissions(dir.filePath("config/zorvik-planner/PLANNER.INI"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray before = [&] {
        QFile f(dir.filePath("config/zorvik-planner/PLANNER.INI"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", dir.path());
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    env.insert("PULSE_SERVER", "unix:/nonexistent/zorvik-no-sound-server");
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(ZORVIK_PLANNER_BINARY), {plan});
    ASSERT_TRUE(program.waitForStarted(10000));
    const QString lock = FileCommands::lockFilePath(plan);
    ASSERT_TRUE(waitForOtherProcess([&] { return QFile::exists(lock); })) << "the program never opened the plan";

    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(lock));
    QFile settings(dir.filePath("config/zorvik-planner/PLANNER.INI"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray after = settings.readAll();
    EXPECT_TRUE(after.contains(QFile::encodeName(plan))) << "the settings were not written at the end";
    EXPECT_NE(after, before);
}

} // namespace
} // namespace zp
