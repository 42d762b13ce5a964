// Find in a full plan (32767 records): one keystroke narrows the records
// list and the list paints the lines of one screen with their marks.
//
//   BM_FindKeystroke/<mode>        the first letters typed ("ba"): every
//                                  record read and folded, the model
//                                  narrowed, one screen's lines and marks
//                                  made; mode 0 date, 1 name, 2 task, 3 day
//   BM_FindWeekdayKeystroke        the day layout with a text that is in a
//                                  weekday name ("day"), so every date is read
//   BM_FindNextLetter              one more letter ("bat" after "ba"): only
//                                  the earlier finds are looked at again
//   BM_FindRareText                a text no record has
//   BM_FindTenThousandCharacters   a pasted text of 10,000 characters
//   BM_FindSameListLines/<mode>    what it is measured against: building
//                                  the lines of every record in that layout
//   BM_FindInTheWindow             the real thing: the first letter typed
//                                  into the find bar of the main window
//                                  holding the plan, and the list repainted
//
// Goal: every keystroke under 16 ms, one frame.

#include "BenchApplication.h"
#include "BenchPlans.h"
#include "app/windows/MainWindow.h"
#include "state/ProgramState.h"
#include "ui/QtPlatform.h"
#include "views/RecordSearch.h"
#include "views/RecordsList.h"
#include "views/RecordsListModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QKeyEvent>
#include <benchmark/benchmark.h>

namespace {

using zp::LineLayout;
using zp::RecordStore;

constexpr int kScreenRows = 40;

RecordStore& fullStore()
{
    static RecordStore store = zp::bench::makeStore();
    return store;
}

LineLayout layoutOf(int64_t mode)
{
    return zp::lineLayoutOf(zp::displayModeItems()[static_cast<std::size_t>(mode)].word);
}

// A keystroke as the window handles it: search, narrow, one screen painted.
void keystroke(zp::RecordsFind& find, zp::RecordsListModel& model, LineLayout layout, const QString& text)
{
    RecordStore& store = fullStore();
    std::vector<int> found = find.search(store, layout, store.dateOrder(), text);
    model.narrow(std::move(found), find.current());
    for (int row = 0; row < kScreenRows && row < model.rowCount(); ++row) {
        benchmark::DoNotOptimize(model.data(model.index(row)));
        benchmark::DoNotOptimize(model.findMarks(row));
    }
}

void setUp(zp::RecordsListModel& model, LineLayout layout)
{
    RecordStore& store = fullStore();
    zp::RecordsListContent content = zp::rebuildRecordsListContent(store, zp::kSortByDate, QString(), false, {});
    content.layout = layout;
    model.setContent(store, std::move(content));
}

void runKeystroke(benchmark::State& state, LineLayout layout, const QString& text)
{
    zp::RecordsListModel model;
    setUp(model, layout);
    for (auto _ : state) {
        zp::RecordsFind find; // nothing found before: every record is read
        keystroke(find, model, layout, text);
    }
    state.counters["found"] = model.rowCount();
}

void BM_FindKeystroke(benchmark::State& state)
{
    runKeystroke(state, layoutOf(state.range(0)), QStringLiteral("ba"));
}
BENCHMARK(BM_FindKeystroke)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_FindWeekdayKeystroke(benchmark::State& state)
{
    runKeystroke(state, LineLayout::ByDay, QStringLiteral("day"));
}
BENCHMARK(BM_FindWeekdayKeystroke)->Unit(benchmark::kMillisecond);

void BM_FindRareText(benchmark::State& state)
{
    runKeystroke(state, LineLayout::ByDate, QStringLiteral("zq"));
}
BENCHMARK(BM_FindRareText)->Unit(benchmark::kMillisecond);

void BM_FindTenThousandCharacters(benchmark::State& state)
{
    runKeystroke(state, LineLayout::ByDate, QString(10000, u'a'));
}
BENCHMARK(BM_FindTenThousandCharacters)->Unit(benchmark::kMillisecond);

void BM_FindNextLetter(benchmark::State& state)
{
    zp::RecordsListModel model;
    setUp(model, LineLayout::ByDate);
    for (auto _ : state) {
        state.PauseTiming();
        zp::RecordsFind find;
        keystroke(find, model, LineLayout::ByDate, QStringLiteral("ba"));
        state.ResumeTiming();
        keystroke(find, model, LineLayout::ByDate, QStringLiteral("bat"));
    }
    state.counters["found"] = model.rowCount();
}
BENCHMARK(BM_FindNextLetter)->Unit(benchmark::kMillisecond);

void BM_FindSameListLines(benchmark::State& state)
{
    const RecordStore& store = fullStore();
    const LineLayout layout = layoutOf(state.range(0));
    for (auto _ : state) {
        qsizetype total = 0;
        zp::forEachRecordsListLine(store, layout, store.dateOrder(),
                                   [&total](int, QStringView line) { total += line.size(); });
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_FindSameListLines)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_FindInTheWindow(benchmark::State& state)
{
    zp::bench::ensureApplication();
    zp::ProgramState program;
    program.store = zp::bench::makeStore();
    zp::QtPlatform qt;
    zp::MainWindow window(program, qt.platform());
    window.initialise();
    window.rebuildRecordsList();
    window.show();
    QApplication::processEvents();
    window.menuAction(QStringLiteral("Findrecords"))->trigger();
    auto* text = window.findChild<QLineEdit*>(QStringLiteral("FindText"));
    auto* list = window.findChild<QListView*>(QStringLiteral("Viewlist"));
    if (!text || !list) {
        state.SkipWithError("no find bar");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        text->clear();
        QApplication::processEvents();
        state.ResumeTiming();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
        QApplication::sendEvent(text, &press);
        list->viewport()->repaint();
    }
    state.counters["found"] = list->model()->rowCount();
}
BENCHMARK(BM_FindInTheWindow)->Unit(benchmark::kMillisecond);

} // namespace
