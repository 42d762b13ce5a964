// Record store timings on a full plan (32767 records).
//
//   BM_Chronological        re-sort of a shuffled plan, keys not yet known
//   BM_KeyComputation       computing sortKey once for every record
//   BM_StableSortBaseline   std::stable_sort over keys computed beforehand
//   BM_AddChronological     one insert into a plan one short of full, keys
//                           already known; arg 0 inserts first (moves every
//                           record), 1 in the middle, 2 near the end (scans
//                           almost every key)
//
// The re-sort should stay within a small factor of key computation plus
// the plain sort; a single insert should take well under 5 ms.

#include "BenchPlans.h"
#include "plan/RecordStore.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace {

using zp::PlannerRecord;
using zp::RecordStore;

// Dates in no order over thirty years (1980 to 2009) and times; a few
// records have no date or no time.
const std::vector<PlannerRecord>& shuffledPlan()
{
    static const std::vector<PlannerRecord> plan = zp::bench::makePlan();
    return plan;
}

void BM_Chronological(benchmark::State& state)
{
    const auto& plan = shuffledPlan();
    RecordStore store;
    for (auto _ : state) {
        state.PauseTiming();
        store.replaceAll(plan);
        state.ResumeTiming();
        store.sortChronologically();
        benchmark::DoNotOptimize(store.recordCount());
    }
}
BENCHMARK(BM_Chronological)->Unit(benchmark::kMillisecond);

void BM_KeyComputation(benchmark::State& state)
{
    const auto& plan = shuffledPlan();
    std::vector<double> keys(plan.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < plan.size(); ++i)
            keys[i] = zp::sortKey(plan[i][zp::Field::StartDate], plan[i][zp::Field::Time], zp::DateOrder::DayFirst);
        benchmark::DoNotOptimize(keys.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_KeyComputation)->Unit(benchmark::kMillisecond);

void BM_StableSortBaseline(benchmark::State& state)
{
    const auto& plan = shuffledPlan();
    std::vector<std::pair<double, int>> keyed;
    keyed.reserve(plan.size());
    for (std::size_t i = 0; i < plan.size(); ++i)
        keyed.emplace_back(zp::sortKey(plan[i][zp::Field::StartDate], plan[i][zp::Field::Time],
                                       zp::DateOrder::DayFirst),
                           static_cast<int>(i));
    std::vector<std::pair<double, int>> work;
    for (auto _ : state) {
        state.PauseTiming();
        work = keyed;
        state.ResumeTiming();
        std::stable_sort(work.begin(), work.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        benchmark::DoNotOptimize(work.data());
    }
}
BENCHMARK(BM_StableSortBaseline)->Unit(benchmark::kMillisecond);

void BM_AddChronological(benchmark::State& state)
{
    RecordStore store;
    store.replaceAll(std::vector<PlannerRecord>(shuffledPlan().begin(), shuffledPlan().end() - 1));
    store.sortChronologically(); // computes and keeps every key, as the running program would have

    PlannerRecord added = shuffledPlan().back();
    switch (state.range(0)) {
    case 0: added[zp::Field::StartDate] = QStringLiteral("soon"); break;
    case 1: added[zp::Field::StartDate] = QStringLiteral("15/06/1995"); break;
    default: added[zp::Field::StartDate] = QStringLiteral("15/12/2009"); break;
    }
    added[zp::Field::Time] = QStringLiteral("00:00");

    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto at = store.insertInDateOrder(added);
        const auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        if (!at) {
            state.SkipWithError("record not inserted");
            break;
        }
        store.removeRecord(*at);
    }
}
BENCHMARK(BM_AddChronological)->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
