// Plan file timings on a full plan (32767 records, about 5 MB).
//
//   BM_ReadPlanFile        readPlanFile into a store, same style as the file;
//                          "bytes_per_record" is the memory the loaded plan
//                          takes (the allocator's own bookkeeping included)
//   BM_ReadPlanFileOther   the same file read under the other date order
//                          (every date converted)
//   BM_ReadLinesBaseline   reading the same bytes and cutting them into lines
//   BM_WritePlanFile       writePlanFile, safe replacement and syncs included
//   BM_WriteLinesBaseline  writing the same lines, each with CR LF, to a file
//                          (no temporary file, no sync)
//   BM_WriteLinesSynced    the baseline followed by one fsync, for scale
//
// Goal: reading and writing each within three times its baseline.

#include "BenchPlans.h"
#include "plan/PlanFile.h"
#include "plan/RecordStore.h"

#include <benchmark/benchmark.h>

#include <QByteArrayList>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace {

using zp::PlannerRecord;
using zp::RecordStore;

// Every record dated (1990 to 2009), most with a time; field lengths as a
// working plan has them.
const std::vector<PlannerRecord>& fullPlan()
{
    static const std::vector<PlannerRecord> plan = [] {
        zp::bench::PlanShape shape;
        shape.firstYear = 1990;
        shape.datedPercent = 100;
        shape.timedPercent = 85;
        return zp::bench::makePlan(shape);
    }();
    return plan;
}

struct PlanOnDisk {
    QTemporaryDir dir;
    QString path;
    qint64 size = 0;

    PlanOnDisk()
    {
        RecordStore store = zp::bench::storeOf(fullPlan());
        store.systemDateStyle = zp::kEnglishEuro;
        path = dir.filePath(QStringLiteral("full.pln"));
        zp::writePlanFile(path, store);
        size = QFile(path).size();
    }

    static const PlanOnDisk& instance()
    {
        static const PlanOnDisk plan;
        return plan;
    }
};

void readPlan(benchmark::State& state, zp::DateOrder order)
{
    const PlanOnDisk& plan = PlanOnDisk::instance();
    for (auto _ : state) {
        RecordStore store;
        const zp::PlanReadResult r = zp::readPlanFile(plan.path, store, order);
        if (!r.loaded() || store.recordCount() != RecordStore::kMaxRecords) {
            state.SkipWithError("plan not loaded");
            break;
        }
        benchmark::DoNotOptimize(store.recordCount());
    }
    state.SetBytesProcessed(state.iterations() * plan.size);
    state.counters["MB"] = static_cast<double>(plan.size) / 1e6;

    // What the loaded plan holds on to: the heap in use with the store
    // alive, less the heap in use before it was read.
    auto heapInUse = [] {
        const struct mallinfo2 info = ::mallinfo2();
        return static_cast<double>(info.uordblks) + static_cast<double>(info.hblkhd);
    };
    const double before = heapInUse();
    RecordStore store;
    zp::readPlanFile(plan.path, store, order);
    state.counters["bytes_per_record"] = (heapInUse() - before) / std::max(1, store.recordCount());
}

void BM_ReadPlanFile(benchmark::State& state) { readPlan(state, zp::DateOrder::DayFirst); }
BENCHMARK(BM_ReadPlanFile)->Unit(benchmark::kMillisecond);

void BM_ReadPlanFileOther(benchmark::State& state) { readPlan(state, zp::DateOrder::MonthFirst); }
BENCHMARK(BM_ReadPlanFileOther)->Unit(benchmark::kMillisecond);

void BM_ReadLinesBaseline(benchmark::State& state)
{
    const PlanOnDisk& plan = PlanOnDisk::instance();
    for (auto _ : state) {
        QFile file(plan.path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot open");
            break;
        }
        const QByteArray bytes = file.readAll();
        QByteArrayList lines = bytes.split('\n');
        for (QByteArray& line : lines)
            if (line.endsWith('\r'))
                line.chop(1);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * plan.size);
}
BENCHMARK(BM_ReadLinesBaseline)->Unit(benchmark::kMillisecond);

void BM_WritePlanFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.pln"));
    const RecordStore store = zp::bench::storeOf(fullPlan());
    for (auto _ : state) {
        if (!zp::writePlanFile(path, store).ok()) {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_WritePlanFile)->Unit(benchmark::kMillisecond);

void writeLines(benchmark::State& state, bool sync)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.pln"));
    QFile source(PlanOnDisk::instance().path);
    source.open(QIODevice::ReadOnly);
    QByteArrayList lines = source.readAll().split('\n');
    for (QByteArray& line : lines)
        line.chop(1); // the CR
    lines.removeLast(); // after the final line end
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            state.SkipWithError("cannot open");
            break;
        }
        for (const QByteArray& line : lines) {
            file.write(line);
            file.write("\r\n", 2);
        }
        file.flush();
        if (sync)
            ::fsync(file.handle());
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

void BM_WriteLinesBaseline(benchmark::State& state) { writeLines(state, false); }
BENCHMARK(BM_WriteLinesBaseline)->Unit(benchmark::kMillisecond);

void BM_WriteLinesSynced(benchmark::State& state) { writeLines(state, true); }
BENCHMARK(BM_WriteLinesSynced)->Unit(benchmark::kMillisecond);

} // namespace
