// The end of the program with a plan open: the main window is closed, as
// File > Exit or the window's close box does, and everything the program
// holds is freed, as at the end of main().
//
//   BM_CloseMainWindow/0   an empty plan
//   BM_CloseMainWindow/1   a full plan (32767 records), read from its file
//                          at start-up and shown in the records list
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

// A full plan in date order, written once per run.
const QString& fullPlanPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        zp::bench::PlanShape shape;
        shape.inDateOrder = true;
        const zp::RecordStore store = zp::bench::makeStore(shape);
        const QString p = dir.filePath(QStringLiteral("full.pln"));
        zp::writePlanFile(p, store);
        return p;
    }();
    return path;
}

void BM_CloseMainWindow(benchmark::State& state)
{
    zp::bench::ensureApplication();
    const QString plan = state.range(0) != 0 ? fullPlanPath() : QString();
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
        if (program->store.recordCount() != (plan.isEmpty() ? 0 : zp::RecordStore::kMaxRecords)) {
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
