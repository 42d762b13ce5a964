// Undo, redo and repeat on a full plan (32767 records in date order).
//
//   BM_UndoRedo/0 ... /3   one undo and one redo of a single-record step:
//                          0 a grid cell edited, 1 the first record removed
//                          (every record moves), 2 a record added in the
//                          middle, 3 the first record changed (it moves to
//                          the end). Goal: each under 16 ms (one frame).
//   BM_WindowUndo          Edit > Undo in the main window on a full plan:
//                          the step taken back, the records list rebuilt and
//                          the Edit page shown again. Goal: under 16 ms.
//   BM_Repeat520           ten years of a weekly record (520 copies) dated
//                          and added as one step. Goal: under 100 ms.
//   BM_HistoryMemory       1000 single-record edits; the counters give the
//                          bytes the history says it holds and the heap it
//                          grew by. Goal: under 2 MB.

#include "BenchApplication.h"
#include "BenchPlans.h"
#include "app/windows/MainWindow.h"
#include "plan/PlanHistory.h"
#include "plan/RecordEditing.h"
#include "plan/RecordRepeat.h"
#include "state/ProgramState.h"
#include "ui/MessageBox.h"
#include "ui/QtPlatform.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <memory>

namespace {

using namespace zp;

// Every question answered Yes: nothing here should ask one.
class FakeMessageBox : public MessageBoxService {
public:
    int msgBox(const QString&, int, const QString&) override { return MsgAnswer::Yes; }
};

const std::vector<PlannerRecord>& fullPlan()
{
    static const std::vector<PlannerRecord> plan = [] {
        bench::PlanShape shape;
        shape.inDateOrder = true;
        return bench::makePlan(shape);
    }();
    return plan;
}

EntryFields entryOf(const RecordView& record)
{
    return entryFieldsOf(record);
}

void BM_UndoRedo(benchmark::State& state)
{
    RecordStore store;
    // One short of full, so that Add has room: the step ends at 32767.
    std::vector<PlannerRecord> plan = fullPlan();
    plan.pop_back();
    store.replaceAll(plan);
    PlanHistory history(store);
    FakeMessageBox messages;
    RecordEditor editor(store, messages);
    const int middle = store.recordCount() / 2;
    switch (state.range(0)) {
    case 0:
        editor.commitGridCell(middle + 1, 1, QStringLiteral("Edited"));
        break;
    case 1:
        editor.setScroll({store.recordCount(), 1});
        store.currentRecord = 1;
        editor.removeCurrentRecord();
        break;
    case 2:
        editor.setScroll({store.recordCount(), middle});
        store.currentRecord = middle;
        editor.addRecord(entryOf(store.record(middle)));
        break;
    default: {
        editor.setScroll({store.recordCount(), 1});
        store.currentRecord = 1;
        EntryFields fields = entryOf(store.record(1));
        fields.text2 = QStringLiteral("31/12/2099");
        editor.change(fields);
        break;
    }
    }
    if (history.undoCount() != 1) {
        state.SkipWithError("no step");
        return;
    }
    for (auto _ : state) {
        history.undo();
        history.redo();
        benchmark::DoNotOptimize(store.recordCount());
    }
    state.counters["per_step"] =
        benchmark::Counter(2, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UndoRedo)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_WindowUndo(benchmark::State& state)
{
    bench::ensureApplication();
    QtPlatform qt;
    ProgramState program;
    MainWindow window(program, qt.platform());
    window.initialise();
    program.store.replaceAll(fullPlan());
    program.store.currentRecord = program.store.recordCount() / 2;
    window.findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(3);
    window.show();
    window.rebuildRecordsList();
    QApplication::processEvents();
    {
        const HistoryStep step(&program.history, QStringLiteral("Remove"));
        program.store.removeRecord(program.store.currentRecord);
    }
    QAction* undo = window.menuAction(QStringLiteral("Undo"));
    QAction* redo = window.menuAction(QStringLiteral("Redo"));
    for (auto _ : state) {
        undo->trigger();
        state.PauseTiming();
        redo->trigger();
        state.ResumeTiming();
    }
    program.history.clear();
}
BENCHMARK(BM_WindowUndo)->Unit(benchmark::kMillisecond);

void BM_Repeat520(benchmark::State& state)
{
    RecordStore store;
    std::vector<PlannerRecord> plan = fullPlan();
    plan.resize(plan.size() - 600);
    store.replaceAll(plan);
    PlanHistory history(store);
    FakeMessageBox messages;
    const int index = store.recordCount() / 3;
    const RepeatRule weekly{RepeatEvery::Week, std::nullopt, 520};
    for (auto _ : state) {
        const auto copies = repeatCopies(store, index, weekly);
        const int added = addRepeatCopies(store, index, copies, messages);
        state.PauseTiming();
        if (added != 520)
            state.SkipWithError("copies missing");
        history.undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Repeat520)->Unit(benchmark::kMillisecond);

void BM_HistoryMemory(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<RecordStore>();
        store->replaceAll(fullPlan());
        auto history = std::make_unique<PlanHistory>(*store);
        FakeMessageBox messages;
        RecordEditor editor(*store, messages);
        const std::size_t heapBefore = mallinfo2().uordblks;
        state.ResumeTiming();
        for (int i = 1; i <= 1000; ++i)
            editor.commitGridCell(i * 30 + 1, 10, QStringLiteral("Message edited for the %1th time").arg(i));
        state.PauseTiming();
        state.counters["history_bytes"] = double(history->memoryBytes());
        state.counters["heap_growth_bytes"] = double(mallinfo2().uordblks - heapBefore);
        history.reset();
        store.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_HistoryMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
