#include "views/Printing.h"

#include "support/Fakes.h"

#include <algorithm>
#include <optional>
#include <gtest/gtest.h>

// The recording printer's page is 10000 x 14000 units, every character 100
// wide and every text 200 high, so the layout rules come out as numbers.

namespace zp {
namespace {

class RecordingFeedback : public PrintFeedback {
public:
    void suspend() override { ++suspends; }
    void progress(int) override { ++progressCalls; }
    void restore() override { ++restores; }
    void showHint(const QString& text) override { hints.push_back(text); }
    int suspends = 0, restores = 0, progressCalls = 0;
    std::vector<QString> hints;
};

PlannerRecord record(const QString& start, const QString& name, const QString& finish = QString(),
                     const QString& status = QStringLiteral("0"))
{
    PlannerRecord r;
    r[Field::StartDate] = start;
    r[Field::Name] = name;
    r[Field::FinishDate] = finish;
    r[Field::JobStatus] = status;
    r[Field::ImagePath] = r[Field::AudioPath] = kNoAttachment;
    return r;
}

class PrintingTest : public ::testing::Test {
protected:
    PrintingTest() { store.planFileName = QStringLiteral("plan.pln"); }

    PrintJob job()
    {
        return PrintJob{messages, feedback, [this]() -> Printer* { return cancelDialog ? nullptr : &printer; },
                        QStringLiteral("Courier"), 9};
    }
    // A job for one call (a job holds references, so it is made in place).
    PrintJob& newJob()
    {
        current.emplace(job());
        return *current;
    }
    void setSwitches(const QString& value)
    {
        for (int k = 13; k <= 24; ++k)
            store.fieldLabels[static_cast<std::size_t>(k)] = value;
    }
    std::vector<QString> texts() const
    {
        std::vector<QString> out;
        for (const auto& t : printer.texts)
            out.push_back(t.text);
        return out;
    }
    // The bars and strokes of the time line: lines of width 6 below the heading.
    std::vector<RecordingPrinter::Line> marks(int page) const
    {
        std::vector<RecordingPrinter::Line> out;
        for (const auto& l : printer.lines)
            if (l.page == page && l.width == 6 && l.y1 > 600)
                out.push_back(l);
        return out;
    }

