// The standard print of a plan whose messages are as long as a plan file
// allows (4 MiB each), against "Copy all" of the same plan.
//
//   BM_PrintStandardLongFields   one printStandard into an in-memory PDF and
//                                one writeCopyAllText into an in-memory
//                                text, each timed on its own; "ratio" is
//                                the print's time over the copy's
//
// The print shows one cut line of each message, so it must not cost more
// than writing every character out. Goal: ratio within 3 (the benchmark
// reports an error when it is over).

#include "BenchApplication.h"
#include "ui/MessageBox.h"
#include "ui/QtPrinting.h"
#include "views/Printing.h"
#include "views/RecordCopyText.h"

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextStream>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using zp::RecordStore;

class NoMessages : public zp::MessageBoxService {
public:
    int msgBox(const QString&, int, const QString&) override { return zp::MsgAnswer::Yes; }
};

// Four records, each with a message of 4 MiB less a little (the longest a
// plan file line may be) of words, and a long name.
const RecordStore& longFieldPlan()
{
    static const RecordStore store = [] {
        RecordStore s;
        std::vector<zp::PlannerRecord> records;
        const QString words = QStringLiteral("call back about the quote ");
        QString message;
        while (message.size() + words.size() < (4 << 20) - 16)
            message += words;
        for (int i = 1; i <= 4; ++i) {
            zp::PlannerRecord r;
            r[zp::Field::StartDate] = QStringLiteral("0%1/11/1996").arg(i);
            r[zp::Field::Time] = QStringLiteral("10:30");
            r[zp::Field::Name] = QStringLiteral("Job%1 ").arg(i) + message.left(100000);
            r[zp::Field::Message] = message;
            r[zp::Field::JobStatus] = QStringLiteral("0");
            r[zp::Field::ImagePath] = r[zp::Field::AudioPath] = zp::kNoAttachment;
            records.push_back(r);
        }
        s.replaceAll(records);
        s.planFileName = QStringLiteral("long.pln");
        return s;
    }();
    return store;
}

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_PrintStandardLongFields(benchmark::State& state)
{
    zp::bench::ensureApplication();
    const RecordStore& store = longFieldPlan();
    double print = 0, copy = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setResolution(1200);
            zp::PainterPrinter printer(&writer, 1);
            NoMessages messages;
            zp::SilentPrintFeedback feedback;
            zp::PrintJob job{messages, feedback, [&printer]() -> zp::Printer* { return &printer; }, QString(), 10};
            benchmark::DoNotOptimize(zp::printStandard(store, zp::PrintRange{}, job));
        }
        print += seconds(start);
        start = std::chrono::steady_clock::now();
        {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QTextStream out(&buffer);
            out.setEncoding(QStringConverter::Utf8);
            zp::writeCopyAllText(store, out, QLatin1String("\n"));
            out.flush();
            benchmark::DoNotOptimize(buffer.size());
        }
        copy += seconds(start);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["print_ms"] = 1000 * print / n;
    state.counters["copy_ms"] = 1000 * copy / n;
    state.counters["ratio"] = copy > 0 ? print / copy : 0;
    if (copy > 0 && print / copy > 3)
        state.SkipWithError("the print took more than three times the copy");
}

BENCHMARK(BM_PrintStandardLongFields)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
