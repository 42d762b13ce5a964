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

#include "BenchApplication.h"
#include "BenchPlans.h"
#include "app/windows/MainWindow.h"
#include "plan/PlanFile.h"
#include "state/ProgramState.h"
#include "ui/QtPlatform.h"

#include <QApplication>
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

void BM_CloseMainWindow(benchmark::State& state)
{
    zp::bench::ensureApplication();
    const int records = state.range(0) != 0 ? zp::RecordStore::kMaxRecords : 0;
    const QString plan = planPath(records);
    zp::QtPlatform qt;
    for (auto _ : state) {
        state.PauseTiming();
        auto program = std::make_unique<zp::ProgramState>();
        program->commandLinePlan = plan;
        auto window = std::make_unique<zp::MainWindow>(*program, qt.platform());
        window->setOnExit([] {});
        window->initialise();
        window->readStartupPlan();
        window->rebuildRecordsList();
        window->show();
        QApplication::processEvents();
        if (program->store.recordCount() != records || program->store.planFileName.isEmpty()) {
            state.SkipWithError("plan not loaded");
            break;
        }
        state.ResumeTiming();

        window->close();
        window.reset();
        program.reset();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_CloseMainWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
