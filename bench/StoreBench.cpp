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

#include "plan/RecordStore.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <utility>
#include <vector>

namespace {

using zp::PlannerRecord;
using zp::RecordStore;

constexpr int kFull = RecordStore::kMaxRecords;

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

// Random dates over 30 years and random times; a few records have no date
// or no time.
const std::vector<PlannerRecord>& shuffledPlan()
{
    static const std::vector<PlannerRecord> plan = [] {
        std::mt19937 rng(20240601);
        std::uniform_int_distribution<int> year(1980, 2009);
        std::uniform_int_distribution<int> month(1, 12);
        std::uniform_int_distribution<int> day(1, 28);
        std::uniform_int_distribution<int> hour(0, 23);
        std::uniform_int_distribution<int> minute(0, 59);
        std::uniform_int_distribution<int> percent(0, 99);
        std::vector<PlannerRecord> records;
        records.reserve(kFull);
        for (int i = 0; i < kFull; ++i) {
            PlannerRecord r;
            if (percent(rng) >= 3)
                r[zp::Field::StartDate] = twoDigits(day(rng)) + '/' + twoDigits(month(rng)) + '/'
                                          + QString::number(year(rng));
            if (percent(rng) >= 10)
                r[zp::Field::Time] = twoDigits(hour(rng)) + ':' + twoDigits(minute(rng));
            r[zp::Field::Name] = QStringLiteral("Job %1").arg(i);
            r[zp::Field::Message] = QStringLiteral("Call about the quote for the kitchen");
            r[zp::Field::Income] = QString::number(i % 500);
            r[zp::Field::Expense] = QStringLiteral("0");
            r[zp::Field::JobStatus] = QStringLiteral("0");
            r[zp::Field::ImagePath] = zp::kNoAttachment;
            r[zp::Field::AudioPath] = zp::kNoAttachment;
            records.push_back(std::move(r));
        }
        return records;
    }();
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
        store.CHRONOLOGICAL();
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
    store.CHRONOLOGICAL(); // computes and keeps every key, as the running program would have

    PlannerRecord added = shuffledPlan().back();
    switch (state.range(0)) {
    case 0: added[zp::Field::StartDate] = QStringLiteral("soon"); break;
    case 1: added[zp::Field::StartDate] = QStringLiteral("15/06/1995"); break;
    default: added[zp::Field::StartDate] = QStringLiteral("15/12/2009"); break;
    }
    added[zp::Field::Time] = QStringLiteral("00:00");

    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto at = store.ADDCHRONOLOGICAL(added);
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
