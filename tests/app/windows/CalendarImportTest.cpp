// File > Import reads on a thread of its own behind a progress window: the
// reader here is driven by the test, so it runs as long as the test wants.

#include "app/windows/CalendarCommands.h"
#include "app/windows/MainWindow.h"
#include "app/windows/OrderlyEnd.h"
#include "app/windows/PlannerApp.h"
#include "plan/FileCommands.h"
#include "plan/PlanFile.h"
#include "plan/Recovery.h"
#include "support/Fakes.h"
#include "ui/QtPlatform.h"
#include "ui/TerminationWatcher.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QProgressDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

namespace zp {
namespace {

// Reads nothing: reports 1 of 4, 2 of 4, then 3 of 4 until told to stop,
// as a long read does; then offers a record, which must not go in.
struct LongReader {
    std::atomic<bool> ranOnTheWindowsThread{true};
    std::atomic<bool> stopped{false};
    CalendarImport operator()(const QString&, const RecordStore&, const CalendarImportOptions& options)
    {
        ranOnTheWindowsThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        CalendarImport read;
        read.readable = true;
        read.records.push_back(PlannerRecord::fromList({"01/01/2027", "10:00", "Imported"}));
        for (qint64 done = 1; options.progress(std::min<qint64>(done, 3), 4); ++done)
            QThread::yieldCurrentThread(); // the window's thread delivers the updates meanwhile
        stopped = true;
        return read;
    }
};

TEST(CalendarImport, readsOnAnotherThread_showsItsProgress_andCancelChangesNothing)
{
    TestPlatform test;
    ProgramState state;
    state.store.insertInDateOrder(PlannerRecord::fromList({"05/11/1996", "10:30", "Smith"}));
    state.store.modified = false;
    QStringList hints;
    CalendarCommands commands(state, test.platform(), [] {}, [&](const QString& text) { hints << text; });
    LongReader reader;
    commands.setReader(std::ref(reader));
    commands.setProgressDelay(0);
    test.fileDialogs.scriptOpen("/tmp/big.ics");
    test.progress.cancelAfterUpdates = 2;

    commands.importCalendar();

    EXPECT_TRUE(reader.stopped);
    EXPECT_FALSE(reader.ranOnTheWindowsThread);
    ASSERT_EQ(test.progress.shown.size(), 1u);
    EXPECT_EQ(test.progress.shown[0].request.title, kCalendarImportTitle);
    EXPECT_TRUE(test.progress.shown[0].request.label.contains("big.ics"));
    ASSERT_GE(test.progress.shown[0].updates.size(), 2u); // one more may be on its way as Cancel is pressed
    EXPECT_EQ(test.progress.shown[0].updates.back().second, 4);
    EXPECT_GE(test.progress.shown[0].updates.back().first, 1);
    EXPECT_EQ(state.store.recordCount(), 1);
    EXPECT_FALSE(state.store.modified);
    EXPECT_TRUE(test.messages.empty());
    EXPECT_EQ(hints, QStringList{"Import cancelled."});
}

// A termination request while the read runs stops it before the recovery
// copy is written: the copy holds the unsaved change and nothing imported.
TEST(CalendarImport, terminationRequestDuringTheRead_stopsItThenWritesTheCopy)
{
    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    state.recoveryFolder = dir.filePath("recovery");
    state.commandLinePlan = dir.filePath("work.pln");
    {
        RecordStore plan;
        plan.replaceAll({PlannerRecord::fromList({"05/11/1996", "10:30", "Smith"})});
        ASSERT_EQ(writePlanFile(state.commandLinePlan, plan).status, PlanWriteStatus::Written);
    }
    PlannerApp app(state, test.platform());
    TerminationWatcher watcher;
    OrderlyEnd end(app, watcher);
    app.start();
    state.store.setField(Field::Name, 1, QStringLiteral("Unsaved"));
    state.store.modified = true;
    LongReader reader;
    app.mainWindow()->calendarCommands().setReader(std::ref(reader));
    app.mainWindow()->calendarCommands().setProgressDelay(0);
    bool stoppedBeforeTheEnd = false;
    test.progress.onOpen = [&] {
        end.endNow();
        stoppedBeforeTheEnd = reader.stopped;
    };
    test.progress.cancelAfterUpdates = 1; // so a read the end left running ends too, late
    test.fileDialogs.scriptOpen(dir.filePath("big.ics"));

    app.mainWindow()->menuAction(QStringLiteral("Importcalendar"))->trigger();

    EXPECT_TRUE(stoppedBeforeTheEnd);
    EXPECT_EQ(state.store.recordCount(), 1);
    RecordStore recovered;
    ASSERT_TRUE(readPlanFile(QDir(state.recoveryFolder).filePath(recoveryFileName(state.commandLinePlan)), recovered,
                             DateOrder::DayFirst)
                    .loaded());
    EXPECT_EQ(recovered.recordCount(), 1);
    EXPECT_EQ(recovered.field(Field::Name, 1), "Unsaved");
    EXPECT_FALSE(QFile::exists(FileCommands::lockFilePath(state.commandLinePlan)));
}

// The real window: application modal (the plan cannot be changed behind
// it), Cancel heard once however often it is pressed, gone when released.
TEST(CalendarImport, progressWindow_isModal_reportsCancelOnce_andClosesWhenDone)
{
    QtProgressDialogs dialogs;
    int cancels = 0;
    auto window = dialogs.open({kCalendarImportTitle, "Reading big.ics ..."}, [&] { ++cancels; });
    auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(dialog->windowTitle(), kCalendarImportTitle);
    EXPECT_EQ(dialog->labelText(), "Reading big.ics ...");
    window->setProgress(250, 1000);
    EXPECT_EQ(dialog->value() * 4, dialog->maximum());
    dialog->cancel();
    dialog->close();
    EXPECT_EQ(cancels, 1);
    QPointer<QProgressDialog> watched(dialog);
    window.reset();
    EXPECT_TRUE(watched.isNull());
}

} // namespace
} // namespace zp
