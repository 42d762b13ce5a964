// "--export" timings: the whole terminal command (reading the plan file,
// building the "Copy all" text, writing it out) on plans of 8192, 16384
// and 32767 records.
//
//   BM_Export/N        one export of N records; "per_record" is the time
//                      per record
//   BM_ExportGrowth    the same three sizes in nine rounds, the best of
//                      each in processor time; "growth16" and "growth32"
//                      are the per-record times of 16384 and 32767 records
//                      over that of 8192
//
// Goal: export is linear in the plan size, so neither growth exceeds 1.2
// (BM_ExportGrowth reports an error when one does).

#include "BenchPlans.h"
#include "app/CommandLine.h"
#include "plan/PlanFile.h"
#include "plan/RecordStore.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <limits>
#include <map>
#include <string>

#include <time.h>

namespace {

using zp::RecordStore;

constexpr int kSmall = 8192;
constexpr int kMedium = 16384;
constexpr int kLarge = RecordStore::kMaxRecords;

// A plan file of `records` records, written once per run.
QString planPath(int records)
{
    static QTemporaryDir dir;
    static std::map<int, QString> paths;
    auto it = paths.find(records);
    if (it != paths.end())
        return it->second;
    zp::bench::PlanShape shape;
    shape.records = records;
    shape.inDateOrder = true;
    RecordStore store = zp::bench::makeStore(shape);
    store.systemDateStyle = zp::kEnglishEuro;
    const QString path = dir.filePath(QStringLiteral("plan%1.pln").arg(records));
    zp::writePlanFile(path, store);
    return paths.emplace(records, path).first->second;
}

// One export to /dev/null; false when the command failed.
bool exportPlan(const QString& path)
{
    QFile sink(QStringLiteral("/dev/null"));
    if (!sink.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&sink);
    QString errors;
    QTextStream err(&errors);
    zp::CommandLine command;
    command.command = zp::CommandLine::Command::Export;
    command.planFile = path;
    const int status = zp::runCommandLine(command, zp::DateOrder::DayFirst, QDate(2026, 12, 10), out, err);
    out.flush();
    return status == 0;
}

void BM_Export(benchmark::State& state)
{
    const int records = static_cast<int>(state.range(0));
    const QString path = planPath(records);
    for (auto _ : state) {
        if (!exportPlan(path)) {
            state.SkipWithError("export failed");
            break;
        }
    }
    state.counters["per_record"] = benchmark::Counter(static_cast<double>(records),
                                                      benchmark::Counter::kIsIterationInvariantRate
                                                          | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Export)->Arg(kSmall)->Arg(kMedium)->Arg(kLarge)->Unit(benchmark::kMillisecond);

double threadSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Processor time, not wall time: on a machine busy with other work the
// wall clock says more about the others than about the export.
double secondsToExport(const QString& path)
{
    const double start = threadSeconds();
    const bool ok = exportPlan(path);
    const double stop = threadSeconds();
    return ok ? stop - start : std::numeric_limits<double>::infinity();
}

void BM_ExportGrowth(benchmark::State& state)
{
    // Rounds of one export of each size, so that whatever else the machine
    // does weighs on every size alike; the best of each size counts.
    constexpr int kRounds = 9;
    const QString small = planPath(kSmall);
    const QString medium = planPath(kMedium);
    const QString large = planPath(kLarge);
    double bestSmall = std::numeric_limits<double>::infinity();
    double bestMedium = bestSmall;
    double bestLarge = bestSmall;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            bestSmall = std::min(bestSmall, secondsToExport(small));
            bestMedium = std::min(bestMedium, secondsToExport(medium));
            bestLarge = std::min(bestLarge, secondsToExport(large));
        }
    }
    const double perSmall = bestSmall / kSmall;
    const double growth16 = (bestMedium / kMedium) / perSmall;
    const double growth32 = (bestLarge / kLarge) / perSmall;
    state.counters["growth16"] = growth16;
    state.counters["growth32"] = growth32;
    if (!(growth16 <= 1.2 && growth32 <= 1.2)) {
        static std::string error;
        error = "the time per record grows by more than 20 % with the plan's size: growth16 " + std::to_string(growth16)
                + ", growth32 " + std::to_string(growth32);
        state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_ExportGrowth)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
