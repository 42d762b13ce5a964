// Records list rebuild on a full plan (32767 records).
//
//   BM_RebuildRecordsList/<mode>   lines for every record plus the model
//                                  reset, as a rebuild does; mode 0 date,
//                                  1 name, 2 task, 3 day (a weekday per record)
//   BM_RebuildWithKeyword          the date layout with a keyword highlight
//   BM_RebuildWithDateConversion   the date layout while dates are being
//                                  converted (a plain swap stands in for the
//                                  real one)
//   BM_LinesOnly                   the lines without the model
//
// Goal: a whole rebuild, model reset included, well under 50 ms.

#include "views/RecordsList.h"
#include "views/RecordsListModel.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

namespace Field = zp::Field;
using zp::PlannerRecord;
using zp::RecordStore;

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

// Dated records with times, names, messages, amounts and phones as a busy
// plan would have them; a few records have no date, time or phone.
const std::vector<PlannerRecord>& fullPlan()
{
    static const std::vector<PlannerRecord> plan = [] {
        std::mt19937 rng(19961105);
        std::uniform_int_distribution<int> year(1980, 2009);
        std::uniform_int_distribution<int> month(1, 12);
        std::uniform_int_distribution<int> day(1, 28);
        std::uniform_int_distribution<int> hour(0, 23);
        std::uniform_int_distribution<int> minute(0, 59);
        std::uniform_int_distribution<int> percent(0, 99);
        std::vector<PlannerRecord> records;
        records.reserve(RecordStore::kMaxRecords);
        for (int i = 0; i < RecordStore::kMaxRecords; ++i) {
            PlannerRecord r;
            if (percent(rng) >= 3)
                r[Field::StartDate] = twoDigits(day(rng)) + '/' + twoDigits(month(rng)) + '/' + QString::number(year(rng));
            if (percent(rng) >= 10)
                r[Field::Time] = twoDigits(hour(rng)) + ':' + twoDigits(minute(rng));
            r[Field::Name] = QStringLiteral("Smith and Sons Plumbing %1").arg(i);
            if (percent(rng) >= 30)
                r[Field::PhoneAfterHours] = QStringLiteral("9432 %1").arg(1000 + i % 9000);
            if (percent(rng) >= 50)
                r[Field::PhoneBusinessHours] = QStringLiteral("9555 %1").arg(1000 + i % 9000);
            r[Field::Message] = QStringLiteral("Call about the quote for the kitchen and the back bathroom");
            r[Field::Income] = QString::number(i % 500);
            r[Field::Expense] = QString::number(i % 7);
            r[Field::JobStatus] = QString::number(i % 2);
            r[Field::ImagePath] = zp::kNoAttachment;
            r[Field::AudioPath] = zp::kNoAttachment;
            records.push_back(std::move(r));
        }
        return records;
    }();
    return plan;
}

RecordStore& fullStore()
{
    static RecordStore store = [] {
        RecordStore s;
        s.replaceAll(fullPlan());
        return s;
    }();
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
        model.setContent(zp::rebuildRecordsListContent(store, mode, QString(), false, {}));
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.SetLabel(mode.toStdString());
}
BENCHMARK(BM_RebuildRecordsList)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_RebuildWithKeyword(benchmark::State& state)
{
    RecordStore& store = fullStore();
    zp::RecordsListModel model;
    for (auto _ : state) {
        model.setContent(zp::rebuildRecordsListContent(store, zp::kSortByDate, QStringLiteral("bathroom"), false, {}));
        benchmark::DoNotOptimize(model.rowCount());
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
        model.setContent(zp::rebuildRecordsListContent(store, zp::kSortByDate, QString(), true, swap));
        benchmark::DoNotOptimize(model.rowCount());
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
