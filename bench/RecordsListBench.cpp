// Records list rebuild on a full plan (32767 records).
//
//   BM_RebuildRecordsList/<mode>   the model reset and the lines of one
//                                  screen (40 rows), as a rebuild and the
//                                  view's next paint do; mode 0 date,
//                                  1 name, 2 task, 3 day (a weekday per record)
//   BM_RebuildWithKeyword          the date layout with a keyword highlight
//                                  (every record's line is matched)
//   BM_RebuildWithDateConversion   the date layout while dates are being
//                                  converted (a plain swap stands in for the
//                                  real one)
//   BM_LinesOnly                   the lines without the model
//
// Goal: a whole rebuild, model reset included, well under 50 ms.

#include "BenchPlans.h"
#include "views/RecordsList.h"
#include "views/RecordsListModel.h"

#include <benchmark/benchmark.h>


namespace {

using zp::RecordStore;

// The rows a records list of the usual size shows at once.
constexpr int kScreenRows = 40;

// Asks for the lines of one screen, as a view does after a reset.
void showScreen(const zp::RecordsListModel& model)
{
    for (int row = 0; row < kScreenRows && row < model.rowCount(); ++row)
        benchmark::DoNotOptimize(model.data(model.index(row)));
}

// A busy plan with dates over thirty years; a few records have no date,
// time or phone.
RecordStore& fullStore()
{
    static RecordStore store = zp::bench::makeStore();
    return store;
}

const QString& modeWord(int64_t index)
{
    return zp::displayModeItems()[static_cast<std::size_t>(index)].word;
}

void BM_RebuildRecordsList(benchmark::State& state)
{
    RecordStore& store = fullStore();
    const QString& mode = modeWord(state.range(0));
    zp::RecordsListModel model;
    for (auto _ : state) {
        model.setContent(store, zp::rebuildRecordsListContent(store, mode, QString(), false, {}));
        showScreen(model);
    }
    state.SetLabel(mode.toStdString());
}
BENCHMARK(BM_RebuildRecordsList)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_RebuildWithKeyword(benchmark::State& state)
{
    RecordStore& store = fullStore();
    zp::RecordsListModel model;
    for (auto _ : state) {
        model.setContent(store, zp::rebuildRecordsListContent(store, zp::kSortByDate, QStringLiteral("bathroom"), false, {}));
        showScreen(model);
    }
}
BENCHMARK(BM_RebuildWithKeyword)->Unit(benchmark::kMillisecond);

void BM_RebuildWithDateConversion(benchmark::State& state)
{
    RecordStore& store = fullStore();
    // Exchanges the two-digit day and month of a dd/mm/yyyy text; run twice
    // per iteration would undo itself, so every iteration converts once.
    const zp::DateSwap swap = [](const QString& t) {
        if (t.size() != 10)
            return t;
        return t.mid(3, 2) + QLatin1Char('/') + t.left(2) + t.mid(5);
    };
    zp::RecordsListModel model;
    for (auto _ : state) {
        model.setContent(store, zp::rebuildRecordsListContent(store, zp::kSortByDate, QString(), true, swap));
        showScreen(model);
    }
}
BENCHMARK(BM_RebuildWithDateConversion)->Unit(benchmark::kMillisecond);

void BM_LinesOnly(benchmark::State& state)
{
    RecordStore& store = fullStore();
    for (auto _ : state) {
        QStringList lines = zp::buildRecordsListLines(store, zp::kSortByDate);
        benchmark::DoNotOptimize(lines.size());
    }
}
BENCHMARK(BM_LinesOnly)->Unit(benchmark::kMillisecond);

} // namespace
