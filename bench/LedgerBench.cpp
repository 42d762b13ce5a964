// Ledger and its chart on a full plan (32767 records, in date order over
// thirty years, as the chart sees them after the re-sort).
//
//   BM_BareLedgerRows      the same rows as bare strings, no formatting or
//                          sums: the floor to compare against
//   BM_BuildLedgerRows     the ledger's rows: money format and exact totals
//   BM_OpenLedgerWindow    the rows put into the window's grid
//   BM_BuildLedgerPlot     dates read, periods grouped, points summed
//   BM_DrawLedgerPlot      the same drawn into the chart of the window
//
// Goal: opening the ledger and drawing the chart each under 150 ms.

#include "BenchApplication.h"
#include "BenchPlans.h"
#include "money/Ledger.h"
#include "money/LedgerPlot.h"
#include "money/windows/LedgerPlotWindow.h"
#include "money/windows/LedgerWindow.h"
#include "ui/QtPlatform.h"

#include <QApplication>
#include <QChartView>
#include <benchmark/benchmark.h>

namespace {

using zp::RecordStore;

RecordStore& fullStore()
{
    static RecordStore store = [] {
        zp::bench::PlanShape shape;
        shape.inDateOrder = true;
        shape.datedPercent = 100;
        return zp::bench::makeStore(shape);
    }();
    return store;
}

void BM_BareLedgerRows(benchmark::State& state)
{
    const RecordStore& store = fullStore();
    for (auto _ : state) {
        std::vector<QStringList> rows;
        rows.reserve(static_cast<std::size_t>(store.recordCount()) + 8);
        for (int i = 1; i <= store.recordCount(); ++i) {
            const zp::RecordView r = store.record(i);
            rows.push_back({r[zp::Field::StartDate].toString(), r[zp::Field::Name].toString(),
                            r[zp::Field::Message].toString(), r[zp::Field::Income].toString(),
                            r[zp::Field::Expense].toString()});
        }
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_BareLedgerRows)->Unit(benchmark::kMillisecond);

void BM_BuildLedgerRows(benchmark::State& state)
{
    const RecordStore& store = fullStore();
    for (auto _ : state)
        benchmark::DoNotOptimize(zp::buildLedgerRows(store));
}
BENCHMARK(BM_BuildLedgerRows)->Unit(benchmark::kMillisecond);

void BM_OpenLedgerWindow(benchmark::State& state)
{
    zp::bench::ensureApplication();
    zp::ProgramState program;
    program.store = fullStore();
    zp::QtPlatform qt;
    zp::LedgerWindow window(program, qt.platform());
    for (auto _ : state) {
        window.open();
        window.hide();
    }
}
BENCHMARK(BM_OpenLedgerWindow)->Unit(benchmark::kMillisecond);

void BM_BuildLedgerPlot(benchmark::State& state)
{
    const RecordStore& store = fullStore();
    for (auto _ : state)
        benchmark::DoNotOptimize(zp::buildLedgerPlot(store, zp::PlotShow::Both));
}
BENCHMARK(BM_BuildLedgerPlot)->Unit(benchmark::kMillisecond);

void BM_DrawLedgerPlot(benchmark::State& state)
{
    zp::bench::ensureApplication();
    zp::ProgramState program;
    program.store = fullStore();
    // The chart part the program loads, from the build's top folder.
    zp::QtPlatform qt(QStringLiteral(ZORVIK_PART_DIRECTORY));
    zp::LedgerPlotWindow window(program, qt.platform());
    window.show();
    QWidget* chart = window.findChild<QWidget*>(QStringLiteral("Graph1"));
    for (auto _ : state) {
        window.draw();
        chart->grab();
    }
}
BENCHMARK(BM_DrawLedgerPlot)->Unit(benchmark::kMillisecond);

} // namespace
