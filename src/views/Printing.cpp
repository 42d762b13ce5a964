#include "views/Printing.h"

#include "plan/DateText.h"
#include "plan/RecordEditing.h"
#include "plan/TextNumber.h"
#include "ui/MessageBox.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zp {

namespace {

constexpr int kLineWidth = 2;
constexpr int kHeavyLineWidth = 6;
constexpr int kThinLineWidth = 1;

// Starts new sheets only when something is to go on them, so no routine
// leaves an empty page behind (after a copy, after a year, at the end).
class Pages {
public:
    explicit Pages(Printer& printer) : printer_(printer) {}
    // The next drawing goes on a fresh sheet.
    void breakPage() { pending_ = drawn_; }
    // Call before drawing; false when the printer failed.
    bool beforeDraw()
    {
        if (pending_) {
            pending_ = false;
            drawn_ = false;
            if (!printer_.newPage())
                return false;
        }
        drawn_ = true;
        return printer_.ok();
    }

private:
    Printer& printer_;
    bool drawn_ = false;
    bool pending_ = false;
};

void reportFailure(PrintJob& job)
{
    job.messages.msgBox(kPrintError, MsgStyle::Exclamation, kPrintErrorTitle);
}

// Steps 1 and 2 of every routine: the dialog, then the font.
Printer* openPrinter(PrintJob& job, const QString& fontName, int fontSize)
{
    Printer* printer = job.choosePrinter ? job.choosePrinter() : nullptr;
    if (!printer)
        return nullptr;
    if (!printer->setFont(fontName, fontSize))
        job.messages.msgBox(kPrintFontError, MsgStyle::Exclamation, kPrintErrorTitle);
    printer->setDrawWidth(kLineWidth);
    printer->setDrawStyle(DrawStyle::Solid);
    return printer;
}

// Timer back, progress bar away, "Now Printing", the document out, "Printing ok".
PrintOutcome finishDocument(Printer& printer, PrintJob& job)
{
    job.feedback.restore();
    job.feedback.showHint(kNowPrinting);
    if (!printer.endDoc()) {
        job.feedback.showHint(QString());
        reportFailure(job);
        return PrintOutcome::Failed;
    }
    job.feedback.showHint(kPrintingOk);
    return PrintOutcome::Printed;
}

PrintOutcome failDocument(Printer& printer, PrintJob& job)
{
    reportFailure(job);
    printer.endDoc();
    job.feedback.restore();
    return PrintOutcome::Failed;
}

// The record prints say so on an empty plan and print nothing.
bool refuseEmptyPlan(const RecordStore& store, PrintJob& job)
{
    if (store.recordCount() >= 1)
        return false;
    job.messages.msgBox(kNoRecordsToPrint + QLatin1Char('.'), MsgStyle::Exclamation);
    return true;
}

int copiesOf(const Printer& printer)
{
    return std::max(1, printer.copies());
}

// Lines placed from a first line down at a fixed pitch; the page is full
// once the position after a line reaches 0.8 of the page height.
class LineFlow {
public:
    LineFlow(Printer& printer, Pages& pages, double first, double pitch)
        : printer_(printer), pages_(pages), first_(first), pitch_(pitch)
    {
    }
    void restart() { line_ = 0; }
    double y() const { return first_ + line_ * pitch_; }
    // After the line at y() was printed.
    void advance()
    {
        ++line_;
        if (printer_.currentY() >= 0.8 * printer_.pageHeight()) {
            pages_.breakPage();
            line_ = 0;
        }
    }

private:
    Printer& printer_;
    Pages& pages_;
    double first_;
    double pitch_;
    int line_ = 0;
};

// Prints a line at (x, y); false when the printer failed.
bool printAt(Printer& printer, Pages& pages, double x, double y, const QString& text)
{
    if (!pages.beforeDraw())
        return false;
    printer.setCurrentX(x);
    printer.setCurrentY(y);
    printer.printText(text);
    return printer.ok();
}

// What one layout adds to the print skeleton below: its measures and its
// pages. Everything else (the printer, the progress bar, copies, the end
// and every way out on failure) is the skeleton's, the same for all.
class PrintLayout {
public:
    virtual ~PrintLayout() = default;
    // Once, with the printer open and its font set: origin and measures.
    virtual void begin(Printer& p, Pages& pages) = 0;
    // One copy, from a fresh sheet; false when the printer failed.
    virtual bool printCopy(Printer& p, Pages& pages, PrintFeedback& feedback) = 0;
    // "Now Printing" and "Printing ok" round the end; the standard listing
    // has always ended without them.
    virtual bool announcesEnd() const { return true; }
};

// Open the printer, suspend the timer and show progress, the pages of
// every copy, close. The progress bar shows only once a printer was
// chosen: a cancelled dialog leaves the window as it was.
PrintOutcome printDocument(PrintJob& job, PrintLayout& layout, const QString& fontName, int fontSize)
{
    Printer* printer = openPrinter(job, fontName, fontSize);
    if (!printer)
        return PrintOutcome::Cancelled;
    job.feedback.suspend();
    Printer& p = *printer;
    Pages pages(p);
    layout.begin(p, pages);
    const int copies = copiesOf(p);
    for (int copy = 1; copy <= copies; ++copy) {
        pages.breakPage();
        if (!layout.printCopy(p, pages, job.feedback))
            return failDocument(p, job);
    }
    if (layout.announcesEnd())
        return finishDocument(p, job);
    job.feedback.restore();
    if (!p.endDoc()) {
        reportFailure(job);
        return PrintOutcome::Failed;
    }
    return PrintOutcome::Printed;
}

const QString& label(const RecordStore& store, int k)
{
    return store.fieldLabels[static_cast<std::size_t>(k)];
}

bool switchOn(const RecordStore& store, int k)
{
    return label(store, 12 + k) == QLatin1String("on");
}

bool switchNotOff(const RecordStore& store, int k)
{
    return label(store, 12 + k) != QLatin1String("off");
}

// The labelled lines of one record in the standard style.
QStringList standardLines(const RecordStore& store, int i)
{
    const RecordView r = store.record(i);
    auto line = [&](int k, QStringView value) {
        QString text = label(store, k);
        text += QLatin1Char(' ');
        text += value;
        return text;
    };
    QStringList lines;
    lines << QStringLiteral("No. ") + plainNumber(i);
    if (switchNotOff(store, 2))
        lines << line(2, r[Field::StartDate]);
    if (switchNotOff(store, 6))
        lines << line(6, r[Field::Time]);
    if (switchOn(store, 1))
        lines << line(1, r[Field::Name]);
    if (switchOn(store, 7))
        lines << line(7, r[Field::PhoneAfterHours]);
    if (switchOn(store, 8))
        lines << line(8, r[Field::PhoneBusinessHours]);
    if (switchOn(store, 10))
        lines << line(10, r[Field::Message]);
    if (switchOn(store, 4))
        lines << line(4, r[Field::Income]);
    if (switchOn(store, 5))
        lines << line(5, r[Field::Expense]);
    if (switchOn(store, 9))
        lines << line(9, r.isDone() ? QStringLiteral("Y") : QStringLiteral("N"));
    if (switchOn(store, 11))
        lines << line(11, r[Field::ImagePath]);
    if (switchOn(store, 12))
        lines << line(12, r[Field::AudioPath]);
    if (switchOn(store, 3))
        lines << line(3, r[Field::FinishDate]);
    lines << QString();
    return lines;
}

QString oneLine(QString text)
{
    for (QChar& c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

QString cutToWidth(const Printer& printer, const QString& text, double maxWidth)
{
    // Only as much of the text is ever measured as can reach the width: a
    // field of megabytes costs what its first printed line costs, not a
    // shaping of every character (which took minutes and gigabytes).
    // Widths grow with the length, so the fitting length lies between the
    // last start that fitted and the first that did not.
    const qsizetype size = text.size();
    qsizetype fits = 0, tooLong = size + 1;
    for (qsizetype probe = std::min<qsizetype>(64, size);; probe = std::min(probe * 2, size)) {
        if (printer.textWidth(oneLine(text.left(probe))) <= maxWidth) {
            fits = probe;
            if (probe == size)
                return oneLine(text);
        } else {
            tooLong = probe;
            break;
        }
    }
    while (tooLong - fits > 1) {
        const qsizetype mid = fits + (tooLong - fits) / 2;
        if (printer.textWidth(oneLine(text.left(mid))) <= maxWidth)
            fits = mid;
        else
            tooLong = mid;
    }
    return oneLine(text.left(fits));
}

// --- standard style ---------------------------------------------------------------

namespace {

class StandardLayout : public PrintLayout {
public:
    StandardLayout(const RecordStore& store, const PrintRange& range) : store_(store), range_(range) {}
    bool announcesEnd() const override { return false; }

    void begin(Printer& p, Pages& pages) override
    {
        W_ = p.pageWidth();
        p.setOrigin(0, p.pageHeight() / 14);
        const double th = p.textHeight(QStringLiteral("ABC"));
        flow_.emplace(p, pages, 1.5 * th, 1.2 * th);
    }

    bool printCopy(Printer& p, Pages& pages, PrintFeedback& feedback) override
    {
        flow_->restart();
        if (!printAt(p, pages, 0, 0, cutToWidth(p, QStringLiteral("Planner File: ") + store_.planFileName, W_)))
            return false;
        const int count = store_.recordCount();
        for (int i = 1; i <= count; ++i) {
            if (!range_.includes(i))
                continue;
            for (const QString& text : standardLines(store_, i)) {
                if (!printAt(p, pages, 0.05 * W_, flow_->y(), cutToWidth(p, text, 0.8 * W_)))
                    return false;
                flow_->advance();
            }
            feedback.progress(static_cast<int>((static_cast<qint64>(i) * 100) / count));
        }
        return true;
    }

private:
    const RecordStore& store_;
    const PrintRange& range_;
    double W_ = 0;
    std::optional<LineFlow> flow_;
};

} // namespace

PrintOutcome printStandard(const RecordStore& store, const PrintRange& range, PrintJob& job)
{
    if (refuseEmptyPlan(store, job))
        return PrintOutcome::NothingToPrint;
    StandardLayout layout(store, range);
    return printDocument(job, layout, job.fontName, job.fontSize);
}

// --- project style ----------------------------------------------------------------

namespace {

constexpr int kProjectColumns = 13;
// Wide columns, in the order they grow: name, message, image, audio.
constexpr std::array<int, 4> kWideColumns = {1, 10, 11, 12};

std::array<QString, kProjectColumns> projectTemplates()
{
    auto nines = [](int n) { return QString(n, QLatin1Char('9')); };
    return {nines(6),  nines(15), nines(11), nines(12), nines(12), nines(12), nines(9),
            nines(13), nines(13), nines(5),  nines(16), nines(16), nines(16)};
}

} // namespace

std::vector<double> projectColumnWidths(const Printer& printer, const std::array<QString, 25>& fieldLabels)
{
    auto printed = [&](int column) {
        return column == 0 || fieldLabels[static_cast<std::size_t>(12 + column)] == QLatin1String("on");
    };
    auto columnLabel = [&](int column) {
        return column == 0 ? QStringLiteral("No.") : fieldLabels[static_cast<std::size_t>(column)];
    };
    std::array<QString, kProjectColumns> templates = projectTemplates();
    std::vector<double> widths(kProjectColumns, 0.0);
    const double W = printer.pageWidth();
    auto measure = [&] {
        double total = 0.05 * W;
        for (int c = 0; c < kProjectColumns; ++c) {
            if (!printed(c))
                continue;
            widths[static_cast<std::size_t>(c)] =
                std::max(printer.textWidth(columnLabel(c) + QLatin1Char('9')), printer.textWidth(templates[static_cast<std::size_t>(c)]));
            total += widths[static_cast<std::size_t>(c)];
        }
        return total;
    };
    double total = measure();
    const bool anyWide = std::any_of(kWideColumns.begin(), kWideColumns.end(), printed);
    const double nine = printer.textWidth(QStringLiteral("9"));
    // Narrow tables are widened to about half the page, through the columns
    // that hold free text.
    if (total < W / 2 && anyWide && nine > 0) {
        for (int round = 0; round < 100; ++round) {
            for (int c : kWideColumns) {
                if (printed(c) && total + nine < W) {
                    templates[static_cast<std::size_t>(c)] += QLatin1Char('9');
                    total += nine;
                }
            }
            total = measure();
            if (!(total + nine < W / 2))
                break;
        }
    }
    return widths;
}

namespace {

class ProjectLayout : public PrintLayout {
public:
    ProjectLayout(const RecordStore& store, const PrintRange& range) : store_(store), range_(range) {}

    void begin(Printer& p, Pages& pages) override
    {
        W_ = p.pageWidth();
        p.setOrigin(0, p.pageHeight() / 14);
        const double th = p.textHeight(QStringLiteral("ABC"));
        widths_ = projectColumnWidths(p, store_.fieldLabels);
        grid_ = entryGridRows(store_);
        narrowest_ = p.textWidth(QStringLiteral("I"));
        flow_.emplace(p, pages, 3.5 * th, 2.2 * th);
    }

    bool printCopy(Printer& p, Pages& pages, PrintFeedback& feedback) override
    {
        flow_->restart();
        const QString heading = QStringLiteral("Planner File: ") + store_.planFileName;
        if (!printAt(p, pages, 0.05 * W_, 0, cutToWidth(p, heading, 0.95 * W_)))
            return false;
        for (qsizetype row = 1; row < grid_.size(); ++row) {
            if (row > 1 && !range_.includes(static_cast<int>(row) - 1))
                continue;
            const double y = flow_->y();
            double x = 0.05 * W_;
            for (int c = 0; c < kProjectColumns; ++c) {
                if (c != 0 && !switchOn(store_, c))
                    continue;
                double width = widths_[static_cast<std::size_t>(c)];
                if (width <= 0)
                    width = narrowest_;
                const QString cell = cutToWidth(p, grid_[row].value(c).trimmed(), width - 1);
                const double cellWidth = p.textWidth(cell);
                if (!cell.isEmpty() && x + cellWidth < W_) {
                    if (!printAt(p, pages, x, y, cell))
                        return false;
                }
                x += width;
                counter_ = counter_ >= 100 ? 0 : counter_ + 1;
                feedback.progress(counter_);
            }
            // The row's place counts even when every cell was empty.
            p.setCurrentY(y + p.textHeight(QStringLiteral("ABC")));
            flow_->advance();
        }
        return true;
    }

private:
    const RecordStore& store_;
    const PrintRange& range_;
    double W_ = 0;
    std::vector<double> widths_;
    QList<QStringList> grid_;
    double narrowest_ = 0;
    std::optional<LineFlow> flow_;
    int counter_ = 0;
};

} // namespace

PrintOutcome printProject(const RecordStore& store, const PrintRange& range, PrintJob& job)
{
    if (refuseEmptyPlan(store, job))
        return PrintOutcome::NothingToPrint;
    ProjectLayout layout(store, range);
    return printDocument(job, layout, job.fontName, job.fontSize);
}

// --- time line --------------------------------------------------------------------

namespace {

struct TimeLineEntry {
    QString name;
    double startKey = 0;
    std::optional<double> finishKey;
    bool done = false;
};

int keyYear(double key)
{
    return static_cast<int>(std::floor(key / 10000000.0));
}

int keyDay(double key)
{
    return static_cast<int>(std::fmod(std::floor(key / 10000.0), 1000.0));
}

std::optional<double> dateKey(QStringView date, QStringView time, DateOrder order)
{
    const auto value = parseDateTime(date, order);
    if (!value || !value->hasDate)
        return std::nullopt;
    return sortKey(date, time, order);
}

// The records with a start date, in store order; others cannot be placed.
std::vector<TimeLineEntry> timeLineEntries(const RecordStore& store)
{
    const DateOrder order = store.dateOrder();
    std::vector<TimeLineEntry> entries;
    entries.reserve(static_cast<std::size_t>(store.recordCount()));
    for (int i = 1; i <= store.recordCount(); ++i) {
        const RecordView r = store.record(i);
        const auto start = dateKey(r[Field::StartDate], r[Field::Time], order);
        if (!start)
            continue;
        entries.push_back({r.string(Field::Name), *start, dateKey(r[Field::FinishDate], r[Field::Time], order), r.isDone()});
    }
    return entries;
}

const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};

class TimeLinePage {
public:
    TimeLinePage(Printer& p, Pages& pages, const QString& heading)
        : p_(p), pages_(pages), heading_(heading), W_(0.85 * p.pageWidth()), H_(0.85 * p.pageHeight()),
          th_(p.textHeight(QStringLiteral("ABC"))), xWidth_(p.textWidth(QStringLiteral("X"))),
          labelChars_(timeLineLabelChars(p, W_))
    {
    }

    // The heading, the month columns and the frame of a page of year Y.
    bool startPage(int year)
    {
        pages_.breakPage();
        if (!pages_.beforeDraw())
            return false;
        const double left = xWidth_ - p_.originX();
        const double top = -std::min(1.4 * th_, 0.07 * p_.pageHeight());
        p_.setCurrentX(left);
        p_.setCurrentY(top);
        p_.printText(cutToWidth(p_, heading_, p_.pageWidth() - 2 * xWidth_));
        p_.setCurrentX(left);
        p_.printText(QStringLiteral("Year=") + plainNumber(year));
        const double column = 0.8 * W_ / 12;
        const bool shortNames = p_.textWidth(QStringLiteral("September")) >= column;
        p_.setDrawWidth(kHeavyLineWidth);
        for (int m = 0; m < 12; ++m) {
            const double x = 0.2 * W_ + 0.8 * W_ * m / 12;
            p_.drawLine(x, th_, x, H_);
            QString month = QString::fromLatin1(kMonths[m]);
            if (shortNames)
                month = month.left(3);
            p_.setCurrentX(x + xWidth_ / 2);
            p_.setCurrentY(th_);
            p_.printText(cutToWidth(p_, month, column - xWidth_ / 2));
        }
        p_.setDrawWidth(kLineWidth);
        p_.drawLine(left, 3 * th_, W_, 3 * th_);
        y_ = 3 * th_;
        return p_.ok();
    }

    // The centre line of a new row.
    double newRow(const QString& name)
    {
        y_ += 1.5 * th_;
        p_.setCurrentX(xWidth_ - p_.originX());
        p_.setCurrentY(y_ - th_ / 2);
        p_.printText(oneLine(name).left(labelChars_));
        return y_;
    }

    // Ends the row: true when the page is full.
    bool endRow()
    {
        if (y_ >= H_ - 1.5 * th_)
            return true;
        y_ += 0.5 * th_;
        p_.setDrawWidth(kThinLineWidth);
        p_.drawLine(xWidth_ - p_.originX(), y_, W_, y_);
        p_.setDrawWidth(kLineWidth);
        return false;
    }

    void drawMark(const TimeLineEntry& e, int year, double rowY)
    {
        const int startYear = keyYear(e.startKey);
        const double half = th_ / 4; // strokes half a text line high
        auto stroke = [&](double x) { p_.drawLine(x, rowY - half, x, rowY + half); };
        p_.setDrawWidth(kHeavyLineWidth);
        if (e.finishKey && e.startKey < *e.finishKey) {
            const int finishYear = keyYear(*e.finishKey);
            if (year >= startYear && year <= finishYear) {
                const bool startsHere = startYear == year;
                const bool endsHere = finishYear == year;
                const double x1 = timeLineDayX(W_, startsHere ? keyDay(e.startKey) : 0);
                const double x2 = timeLineDayX(W_, endsHere ? keyDay(*e.finishKey) : 365);
                p_.setDrawStyle(e.done ? DrawStyle::Dot : DrawStyle::Solid);
                p_.drawLine(x1, rowY, x2, rowY);
                p_.setDrawStyle(DrawStyle::Solid);
                if (startsHere)
                    stroke(x1);
                if (endsHere)
                    stroke(x2);
            }
        } else if (startYear == year) {
            const double x = timeLineDayX(W_, keyDay(e.startKey));
            stroke(x - xWidth_ / 2);
            stroke(x);
            stroke(x + xWidth_ / 2);
        }
        p_.setDrawStyle(DrawStyle::Solid);
        p_.setDrawWidth(kLineWidth);
    }

private:
    Printer& p_;
    Pages& pages_;
    QString heading_;
    double W_, H_, th_, xWidth_;
    int labelChars_;
    double y_ = 0;
};

class TimeLineLayout : public PrintLayout {
public:
    TimeLineLayout(const RecordStore& store, const std::vector<TimeLineEntry>& entries, int firstYear, int lastYear)
        : store_(store), entries_(entries), firstYear_(firstYear), lastYear_(lastYear)
    {
    }

    void begin(Printer& p, Pages& pages) override
    {
        p.setOrigin(p.pageWidth() / 14, 0.07 * p.pageHeight());
        page_.emplace(p, pages, QStringLiteral("Planner File: ") + store_.planFileName);
    }

    bool printCopy(Printer& p, Pages&, PrintFeedback& feedback) override
    {
        const qint64 perYear = static_cast<qint64>(entries_.size());
        const qint64 total = static_cast<qint64>(lastYear_ - firstYear_ + 1) * perYear;
        for (int year = firstYear_; year <= lastYear_; ++year) {
            if (!page_->startPage(year))
                return false;
            bool pageFull = false;
            double rowY = 0;
            for (std::size_t i = 0; i < entries_.size(); ++i) {
                const bool sharesRow = i > 0 && entries_[i].name == entries_[i - 1].name;
                if (!sharesRow) {
                    if (pageFull && !page_->startPage(year))
                        return false;
                    pageFull = false;
                    rowY = page_->newRow(entries_[i].name);
                }
                page_->drawMark(entries_[i], year, rowY);
                const bool rowEnds = i + 1 == entries_.size() || entries_[i + 1].name != entries_[i].name;
                if (rowEnds) {
                    pageFull = page_->endRow();
                    if (!p.ok())
                        return false;
                }
                const qint64 done = static_cast<qint64>(year - firstYear_) * perYear + static_cast<qint64>(i) + 1;
                feedback.progress(static_cast<int>(done * 100 / total));
            }
        }
        return true;
    }

private:
    const RecordStore& store_;
    const std::vector<TimeLineEntry>& entries_;
    int firstYear_, lastYear_;
    std::optional<TimeLinePage> page_;
};

} // namespace

int timeLineLabelChars(const Printer& printer, double drawingWidth)
{
    int c = 1;
    while (c < 50 && printer.textWidth(QString(c + 1, QLatin1Char('X'))) <= 0.2 * drawingWidth)
        ++c;
    return c;
}

double timeLineDayX(double drawingWidth, int day)
{
    // A leap year's day 366 stays on the axis.
    const int d = std::clamp(day, 0, 365);
    return 0.2 * drawingWidth + 0.8 * drawingWidth * d / 365.0;
}

PrintOutcome printTimeLine(const RecordStore& store, PrintJob& job)
{
    if (refuseEmptyPlan(store, job))
        return PrintOutcome::NothingToPrint;
    const std::vector<TimeLineEntry> entries = timeLineEntries(store);
    if (entries.empty()) {
        job.messages.msgBox(QStringLiteral("No records with a start date to print on the time line"),
                            MsgStyle::Exclamation, kPrintMenuTitle);
        return PrintOutcome::NothingToPrint;
    }
    double earliest = 1e15, latest = -1e15;
    for (const TimeLineEntry& e : entries) {
        earliest = std::min(earliest, e.startKey);
        latest = std::max({latest, e.startKey, e.finishKey.value_or(e.startKey)});
    }
    const int firstYear = keyYear(earliest), lastYear = keyYear(latest);
    const int years = lastYear - firstYear + 1;
    if (years > kTimeLineYearsWithoutAsking) {
        const QString question =
            QStringLiteral("The time line runs over %1 years, from %2 to %3, a page or more for each.\n"
                           "Print all of them?")
                .arg(years)
                .arg(firstYear)
                .arg(lastYear);
        if (job.messages.msgBox(question, MsgStyle::YesNoQuestion, kPrintMenuTitle) != MsgAnswer::Yes)
            return PrintOutcome::Cancelled;
    }

    TimeLineLayout layout(store, entries, firstYear, lastYear);
    return printDocument(job, layout, job.fontName, job.fontSize);
}

// --- grid printer -----------------------------------------------------------------

double gridPrintWidth(const std::vector<double>& columnWidths)
{
    double total = 0;
    for (double w : columnWidths)
        total += std::max(0.0, w);
    return total > 0 ? total : 1;
}

namespace {

// A column whose widest cell is wider than its share of the page would lose
// figures at their end: the font shrinks (not below kMinGridPrintPoints)
// until the tightest column takes its widest cell.
void fitGridFont(Printer& p, const GridPrintRequest& request, double gridWidth, double pageWidth)
{
    double ratio = 1.0;
    for (std::size_t c = 0; c < request.columnWidths.size(); ++c) {
        const double room = 0.8 * pageWidth * std::max(0.0, request.columnWidths[c]) / gridWidth;
        if (room <= 0)
            continue;
        double widest = 0;
        for (const QStringList& row : request.rows)
            widest = std::max(widest, p.textWidth(row.value(static_cast<qsizetype>(c))));
        if (widest > room)
            ratio = std::min(ratio, room / widest);
    }
    if (ratio >= 1.0)
        return;
    const int size = std::max(kMinGridPrintPoints, static_cast<int>(request.fontSize * ratio));
    if (size < request.fontSize)
        p.setFont(request.fontName, size);
}

} // namespace

namespace {

class GridLayout : public PrintLayout {
public:
    explicit GridLayout(const GridPrintRequest& request) : request_(request) {}

    void begin(Printer& p, Pages& pages) override
    {
        W_ = p.pageWidth();
        p.setOrigin(0, p.pageHeight() / 14);
        // Every column has its share of the page, whatever part of the grid its
        // window showed: scaled by the columns' own widths, not the window's.
        gridWidth_ = gridPrintWidth(request_.columnWidths);
        fitGridFont(p, request_, gridWidth_, W_);
        th_ = p.textHeight(QStringLiteral("ABC"));
        flow_.emplace(p, pages, 1.5 * th_, 1.2 * th_);
    }

    bool printCopy(Printer& p, Pages& pages, PrintFeedback& feedback) override
    {
        flow_->restart();
        if (!printAt(p, pages, 0, 0, cutToWidth(p, QStringLiteral("File: ") + request_.title, W_)))
            return false;
        const std::size_t rows = request_.rows.size();
        for (std::size_t r = 0; r < rows; ++r) {
            const QStringList& cells = request_.rows[r];
            const double y = flow_->y();
            double before = 0;
            for (std::size_t c = 0; c < request_.columnWidths.size(); ++c) {
                const double width = std::max(0.0, request_.columnWidths[c]);
                const double x = before * W_ / gridWidth_;
                const QString text =
                    cutToWidth(p, cells.value(static_cast<qsizetype>(c)), 0.8 * W_ * width / gridWidth_);
                if (!text.isEmpty() && !printAt(p, pages, x, y, text))
                    return false;
                before += 0.8 * width;
            }
            if (!pages.beforeDraw())
                return false;
            p.setCurrentY(y + th_);
            flow_->advance();
            feedback.progress(static_cast<int>((r + 1) * 100 / rows));
        }
        return true;
    }

private:
    const GridPrintRequest& request_;
    double W_ = 0, gridWidth_ = 1, th_ = 0;
    std::optional<LineFlow> flow_;
};

} // namespace

PrintOutcome printGrid(const GridPrintRequest& request, PrintJob& job)
{
    GridLayout layout(request);
    return printDocument(job, layout, request.fontName, request.fontSize);
}

} // namespace zp
