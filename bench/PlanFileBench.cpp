// Plan file timings on a full plan (32767 records, about 6 MB).
//
//   BM_ReadPlanFile        readPlanFile into a store, same style as the file
//   BM_ReadPlanFileOther   the same file read under the other date order
//                          (every date converted)
//   BM_ReadLinesBaseline   reading the same bytes and cutting them into lines
//   BM_WritePlanFile       writePlanFile, safe replacement and syncs included
//   BM_WriteLinesBaseline  writing the same lines, each with CR LF, to a file
//                          (no temporary file, no sync)
//   BM_WriteLinesSynced    the baseline followed by one fsync, for scale
//
// Goal: reading and writing each within three times its baseline.

#include "plan/PlanFile.h"
#include "plan/RecordStore.h"

#include <benchmark/benchmark.h>

#include <QByteArrayList>
#include <QFile>
#include <QTemporaryDir>

#include <random>
#include <vector>

#include <unistd.h>

namespace {

namespace Field = zp::Field;
using zp::PlannerRecord;
using zp::RecordStore;

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

// Field lengths as a working plan has them: dates, a time on most records,
// a name, two phone numbers, a message of a few words, amounts, and now and
// then a picture, a recording or a finish date.
const std::vector<PlannerRecord>& fullPlan()
{
    static const std::vector<PlannerRecord> plan = [] {
        std::mt19937 rng(19961105);
        std::uniform_int_distribution<int> year(1990, 2009);
        std::uniform_int_distribution<int> month(1, 12);
        std::uniform_int_distribution<int> day(1, 28);
        std::uniform_int_distribution<int> hour(7, 19);
        std::uniform_int_distribution<int> percent(0, 99);
        static const char* const messages[] = {
            "Call about the quote for the kitchen",
            "Deliver the invoice, ask about the second floor and the garden wall",
            "Meeting",
            "Pick up the samples from the depot before noon and bring them to the site office",
            "",
        };
        std::vector<PlannerRecord> records;
        records.reserve(RecordStore::kMaxRecords);
        for (int i = 0; i < RecordStore::kMaxRecords; ++i) {
            PlannerRecord r;
            const int y = year(rng);
            r[Field::StartDate] = twoDigits(day(rng)) + '/' + twoDigits(month(rng)) + '/' + QString::number(y);
            if (percent(rng) < 85)
                r[Field::Time] = twoDigits(hour(rng)) + (percent(rng) < 50 ? QStringLiteral(":00") : QStringLiteral(":30"));
            r[Field::Name] = QStringLiteral("Customer %1 and Sons Ltd").arg(i);
            r[Field::PhoneAfterHours] = QStringLiteral("(02) 9555 %1").arg(1000 + i % 9000);
            r[Field::PhoneBusinessHours] = QStringLiteral("(02) 9444 %1").arg(1000 + (i * 7) % 9000);
            r[Field::Message] = QString::fromLatin1(messages[i % 5]);
            r[Field::Income] = QString::number((i * 37) % 2000) + QStringLiteral(".00");
            r[Field::Expense] = QString::number((i * 13) % 300);
            r[Field::JobStatus] = percent(rng) < 40 ? QStringLiteral("1") : QStringLiteral("0");
            r[Field::ImagePath] = percent(rng) < 10 ? QStringLiteral("/home/ann/Pictures/site%1.bmp").arg(i)
                                                    : zp::kNoAttachment;
            r[Field::AudioPath] = percent(rng) < 5 ? QStringLiteral("/home/ann/.local/share/zorvik/%1.wav").arg(10000000 + i)
                                                   : zp::kNoAttachment;
            if (percent(rng) < 30)
                r[Field::FinishDate] = twoDigits(day(rng)) + '/' + twoDigits(month(rng)) + '/' + QString::number(y + 1);
            records.push_back(std::move(r));
        }
        return records;
    }();
    return plan;
}

struct PlanOnDisk {
    QTemporaryDir dir;
    QString path;
    qint64 size = 0;

    PlanOnDisk()
    {
        RecordStore store;
        store.replaceAll(fullPlan());
        store.systemDateStyle = zp::kEnglishEuro;
        path = dir.filePath(QStringLiteral("full.pln"));
        zp::writePlanFile(path, store);
        size = QFile(path).size();
    }

    static const PlanOnDisk& instance()
    {
        static const PlanOnDisk plan;
        return plan;
    }
};

void readPlan(benchmark::State& state, zp::DateOrder order)
{
    const PlanOnDisk& plan = PlanOnDisk::instance();
    for (auto _ : state) {
        RecordStore store;
        const zp::PlanReadResult r = zp::readPlanFile(plan.path, store, order);
        if (!r.loaded() || store.recordCount() != RecordStore::kMaxRecords) {
            state.SkipWithError("plan not loaded");
            break;
        }
        benchmark::DoNotOptimize(store.recordCount());
    }
    state.SetBytesProcessed(state.iterations() * plan.size);
    state.counters["MB"] = static_cast<double>(plan.size) / 1e6;
}

void BM_ReadPlanFile(benchmark::State& state) { readPlan(state, zp::DateOrder::DayFirst); }
BENCHMARK(BM_ReadPlanFile)->Unit(benchmark::kMillisecond);

void BM_ReadPlanFileOther(benchmark::State& state) { readPlan(state, zp::DateOrder::MonthFirst); }
BENCHMARK(BM_ReadPlanFileOther)->Unit(benchmark::kMillisecond);

void BM_ReadLinesBaseline(benchmark::State& state)
{
    const PlanOnDisk& plan = PlanOnDisk::instance();
    for (auto _ : state) {
        QFile file(plan.path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot open");
            break;
        }
        const QByteArray bytes = file.readAll();
        QByteArrayList lines = bytes.split('\n');
        for (QByteArray& line : lines)
            if (line.endsWith('\r'))
                line.chop(1);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * plan.size);
}
BENCHMARK(BM_ReadLinesBaseline)->Unit(benchmark::kMillisecond);

void BM_WritePlanFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.pln"));
    RecordStore store;
    store.replaceAll(fullPlan());
    for (auto _ : state) {
        if (!zp::writePlanFile(path, store).ok()) {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_WritePlanFile)->Unit(benchmark::kMillisecond);

void writeLines(benchmark::State& state, bool sync)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.pln"));
    QFile source(PlanOnDisk::instance().path);
    source.open(QIODevice::ReadOnly);
    QByteArrayList lines = source.readAll().split('\n');
    for (QByteArray& line : lines)
        line.chop(1); // the CR
    lines.removeLast(); // after the final line end
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            state.SkipWithError("cannot open");
            break;
        }
        for (const QByteArray& line : lines) {
            file.write(line);
            file.write("\r\n", 2);
        }
        file.flush();
        if (sync)
            ::fsync(file.handle());
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

void BM_WriteLinesBaseline(benchmark::State& state) { writeLines(state, false); }
BENCHMARK(BM_WriteLinesBaseline)->Unit(benchmark::kMillisecond);

void BM_WriteLinesSynced(benchmark::State& state) { writeLines(state, true); }
BENCHMARK(BM_WriteLinesSynced)->Unit(benchmark::kMillisecond);

} // namespace
