// Calendar export timings on a full plan (32767 records).
//
//   BM_CalendarExport         calendarText: every record as an event or to-do,
//                             escaped and folded
//   BM_CalendarLinesBaseline  the same number of lines, each a bare string of
//                             the record's own texts, written to a buffer as
//                             UTF-8 with CR LF
//
// "lines" is the number of lines written; BM_CalendarExport's "vs_baseline"
// is its time over the baseline's, measured in the same run.
// Goal: the export under 1 s and within three times its baseline.

#include "BenchPlans.h"
#include "plan/Calendar.h"
#include "plan/RecordStore.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimeZone>

#include <functional>
#include <limits>
#include <string>

namespace {

namespace Field = zp::Field;
using zp::RecordStore;

const RecordStore& fullStore()
{
    static const RecordStore store = [] {
        zp::bench::PlanShape shape;
        shape.inDateOrder = true;
        return zp::bench::makeStore(shape);
    }();
    return store;
}

const QDateTime kStamp(QDate(2026, 12, 7), QTime(9, 0), QTimeZone::utc());

QByteArray exportCalendar()
{
    return zp::calendarText(fullStore(), zp::DateOrder::DayFirst, kStamp);
}

// The number of lines the export writes, before folding.
int exportLines()
{
    static const int lines = [] {
        const QByteArray text = exportCalendar();
        return int(text.count("\r\n") - text.count("\r\n "));
    }();
    return lines;
}

// The baseline: as many lines, cycling through the records' own texts.
QByteArray writeBareLines(int lines)
{
    const RecordStore& store = fullStore();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QTextStream out(&buffer);
    out.setEncoding(QStringConverter::Utf8);
    int record = 1, field = 1;
    for (int i = 0; i < lines; ++i) {
        out << store.field(field, record) << "\r\n";
        if (++field > Field::Count) {
            field = 1;
            record = record % store.recordCount() + 1;
        }
    }
    out.flush();
    return bytes;
}

double bestSeconds(const std::function<void()>& work, int rounds)
{
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, double(t.nsecsElapsed()) * 1e-9);
    }
    return best;
}

void BM_CalendarExport(benchmark::State& state)
{
    const int lines = exportLines();
    for (auto _ : state)
        benchmark::DoNotOptimize(exportCalendar());
    // The two timed alike here, best of three each, for the ratio.
    const double exportTime = bestSeconds([] { benchmark::DoNotOptimize(exportCalendar()); }, 3);
    const double baseTime = bestSeconds([lines] { benchmark::DoNotOptimize(writeBareLines(lines)); }, 3);
    state.counters["lines"] = lines;
    state.counters["vs_baseline"] = exportTime / baseTime;
    if (!(exportTime < 1.0 && exportTime / baseTime <= 3.0)) {
        static std::string error;
        error = "export of a full plan takes " + std::to_string(exportTime) + " s, "
                + std::to_string(exportTime / baseTime) + " times its baseline (goal: under 1 s, at most 3 times)";
        state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_CalendarExport)->Unit(benchmark::kMillisecond);

void BM_CalendarLinesBaseline(benchmark::State& state)
{
    const int lines = exportLines();
    for (auto _ : state)
        benchmark::DoNotOptimize(writeBareLines(lines));
    state.counters["lines"] = lines;
}
BENCHMARK(BM_CalendarLinesBaseline)->Unit(benchmark::kMillisecond);

} // namespace
