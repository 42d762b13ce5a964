// Reminders and phone book on a full plan (32767 records).
//
//   BM_BuildReminderList/0   dates spread over thirty years: a handful due
//   BM_BuildReminderList/1   every record due in the coming week (each
//                            line and table row is built)
//   BM_BuildPhoneBook        entries, the case-ignoring sort and the rows
//
// Goal: each well under 100 ms.

#include "BenchPlans.h"
#include "views/RecordDetails.h"
#include "views/Reminders.h"

#include <benchmark/benchmark.h>

namespace {

using zp::RecordStore;

const QDate kToday(1996, 11, 5);

// Dates over thirty years, a few records undated: a handful fall due by
// chance. Names are in no order and vary in case, so the phone book sort has
// work to do.
const RecordStore& spreadStore()
{
    static const RecordStore store = zp::bench::makeStore();
    return store;
}

// Every record due in the coming week.
const RecordStore& dueStore()
{
    static const RecordStore store = [] {
        zp::bench::PlanShape shape;
        shape.dueAfter = kToday;
        shape.duePercent = 100;
        return zp::bench::makeStore(shape);
    }();
    return store;
}

void BM_BuildReminderList(benchmark::State& state)
{
    const RecordStore& store = state.range(0) == 0 ? spreadStore() : dueStore();
    std::size_t due = 0;
    for (auto _ : state) {
        zp::ReminderList list = zp::buildReminderList(store, kToday);
        due = list.index.size();
        benchmark::DoNotOptimize(list.lines.size());
    }
    state.counters["due"] = static_cast<double>(due);
}
BENCHMARK(BM_BuildReminderList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BuildPhoneBook(benchmark::State& state)
{
    const RecordStore& store = spreadStore();
    for (auto _ : state) {
        zp::PhoneBook book = zp::buildPhoneBook(store);
        benchmark::DoNotOptimize(book.rows.size());
    }
}
BENCHMARK(BM_BuildPhoneBook)->Unit(benchmark::kMillisecond);

} // namespace