    RecordStore store;
    RecordingPrinter printer;
    FakeMessageBox messages;
    RecordingFeedback feedback;
    bool cancelDialog = false;
    std::optional<PrintJob> current;
};

// --- standard style -----------------------------------------------------------

TEST_F(PrintingTest, standard_printsTheLabelledLinesOfEachRecordAtTheirPlaces)
{
    PlannerRecord r = record(QStringLiteral("05/11/1996"), QStringLiteral("Smith"), QStringLiteral("06/11/1996"),
                             QStringLiteral("1"));
    r[Field::Time] = QStringLiteral("10:30");
    r[Field::Message] = QStringLiteral("Quote");
    store.replaceAll({r});
    ASSERT_EQ(printStandard(store, PrintRange{}, newJob()), PrintOutcome::Printed);

    const std::vector<QString> expected = {
        "Planner File: plan.pln", "No.  1", "Start date 05/11/1996", "Time 10:30", "Name Smith", "Phone(ah) ",
        "Phone(bh) ", "Message Quote", "Income ", "Expense ", "Job status Y", "Image plandefault",
        "Sound plandefault", "Finish date 06/11/1996", ""};
    EXPECT_EQ(texts(), expected);
    // Heading at the top margin (H / 14), lines from 1.5 TH at 1.2 TH apart, at 5 % of the width.
    EXPECT_DOUBLE_EQ(printer.texts[0].x, 0);
    EXPECT_DOUBLE_EQ(printer.texts[0].y, 1000);
    for (std::size_t n = 1; n < printer.texts.size(); ++n) {
        EXPECT_DOUBLE_EQ(printer.texts[n].x, 500);
        EXPECT_DOUBLE_EQ(printer.texts[n].y, 1000 + 300 + 240.0 * static_cast<double>(n - 1));
    }
    EXPECT_EQ(printer.fonts.front(), std::make_pair(QStringLiteral("Courier"), 9));
    EXPECT_EQ(printer.endDocs, 1);
    EXPECT_EQ(feedback.suspends, feedback.restores);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PrintingTest, standard_switchesChooseTheLines)
{
    // Date and time print unless switched "off"; the other lines only when "on".
    struct Case {
        const char* switches;
        std::vector<QString> lines;
    } cases[] = {
        {"off", {"No.  1", ""}},
        {"", {"No.  1", "Start date 05/11/1996", "Time ", ""}},
    };
    for (const Case& c : cases) {
        printer = RecordingPrinter{};
        store.replaceAll({record(QStringLiteral("05/11/1996"), QStringLiteral("Smith"))});
        setSwitches(QString::fromLatin1(c.switches));
        ASSERT_EQ(printStandard(store, PrintRange{}, newJob()), PrintOutcome::Printed);
        std::vector<QString> lines = texts();
        lines.erase(lines.begin());
        EXPECT_EQ(lines, c.lines) << c.switches;
    }
}

TEST_F(PrintingTest, standard_cutsAVeryLongMessageToEightyPercentOfThePage)
{
    PlannerRecord r = record(QStringLiteral("05/11/1996"), QStringLiteral("Smith"));
    r[Field::Message] = QString(20000, QLatin1Char('m'));
    store.replaceAll({r});
    printStandard(store, PrintRange{}, newJob()); // timed by bench/LongFieldPrintingBench.cpp
    const auto* line = printer.find(QStringLiteral("Message ") + QString(72, QLatin1Char('m')));
    ASSERT_NE(line, nullptr);
    for (const auto& t : printer.texts) {
        if (t.x > 0) {
            EXPECT_LE(printer.textWidth(t.text), 8000) << t.text.left(20).toStdString();
        }
    }
}

// Measuring is the costly part of a real printer (text shaping): a cut must
// measure about what fits, never the whole of a field of megabytes.
TEST(CutToWidth, measuresOnlyAboutWhatFits_andGivesTheLongestFittingStart)
{
    class MeasureCounting : public RecordingPrinter {
    public:
        double textWidth(const QString& text) const override
        {
            measured += text.size();
            return RecordingPrinter::textWidth(text);
        }
        mutable qint64 measured = 0;
    } printer;
    const std::pair<qsizetype, qsizetype> cases[] = {{4 << 20, 80}, {80, 80}, {79, 79}, {0, 0}};
    for (const auto& [size, fits] : cases) {
        SCOPED_TRACE(size);
        printer.measured = 0;
        const QString text = QString(size, QLatin1Char('m'));
        EXPECT_EQ(cutToWidth(printer, text, 8000).size(), fits);
        EXPECT_LT(printer.measured, 64 * 40);
    }
    EXPECT_EQ(cutToWidth(printer, QStringLiteral("a\tb\nc"), 8000), QStringLiteral("a b c"));
}

TEST_F(PrintingTest, standard_startsANewPageOnceALineReachesEightyPercentOfTheHeight)
{
    // Fourteen lines a record; a line ending at 0.8 H (11200) is the last of its page:
    // 300 + n * 240 + 200 >= 11200 first for n = 45, so 46 lines a page.
    std::vector<PlannerRecord> records(4, record(QStringLiteral("05/11/1996"), QStringLiteral("Smith")));
    store.replaceAll(records);
    printStandard(store, PrintRange{}, newJob());
    ASSERT_EQ(printer.pages, 2);
    EXPECT_EQ(printer.textsOn(1).size(), 1u + 46u);
    const auto second = printer.textsOn(2);
    ASSERT_EQ(second.size(), 56u - 46u);
    EXPECT_DOUBLE_EQ(second.front().y, 1300);
}

TEST_F(PrintingTest, standard_printsTheRangeOrEveryRecord_andEachCopyFromANewPage)
{
    std::vector<PlannerRecord> records;
    for (int i = 0; i < 4; ++i)
        records.push_back(record(QStringLiteral("05/11/1996"), QStringLiteral("R%1").arg(i + 1)));
    store.replaceAll(records);
    setSwitches(QStringLiteral("off"));
    printer.copyCount = 2;
    printStandard(store, PrintRange{false, 2, 3}, newJob());
    const std::vector<QString> copy = {"Planner File: plan.pln", "No.  2", "", "No.  3", ""};
    std::vector<QString> both = copy;
    both.insert(both.end(), copy.begin(), copy.end());
    EXPECT_EQ(texts(), both);
    // The second copy on its own sheet, and no empty sheet at the end.
    EXPECT_EQ(printer.pages, 2);
    EXPECT_EQ(printer.textsOn(2).front().text, "Planner File: plan.pln");
}

// --- set-up and failures, every routine ------------------------------------------

TEST_F(PrintingTest, everyRoutine_handlesAnEmptyPlanACancelledDialogAFontAndAPrinterFailure)
{
    using Routine = std::function<PrintOutcome(PrintJob&)>;
    const std::pair<const char*, Routine> routines[] = {
        {"standard", [this](PrintJob& j) { return printStandard(store, PrintRange{}, j); }},
        {"project", [this](PrintJob& j) { return printProject(store, PrintRange{}, j); }},
        {"time line", [this](PrintJob& j) { return printTimeLine(store, j); }},
    };
    for (const auto& [name, run] : routines) {
        SCOPED_TRACE(name);
        // Empty plan.
        store.clearStore();
        messages.clear();
        PrintJob j = job();
        EXPECT_EQ(run(j), PrintOutcome::NothingToPrint);
        EXPECT_EQ(messages.last().text, "No records to print.");
        EXPECT_EQ(messages.last().style, MsgStyle::Exclamation);

        store.replaceAll({record(QStringLiteral("05/11/1996"), QStringLiteral("Smith"))});
        // Cancelled dialog: nothing printed; every routine shows progress
        // only once a printer was chosen, so timer and bar were never touched.
        cancelDialog = true;
        feedback = RecordingFeedback{};
        messages.clear();
        EXPECT_EQ(run(j), PrintOutcome::Cancelled);
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(feedback.suspends, 0);
        EXPECT_EQ(feedback.restores, 0);
        cancelDialog = false;

        // A font the printer lacks: the message, then the print goes on.
        printer = RecordingPrinter{};
        printer.fontAvailable = false;
        EXPECT_EQ(run(j), PrintOutcome::Printed);
        ASSERT_EQ(messages.count(), 1);
        EXPECT_EQ(messages.last().text, "Could not print using the current font type, using default");
        EXPECT_EQ(messages.last().title, "Planner print error");

        // The printer fails mid-document.
        for (bool atEnd : {false, true}) {
            printer = RecordingPrinter{};
            printer.failAfterSteps = atEnd ? -1 : 3;
            printer.failOnEnd = atEnd;
            feedback = RecordingFeedback{};
            messages.clear();
            EXPECT_EQ(run(j), PrintOutcome::Failed);
            ASSERT_EQ(messages.count(), 1);
            EXPECT_EQ(messages.last().text, "Error printing file");
            EXPECT_EQ(messages.last().title, "Planner print error");
            EXPECT_EQ(feedback.suspends, 1);
            EXPECT_EQ(feedback.restores, 1);
            EXPECT_NE(feedback.hints.empty() ? QString() : feedback.hints.back(), "Printing ok");
        }
    }
}

// --- project style ------------------------------------------------------------

TEST_F(PrintingTest, project_widensOnlyTablesWithAFreeTextColumnToAboutHalfThePage)
{
    setSwitches(QStringLiteral("off"));
    store.fieldLabels[14] = QStringLiteral("on"); // start date
    std::vector<double> w = projectColumnWidths(printer, store.fieldLabels);
    // Number and date columns only: widths of the templates, nothing widened.
    EXPECT_DOUBLE_EQ(w[0], 600);
    EXPECT_DOUBLE_EQ(w[2], 1100);
    EXPECT_DOUBLE_EQ(w[1], 0);

    // With the name: 500 + 600 + 1100 + 1500 = 3700 grows a "9" a round
    // while the total plus a "9" stays below half the page.
    store.fieldLabels[13] = QStringLiteral("on");
    w = projectColumnWidths(printer, store.fieldLabels);
    EXPECT_DOUBLE_EQ(w[1], 2700);

    // At most 100 rounds, however narrow the characters.
    printer.charWidth = 1;
    w = projectColumnWidths(printer, store.fieldLabels);
    EXPECT_DOUBLE_EQ(w[1], 115);

    // A wide label widens its column; all columns on need no widening.
    printer.charWidth = 100;
    setSwitches(QStringLiteral("on"));
    w = projectColumnWidths(printer, store.fieldLabels);
    EXPECT_DOUBLE_EQ(w[9], 1100); // "Job status9" beats "99999"
    EXPECT_DOUBLE_EQ(w[10], 1600);
}

TEST_F(PrintingTest, project_printsTheCaptionsAndTheChosenRowsInColumnsCutToTheirWidth)
{
    setSwitches(QStringLiteral("off"));
    store.fieldLabels[13] = QStringLiteral("on");
    store.fieldLabels[14] = QStringLiteral("on");
    store.replaceAll({record(QStringLiteral("05/11/1996"), QStringLiteral("First")),
                      record(QStringLiteral("06/11/1996"), QString(30, QLatin1Char('N'))),
                      record(QStringLiteral("07/11/1996"), QStringLiteral("Third"))});
    ASSERT_EQ(printProject(store, PrintRange{false, 2, 2}, newJob()), PrintOutcome::Printed);
    // Columns: No. at 500 (600 wide), name at 1100 (2700), start date at 3800.
    const std::vector<QString> expected = {"Planner File: plan.pln", "No.", "Name", "Start date",
                                           "2", QString(26, QLatin1Char('N')), "06/11/1996"};
    EXPECT_EQ(texts(), expected);
    EXPECT_DOUBLE_EQ(printer.texts[0].x, 500);
    const double xs[] = {500, 1100, 3800};
    for (int c = 0; c < 3; ++c) {
        EXPECT_DOUBLE_EQ(printer.texts[1 + c].x, xs[c]);
        EXPECT_DOUBLE_EQ(printer.texts[1 + c].y, 1000 + 700);
        EXPECT_DOUBLE_EQ(printer.texts[4 + c].x, xs[c]);
        EXPECT_DOUBLE_EQ(printer.texts[4 + c].y, 1000 + 700 + 440);
    }
    EXPECT_EQ(feedback.hints, (std::vector<QString>{"Now Printing", "Printing ok"}));
    EXPECT_EQ(feedback.restores, 1);
}

// --- time line ----------------------------------------------------------------

// The page: origin (W / 14, 0.07 H) = (714.29, 980); drawing width 8500;
// axis from 1700, day d at 1700 + 6800 d / 365; rows centred from 4.5 TH.

TEST_F(PrintingTest, timeLine_cutsAJobOverTheYearEndIntoTwoYearlyPages)
{
    store.replaceAll({record(QStringLiteral("20/12/1996"), QStringLiteral("Job"), QStringLiteral("10/01/1997"))});
    ASSERT_EQ(printTimeLine(store, newJob()), PrintOutcome::Printed);
    ASSERT_EQ(printer.pages, 2);
    EXPECT_NE(printer.find(QStringLiteral("Year= 1996")), nullptr);
    EXPECT_EQ(printer.find(QStringLiteral("Year= 1997"))->page, 2);
    EXPECT_EQ(printer.find(QStringLiteral("Job"))->page, 1);
    EXPECT_DOUBLE_EQ(timeLineDayX(8500, 0), 1700);
    EXPECT_DOUBLE_EQ(timeLineDayX(8500, 365), 8500);
    EXPECT_DOUBLE_EQ(timeLineDayX(8500, 366), 8500);

    // 1996: from 20 December (day 355) to the axis end, a stroke at the start only.
    const auto first = marks(1);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_DOUBLE_EQ(first[0].x1, timeLineDayX(8500, 355));
    EXPECT_DOUBLE_EQ(first[0].x2, 8500);
    EXPECT_DOUBLE_EQ(first[0].y1, 900);
    EXPECT_EQ(first[0].style, DrawStyle::Solid);
    EXPECT_DOUBLE_EQ(first[1].x1, timeLineDayX(8500, 355));
    EXPECT_DOUBLE_EQ(first[1].y2 - first[1].y1, 100);
    // 1997: from the axis start to 10 January, a stroke at the end.
    const auto second = marks(2);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_DOUBLE_EQ(second[0].x1, 1700);
    EXPECT_DOUBLE_EQ(second[0].x2, timeLineDayX(8500, 10));
    EXPECT_DOUBLE_EQ(second[1].x1, timeLineDayX(8500, 10));
}

TEST_F(PrintingTest, timeLine_drawsDoneBarsDottedMilestonesAndSharesRowsOfOneName)
{
    store.replaceAll({record(QStringLiteral("01/02/1996"), QStringLiteral("Same"), QStringLiteral("01/03/1996"),
                             QStringLiteral("1")),
                      record(QStringLiteral("01/06/1996"), QStringLiteral("Same")),
                      record(QStringLiteral("soon"), QStringLiteral("Undated")),
                      record(QStringLiteral("01/07/1996"), QStringLiteral("A name longer than seventeen"))});
    ASSERT_EQ(printTimeLine(store, newJob()), PrintOutcome::Printed);
    EXPECT_EQ(printer.pages, 1);
    EXPECT_EQ(printer.find(QStringLiteral("Same"), 1), nullptr); // one row, one label
    EXPECT_EQ(printer.find(QStringLiteral("Undated")), nullptr);
    EXPECT_NE(printer.find(QStringLiteral("A name longer tha")), nullptr); // 17 "X" fit in 0.2 W'
    const auto m = marks(1);
    // Bar + 2 strokes, milestone of 3 strokes, milestone of 3 strokes.
    ASSERT_EQ(m.size(), 9u);
    EXPECT_EQ(m[0].style, DrawStyle::Dot);
    EXPECT_DOUBLE_EQ(m[3].y1, m[4].y1); // the milestone on the bar's row
    const double day = timeLineDayX(8500, 153);
    EXPECT_DOUBLE_EQ(m[3].x1, day - 50);
    EXPECT_DOUBLE_EQ(m[4].x1, day);
    EXPECT_DOUBLE_EQ(m[5].x1, day + 50);
    EXPECT_DOUBLE_EQ(m[6].y1 - m[3].y1, 400); // next row 2 TH lower
    for (const auto& l : m)
        EXPECT_TRUE(l.x1 >= 1700 && l.x2 <= 8500);
}

TEST_F(PrintingTest, timeLine_monthNamesAreShortWhenSeptemberDoesNotFitAColumn)
{
    store.replaceAll({record(QStringLiteral("01/02/1996"), QStringLiteral("Job"))});
    for (double width : {10000.0, 20000.0}) {
        printer = RecordingPrinter{};
        printer.width = width;
        printTimeLine(store, newJob());
        const bool wide = width > 10000;
        EXPECT_EQ(printer.find(QStringLiteral("September")) != nullptr, wide) << width;
        EXPECT_EQ(printer.find(QStringLiteral("Sep")) != nullptr, !wide) << width;
        EXPECT_EQ(std::count_if(printer.lines.begin(), printer.lines.end(),
                                [](const auto& l) { return l.width == 6 && l.x1 == l.x2 && l.y1 == 200; }),
                  12);
    }
}

TEST_F(PrintingTest, timeLine_printsAPageAYearAndAsksBeforeMoreThanTwoHundredYears)
{
    // Empty names on every record: one shared row, still a page a year.
    store.replaceAll({record(QStringLiteral("01/01/1900"), QString()), record(QStringLiteral("31/12/2099"), QString())});
    ASSERT_EQ(printTimeLine(store, newJob()), PrintOutcome::Printed);
    EXPECT_EQ(printer.pages, 200);
    EXPECT_TRUE(messages.empty());

    store.replaceAll({record(QStringLiteral("01/01/1800"), QString()), record(QStringLiteral("31/12/2099"), QString())});
    messages.script({MsgAnswer::No});
    EXPECT_EQ(printTimeLine(store, newJob()), PrintOutcome::Cancelled);
    EXPECT_EQ(messages.last().style, MsgStyle::YesNoQuestion);
    EXPECT_TRUE(messages.last().text.contains("300 years"));

    printer = RecordingPrinter{};
    messages.script({MsgAnswer::Yes});
    EXPECT_EQ(printTimeLine(store, newJob()), PrintOutcome::Printed);
    EXPECT_EQ(printer.pages, 300);

    // Nothing dated at all: nothing to draw, said so.
    store.replaceAll({record(QStringLiteral("soon"), QStringLiteral("x")), record(QString(), QStringLiteral("y"))});
    EXPECT_EQ(printTimeLine(store, newJob()), PrintOutcome::NothingToPrint);
}

// --- grid printer -------------------------------------------------------------

TEST_F(PrintingTest, grid_placesCellsByTheirShareOfAllColumnsWithTheGridFont)
{
    GridPrintRequest request;
    request.title = QStringLiteral("plan.pln");
    request.rows = {{"Name", "Phone"}, {QString(50, QLatin1Char('S')), "(AH) 432"}};
    request.columnWidths = {2000, 3000};
    request.fontName = QStringLiteral("Mono");
    request.fontSize = 8;
    ASSERT_EQ(printGrid(request, newJob()), PrintOutcome::Printed);
    // 50 characters in a room for 32: the font shrinks as far as it may,
    // and what still does not fit is cut.
    EXPECT_EQ(printer.fonts, (std::vector<std::pair<QString, int>>{{"Mono", 8}, {"Mono", 6}}));
    // x of column 1: 0.8 * 2000 * W / 5000 = 3200, and so is column 0's room.
    const std::vector<QString> expected = {"File: plan.pln", "Name", "Phone", QString(32, QLatin1Char('S')), "(AH) 432"};
    EXPECT_EQ(texts(), expected);
    EXPECT_DOUBLE_EQ(printer.texts[2].x, 3200);
    EXPECT_DOUBLE_EQ(printer.texts[3].y, 1000 + 300 + 240);
    EXPECT_EQ(feedback.hints, (std::vector<QString>{"Now Printing", "Printing ok"}));
}

TEST_F(PrintingTest, grid_printsEveryColumnAndShrinksTheFontForTheWidestCell)
{
    struct Case {
        std::vector<double> widths;
        int widestCell; // characters, in the last column
        int printedSize;
    };
    // W = 10000, a character 100 wide: the last column's room is 0.8 * W * its share.
    const Case cases[] = {
        {{100, 100, 100, 100, 100, 100}, 10, 10}, // room 1333: ten characters fit
        {{100, 100, 100, 100, 100, 100}, 20, 6},  // two thirds of 10 pt: 6, never less
        {{900, 900, 900, 900, 900, 300}, 6, 8},   // room 500 for 600: 10 pt x 5/6
        {{0, 100, 100}, 12, 10},                  // a hidden column takes no room
    };
    for (const Case& c : cases) {
        printer = RecordingPrinter{};
        GridPrintRequest request;
        QStringList headings, cells;
        for (std::size_t i = 0; i < c.widths.size(); ++i) {
            headings << QStringLiteral("H%1").arg(i);
            cells << (i + 1 == c.widths.size() ? QString(c.widestCell, QLatin1Char('9')) : QStringLiteral("1"));
        }
        request.rows = {headings, cells};
        request.columnWidths = c.widths;
        request.fontName = QStringLiteral("System");
        request.fontSize = 10;
        ASSERT_EQ(printGrid(request, newJob()), PrintOutcome::Printed);
        EXPECT_EQ(printer.fonts.back().second, c.printedSize) << c.widestCell;
        for (std::size_t i = 0; i < c.widths.size(); ++i) {
            if (c.widths[i] > 0)
                EXPECT_NE(printer.find(headings[static_cast<qsizetype>(i)]), nullptr) << i;
        }
        for (const auto& t : printer.texts)
            EXPECT_LE(t.x + 100.0 * t.text.size(), 10000.0) << t.text.toStdString();
    }
}

} // namespace
} // namespace zp
