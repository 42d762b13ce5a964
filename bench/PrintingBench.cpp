// Printing a full plan (32767 records) into a PDF held in memory.
//
//   BM_PrintStandardPdf         the standard style, every column
//   BM_PrintStandardBaseline    the same text lines at the same places drawn
//                               straight onto a QPdfWriter
//   BM_PrintTimeLinePdf         the time line of a plan within one year
//   BM_PrintTimeLineBaseline    its text lines straight onto a QPdfWriter
//                               (the bars and strokes are extra work)
//
// Goal: the standard style within twice its baseline.

#include "BenchApplication.h"
#include "BenchPlans.h"
#include "ui/MessageBox.h"
#include "ui/QtPrinting.h"
#include "views/Printing.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

using zp::RecordStore;

void prepare(QPdfWriter& writer)
{
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(1200);
}

class NoMessages : public zp::MessageBoxService {
public:
    int msgBox(const QString&, int, const QString&) override { return zp::MsgAnswer::Yes; }
};

struct DrawnText {
    int page;
    QPointF at; // top-left, page coordinates
    QString text;
};

// Draws like the program and keeps what it drew, for the baseline.
class CapturingPrinter : public zp::PainterPrinter {
public:
    using PainterPrinter::PainterPrinter;
    bool newPage() override
    {
        ++page_;
        return PainterPrinter::newPage();
    }
    std::vector<DrawnText> texts;

protected:
    void drawTextAt(double x, double y, const QString& text) override
    {
        if (capture)
            texts.push_back({page_, QPointF(x, y), text});
        PainterPrinter::drawTextAt(x, y, text);
    }

public:
    bool capture = false;

private:
    int page_ = 0;
};

using Routine = zp::PrintOutcome (*)(const RecordStore&, zp::PrintJob&);

zp::PrintOutcome standard(const RecordStore& store, zp::PrintJob& job)
{
    return zp::printStandard(store, zp::PrintRange{}, job);
}

zp::PrintOutcome timeLine(const RecordStore& store, zp::PrintJob& job)
{
    return zp::printTimeLine(store, job);
}

// One print into a fresh in-memory PDF; its size in bytes.
qint64 printOnce(const RecordStore& store, Routine routine, std::vector<DrawnText>* capture = nullptr)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    prepare(writer);
    CapturingPrinter printer(&writer, 1);
    printer.capture = capture != nullptr;
    NoMessages messages;
    zp::SilentPrintFeedback feedback;
    zp::PrintJob job{messages, feedback, [&printer]() -> zp::Printer* { return &printer; }, QString(), 10};
    routine(store, job);
    if (capture)
        *capture = std::move(printer.texts);
    return buffer.size();
}

// The same texts at the same places, with nothing in between.
qint64 drawBaseline(const std::vector<DrawnText>& texts)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    prepare(writer);
    QPainter painter(&writer);
    QFont font = QGuiApplication::font();
    font.setPointSize(10);
    painter.setFont(font);
    const double ascent = QFontMetricsF(font, &writer).ascent();
    int page = 0;
    for (const DrawnText& t : texts) {
        while (page < t.page) {
            writer.newPage();
            ++page;
        }
        painter.drawText(QPointF(t.at.x(), t.at.y() + ascent), t.text);
    }
    painter.end();
    return buffer.size();
}

const RecordStore& fullPlan()
{
    static const RecordStore store = zp::bench::makeStore();
    return store;
}

const RecordStore& oneYearPlan()
{
    static const RecordStore store = [] {
        zp::bench::PlanShape shape;
        shape.firstYear = shape.lastYear = 1996;
        return zp::bench::makeStore(shape);
    }();
    return store;
}

void runPrint(benchmark::State& state, const RecordStore& store, Routine routine)
{
    zp::bench::ensureApplication();
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = printOnce(store, routine);
    state.counters["pdf_MB"] = static_cast<double>(bytes) / 1e6;
}

void runBaseline(benchmark::State& state, const RecordStore& store, Routine routine)
{
    zp::bench::ensureApplication();
    std::vector<DrawnText> texts;
    printOnce(store, routine, &texts);
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = drawBaseline(texts);
    state.counters["lines"] = static_cast<double>(texts.size());
    state.counters["pdf_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_PrintStandardPdf(benchmark::State& state) { runPrint(state, fullPlan(), standard); }
void BM_PrintStandardBaseline(benchmark::State& state) { runBaseline(state, fullPlan(), standard); }
void BM_PrintTimeLinePdf(benchmark::State& state) { runPrint(state, oneYearPlan(), timeLine); }
void BM_PrintTimeLineBaseline(benchmark::State& state) { runBaseline(state, oneYearPlan(), timeLine); }

BENCHMARK(BM_PrintStandardPdf)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PrintStandardBaseline)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PrintTimeLinePdf)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PrintTimeLineBaseline)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
