// Entry-panel commands on a plan of 32766 records, each followed by the
// records list rebuild it triggers (the lines of one screen):
//
//   BM_AddThenList      Add of a mid-plan date
//   BM_ChangeThenList   Change moving the first record to the end
//   BM_RemoveThenList   Remove of the first record
//
// Goal: under 50 ms each.

#include "BenchPlans.h"
#include "plan/RecordEditing.h"
#include "ui/MessageBox.h"
#include "views/RecordsList.h"

#include <benchmark/benchmark.h>

namespace {

using namespace zp;

class SilentMessages : public MessageBoxService {
public:
    int msgBox(const QString&, int, const QString&) override { return MsgAnswer::Yes; }
};

// A plan one short of full, every record dated (1981 to 2009), in date
// order as loaded and with its key known, as after the first list rebuild.
// Nothing is dated 1980 or after 2009, so those dates go first or last.
struct EditedPlan {
    SilentMessages messages;
    RecordStore store = bench::makeStore(shape());
    RecordEditor editor{store, messages};

    EditedPlan() { store.sortChronologically(); }

    static bench::PlanShape shape()
    {
        bench::PlanShape s;
        s.records = RecordStore::kMaxRecords - 1;
        s.firstYear = 1981;
        s.datedPercent = 100;
        s.inDateOrder = true;
        return s;
    }
};

EntryFields fields(const QString& date)
{
    EntryFields f;
    f.text2 = date;
    f.text3 = QStringLiteral("12:00");
    f.text5 = QStringLiteral("Bench");
    return f;
}

// Times `command` and the list rebuild after it; `undo` (untimed) puts the
// plan back as it was.
template <typename Command, typename Undo>
void timeThenList(benchmark::State& state, EditedPlan& plan, Command command, Undo undo)
{
    for (auto _ : state) {
        command();
        // The rebuild, and the screenful of lines the list then shows.
        const RecordsListContent content = rebuildRecordsListContent(plan.store, kSortByDate, QString(), false, {});
        for (int row = 0; row < std::min(content.rowCount, 40); ++row)
            benchmark::DoNotOptimize(recordListLine(plan.store.record(row + 1), content.layout, content.order));
        state.PauseTiming();
        undo();
        state.ResumeTiming();
    }
}

void BM_AddThenList(benchmark::State& state)
{
    EditedPlan plan;
    timeThenList(
        state, plan, [&] { plan.editor.addRecord(fields(QStringLiteral("15/06/1995"))); },
        [&] { plan.editor.removeCurrentRecord(); });
}

void BM_ChangeThenList(benchmark::State& state)
{
    EditedPlan plan;
    RecordStore& store = plan.store;
    timeThenList(
        state, plan,
        [&] {
            store.currentRecord = 1;
            plan.editor.setScroll({store.recordCount(), 1});
            plan.editor.change(fields(QStringLiteral("01/01/2099")));
        },
        [&] {
            store.currentRecord = store.recordCount();
            plan.editor.setScroll({store.recordCount(), store.recordCount()});
            plan.editor.change(fields(QStringLiteral("01/01/1980")));
        });
}

void BM_RemoveThenList(benchmark::State& state)
{
    EditedPlan plan;
    timeThenList(
        state, plan,
        [&] {
            plan.editor.setScroll({plan.store.recordCount(), 1});
            plan.editor.removeCurrentRecord();
        },
        [&] { plan.editor.addRecord(fields(QStringLiteral("01/01/1980"))); });
}

BENCHMARK(BM_AddThenList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangeThenList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveThenList)->Unit(benchmark::kMillisecond);

} // namespace
