// Entry-panel commands on a plan of 32766 records, each followed by the
// records list rebuild it triggers (the list lines of every record):
//
//   BM_AddThenList      Add of a mid-plan date
//   BM_ChangeThenList   Change moving the first record to the end
//   BM_RemoveThenList   Remove of the first record
//
// Goal: under 50 ms each.

#include "plan/RecordEditing.h"
#include "ui/MessageBox.h"
#include "views/RecordsList.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace zp;

class SilentMessages : public MessageBoxService {
public:
    int msgBox(const QString&, int, const QString&) override { return MsgAnswer::Yes; }
};

constexpr int kRecords = RecordStore::kMaxRecords - 1;

void fill(RecordStore& store)
{
    std::vector<PlannerRecord> records;
    records.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        PlannerRecord r;
        const int day = i / 1440;
        r[Field::StartDate] = QStringLiteral("%1/%2/%3")
                                  .arg(day % 28 + 1, 2, 10, QLatin1Char('0'))
                                  .arg(day / 28 % 12 + 1, 2, 10, QLatin1Char('0'))
                                  .arg(1990 + day / 336);
        r[Field::Time] = QStringLiteral("%1:%2").arg(i / 60 % 24, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0'));
        r[Field::Name] = QStringLiteral("Job %1").arg(i);
        r[Field::Message] = QStringLiteral("Call about the quote for the kitchen");
        r[Field::JobStatus] = QStringLiteral("0");
        r[Field::ImagePath] = kNoAttachment;
        r[Field::AudioPath] = kNoAttachment;
        records.push_back(r);
    }
    store.replaceAll(std::move(records));
    for (int i = 1; i <= store.recordCount(); ++i)
        store.recordKey(i); // keys known, as after the first list rebuild
}

EntryFields fields(const QString& date)
{
    EntryFields f;
    f.text2 = date;
    f.text3 = QStringLiteral("12:00");
    f.text5 = QStringLiteral("Bench");
    return f;
}

void BM_AddThenList(benchmark::State& state)
{
    SilentMessages messages;
    RecordStore store;
    fill(store);
    RecordEditor editor(store, messages);
    for (auto _ : state) {
        editor.ADDPLANRECORD(fields(QStringLiteral("15/06/1990")));
        benchmark::DoNotOptimize(buildRecordsListLines(store, kSortByDate));
        state.PauseTiming();
        editor.REMOVEPLANRECORD();
        state.ResumeTiming();
    }
}

void BM_ChangeThenList(benchmark::State& state)
{
    SilentMessages messages;
    RecordStore store;
    fill(store);
    RecordEditor editor(store, messages);
    for (auto _ : state) {
        store.currentRecord = 1;
        editor.setScroll({store.recordCount(), 1});
        editor.change(fields(QStringLiteral("01/01/2099")));
        benchmark::DoNotOptimize(buildRecordsListLines(store, kSortByDate));
        state.PauseTiming();
        store.currentRecord = store.recordCount();
        editor.setScroll({store.recordCount(), store.recordCount()});
        editor.change(fields(QStringLiteral("01/01/1980")));
        state.ResumeTiming();
    }
}

void BM_RemoveThenList(benchmark::State& state)
{
    SilentMessages messages;
    RecordStore store;
    fill(store);
    RecordEditor editor(store, messages);
    for (auto _ : state) {
        editor.setScroll({store.recordCount(), 1});
        editor.REMOVEPLANRECORD();
        benchmark::DoNotOptimize(buildRecordsListLines(store, kSortByDate));
        state.PauseTiming();
        editor.ADDPLANRECORD(fields(QStringLiteral("01/01/1980")));
        state.ResumeTiming();
    }
}

BENCHMARK(BM_AddThenList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangeThenList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveThenList)->Unit(benchmark::kMillisecond);

} // namespace
