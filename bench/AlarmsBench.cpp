// Arming the alarms of a full plan (32767 records), as the planner does
// after loading and after every edit.
//
//   BM_ArmAlarms/0   dates spread over thirty years, 90% with a time
//   BM_ArmAlarms/1   every record due in the same minute
//   BM_NextAlarm     finding the next alarm once armed (a timer tick)
//
// Goal: arming under 5 ms; the next alarm in well under a microsecond.

#include "BenchPlans.h"
#include "state/AlarmSchedule.h"

#include <benchmark/benchmark.h>

namespace {

using zp::RecordStore;

const QTimeZone& berlin()
{
    static const QTimeZone zone("Europe/Berlin");
    return zone;
}

const RecordStore& spreadStore()
{
    static const RecordStore store = zp::bench::makeStore();
    return store;
}

// The worst case for the notifications: one minute, every record.
const RecordStore& sameMinuteStore()
{
    static const RecordStore store = [] {
        std::vector<zp::PlannerRecord> plan(RecordStore::kMaxRecords);
        for (std::size_t i = 0; i < plan.size(); ++i) {
            plan[i].fields[zp::Field::StartDate] = QStringLiteral("05/11/1996");
            plan[i].fields[zp::Field::Time] = QStringLiteral("10:30");
            plan[i].fields[zp::Field::Name] = QStringLiteral("Record %1").arg(i);
        }
        return zp::bench::storeOf(std::move(plan));
    }();
    return store;
}

void BM_ArmAlarms(benchmark::State& state)
{
    const RecordStore& store = state.range(0) == 0 ? spreadStore() : sameMinuteStore();
    zp::AlarmSchedule schedule;
    for (auto _ : state) {
        schedule.arm(store, zp::AlarmOptions(), berlin());
        benchmark::DoNotOptimize(schedule.size());
    }
    state.counters["alarms"] = static_cast<double>(schedule.size());
}
BENCHMARK(BM_ArmAlarms)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_NextAlarm(benchmark::State& state)
{
    zp::AlarmSchedule schedule;
    schedule.arm(spreadStore(), zp::AlarmOptions(), berlin());
    const qint64 now = QDateTime(QDate(1996, 11, 5), QTime(9, 30), berlin()).toMSecsSinceEpoch();
    for (auto _ : state)
        benchmark::DoNotOptimize(schedule.nextAfter(now));
}
BENCHMARK(BM_NextAlarm);

} // namespace
