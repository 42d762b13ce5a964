// The end of the program with a plan open: the main window is closed, as
// File > Exit or the window's close box does, and everything the program
// holds is freed, as at the end of main().
//
//   BM_CloseMainWindow/0   an empty plan (a plan file without records)
//   BM_CloseMainWindow/1   a full plan (32767 records)
//
// Both are read from their file at start-up (and so locked) and shown in the
// records list: the two differ only in the plan's size.
//
// Goal: closing on a full plan within twice the time of an empty one.
//
//   BM_OpenMainWindow/0, /1  the other end: the window made, the plan read
//                            from the command line, the records list built
//                            and the window shown. Goal: the full plan
//                            within 3 s, as a user would still wait for it.
//
//   BM_FillEntryGrid/0, /1  Display > Project planning on the Edit page,
//                           which fills the entry grid: an empty plan and a
//                           full one. Goal: the full plan's grid within 1.5 s.

#include "BenchApplication.h"
#include "BenchPlans.h"
#include "app/windows/MainWindow.h"
#include "plan/PlanFile.h"
#include "state/ProgramState.h"
#include "ui/QtPlatform.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A plan of `records` records in date order, written once per run.
QString planPath(int records)
{
    static QTemporaryDir dir;
    zp::bench::PlanShape shape;
    shape.records = records;
    shape.inDateOrder = true;
    const zp::RecordStore store = records > 0 ? zp::bench::makeStore(shape) : zp::RecordStore();
    const QString p = dir.filePath(QStringLiteral("plan-%1.pln").arg(records));
    zp::writePlanFile(p, store);
    return p;
}

// The main window as the program starts it with `plan` on the command
// line: the plan read, the records list built, the window shown.
std::unique_ptr<zp::MainWindow> openWindowOn(zp::ProgramState& program, const QString& plan, zp::QtPlatform& qt)
{
    program.commandLinePlan = plan;
    auto window = std::make_unique<zp::MainWindow>(program, qt.platform());
    window->setOnExit([] {});
    window->initialise();
    window->readStartupPlan();
    window->rebuildRecordsList();
    window->show();
    return window;
}

// The window closed and all the program held freed, as at the end of main().
void closeAll(std::unique_ptr<zp::MainWindow>& window, std::unique_ptr<zp::ProgramState>& program)
{
    window->close();
    window.reset();
    program.reset();
    QApplication::processEvents();
}

void BM_CloseMainWindow(benchmark::State& state)
{
    zp::bench::ensureApplication();
    const int records = state.range(0) != 0 ? zp::RecordStore::kMaxRecords : 0;
    const QString plan = planPath(records);
    zp::QtPlatform qt;
    for (auto _ : state) {
        state.PauseTiming();
        auto program = std::make_unique<zp::ProgramState>();
        auto window = openWindowOn(*program, plan, qt);
        QApplication::processEvents();
        if (program->store.recordCount() != records || program->store.planFileName.isEmpty()) {
            state.SkipWithError("plan not loaded");
            break;
        }
        state.ResumeTiming();

        closeAll(window, program);
    }
}
BENCHMARK(BM_CloseMainWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OpenMainWindow(benchmark::State& state)
{
    zp::bench::ensureApplication();
    const int records = state.range(0) != 0 ? zp::RecordStore::kMaxRecords : 0;
    const QString plan = planPath(records);
    zp::QtPlatform qt;
    for (auto _ : state) {
        auto program = std::make_unique<zp::ProgramState>();
        auto window = openWindowOn(*program, plan, qt);
        QApplication::processEvents();

        state.PauseTiming();
        if (program->store.recordCount() != records) {
            state.SkipWithError("plan not loaded");
            break;
        }
        closeAll(window, program);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenMainWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FillEntryGrid(benchmark::State& state)
{
    zp::bench::ensureApplication();
    const int records = state.range(0) != 0 ? zp::RecordStore::kMaxRecords : 0;
    const QString plan = planPath(records);
    zp::QtPlatform qt;
    for (auto _ : state) {
        // A window of its own each time: going back to home and office
        // asks a question, and the grid is filled only on the way there.
        state.PauseTiming();
        auto program = std::make_unique<zp::ProgramState>();
        auto window = openWindowOn(*program, plan, qt);
        window->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(3);
        QApplication::processEvents();
        state.ResumeTiming();

        window->menuAction(QStringLiteral("projectplanning"))->trigger();
        QApplication::processEvents();

        state.PauseTiming();
        program->store.modified = false; // the new style is a change: closing would ask to save it
        closeAll(window, program);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FillEntryGrid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
