// The planner in a process of its own, with scripted answers instead of a
// user, so tests can end it with real signals (SIGKILL included) and start
// it again. It is wired like the program itself: the same application
// object, the same orderly end on termination signals.
//
//   planner_process PLAN RECOVERY_FOLDER SETTINGS_FILE [options]
//     --answer yes|no   answer the next question so (repeatable)
//     --edit NAME       after start, rename record 1 to NAME (unsaved)
//     --tick MS         write the recovery copy every MS milliseconds
//     --import FILE     after the edit, File > Import of a calendar file
//
// After start it prints every question asked ("asked: ..."), every record
// name ("record: ..."), "modified: 0|1" and, with --edit, "edited"; with
// --import, "importing" once the import's progress window shows. Then it
// runs until it is ended. Without --edit it ends at once. It runs on Qt's
// offscreen platform unless QT_QPA_PLATFORM names another (a test's X
// server).

#include "app/windows/CalendarCommands.h"
#include "app/windows/MainWindow.h"
#include "app/windows/OrderlyEnd.h"
#include "app/windows/PlannerApp.h"
#include "state/ProgramState.h"
#include "support/Fakes.h"
#include "ui/TerminationWatcher.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: planner_process PLAN RECOVERY_FOLDER SETTINGS_FILE [options]\n");
        return 2;
    }
    zp::TestPlatform test;
    zp::ProgramState state;
    state.commandLinePlan = args[1];
    state.recoveryFolder = args[2];
    state.settingsPath = args[3];
    QString newName;
    QString calendar;
    int tickMs = 0;
    for (int i = 4; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--answer"))
            test.messages.script({args[i + 1] == QLatin1String("yes") ? zp::MsgAnswer::Yes : zp::MsgAnswer::No});
        else if (args[i] == QLatin1String("--edit"))
            newName = args[i + 1];
        else if (args[i] == QLatin1String("--tick"))
            tickMs = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--import"))
            calendar = args[i + 1];
    }

    zp::PlannerApp planner(state, test.platform());
    QObject::connect(&planner, &zp::PlannerApp::finished, &app, &QApplication::quit, Qt::QueuedConnection);
    zp::TerminationWatcher termination;
    zp::OrderlyEnd orderlyEnd(planner, termination);
    planner.start();

    for (const auto& call : test.messages.calls)
        std::printf("asked: %s\n", qPrintable(call.text));
    for (int i = 1; i <= state.store.recordCount(); ++i)
        std::printf("record: %s\n", qPrintable(state.store.field(zp::Field::Name, i)));
    std::printf("modified: %d\n", state.store.modified ? 1 : 0);
    if (newName.isEmpty() || orderlyEnd.ending() || !planner.mainWindow())
        return 0;

    state.store.setField(zp::Field::Name, 1, newName);
    state.store.modified = true;
    if (tickMs > 0) {
        if (auto* timer = planner.mainWindow()->findChild<QTimer*>(QStringLiteral("RecoveryTimer")))
            timer->setInterval(tickMs);
    }
    std::printf("edited\n");
    std::fflush(stdout);
    if (!calendar.isEmpty()) {
        test.fileDialogs.scriptOpen(calendar);
        // The window shows as the read starts, so a test's signal comes
        // while it runs.
        planner.mainWindow()->calendarCommands().setProgressDelay(0);
        test.progress.onOpen = [] {
            std::printf("importing\n");
            std::fflush(stdout);
        };
        QTimer::singleShot(0, planner.mainWindow(), [&planner] {
            planner.mainWindow()->menuAction(QStringLiteral("Importcalendar"))->trigger();
        });
    }
    return QApplication::exec();
}
