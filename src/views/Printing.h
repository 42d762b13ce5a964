#pragma once
#include "plan/RecordStore.h"
#include "ui/Printer.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

namespace zp {

class MessageBoxService;

inline const QString kPrintMenuTitle = QStringLiteral("Zorvik Planner Print");
inline const QString kPrintErrorTitle = QStringLiteral("Planner print error");
inline const QString kNoRecordsToPrint = QStringLiteral("No records to print");
inline const QString kPrintError = QStringLiteral("Error printing file");
inline const QString kPrintFontError = QStringLiteral("Could not print using the current font type, using default");
inline const QString kNowPrinting = QStringLiteral("Now Printing");
inline const QString kPrintingOk = QStringLiteral("Printing ok");

// A time line over more years than this asks before printing them all.
constexpr int kTimeLineYearsWithoutAsking = 200;

// What the main window shows while printing: its periodic timer stops and
// the progress bar runs, and everything is put back on every way out.
class PrintFeedback {
public:
    virtual ~PrintFeedback() = default;
    // Stops the periodic timer, shows the progress bar at 0, blanks the hint.
    virtual void suspend() = 0;
    // 0 ... 100; may be called very often: implementations keep it cheap.
    virtual void progress(int value) = 0;
    // Restarts the timer and hides the progress bar.
    virtual void restore() = 0;
    virtual void showHint(const QString& text) = 0;
};

// For printing without a window (the command line).
class SilentPrintFeedback : public PrintFeedback {
public:
    void suspend() override {}
    void progress(int) override {}
    void restore() override {}
    void showHint(const QString&) override {}
};

// Everything a print routine needs besides what it prints.
struct PrintJob {
    MessageBoxService& messages;
    PrintFeedback& feedback;
    // The print dialog: the printer to draw on, or nullptr when the user
    // cancelled. The printer stays owned by whoever made it.
    std::function<Printer*()> choosePrinter;
    // The printer font (the display font's name and size).
    QString fontName;
    int fontSize = 10;
};

enum class PrintOutcome { Printed, NothingToPrint, Cancelled, Failed };

// Which records: all, or from ... to (1-based, inclusive) as typed.
struct PrintRange {
    bool allRecords = true;
    double from = 1;
    double to = 0;
    bool includes(int record) const { return allRecords || (record >= from && record <= to); }
};

// A record-by-record listing of labelled lines; the switches of
// store.fieldLabels choose the lines.
PrintOutcome printStandard(const RecordStore& store, const PrintRange& range, PrintJob& job);
// A table, one row per record and one column per switched-on field, as the
// project entry grid shows them.
PrintOutcome printProject(const RecordStore& store, const PrintRange& range, PrintJob& job);
// Bars and milestones of the dated records over each calendar year, one or
// more pages a year.
PrintOutcome printTimeLine(const RecordStore& store, PrintJob& job);

// Any window's grid: rows of cells, the width of each column and of the
// whole grid in the window's units (only proportions count), a heading
// "File: " & title, and the grid's font.
// The grid printer lays the columns over the page by their share of the
// sum of their widths (hidden columns are 0 wide), so every column is
// printed however little of the grid its window showed; when a column's
// widest cell does not fit its share, the font is made smaller for the
// whole print, down to kMinGridPrintPoints, before cells are cut.
struct GridPrintRequest {
    QString title;
    std::vector<QStringList> rows;
    std::vector<double> columnWidths;
    QString fontName; // the settings' font name ("System": the default family)
    int fontSize = 10;
};
constexpr int kMinGridPrintPoints = 6;
PrintOutcome printGrid(const GridPrintRequest& request, PrintJob& job);
double gridPrintWidth(const std::vector<double>& columnWidths);

// --- layout rules, open for tests ---------------------------------------------

// The longest start of `text` (line breaks and tabs made blanks) whose
// printed width is at most `maxWidth`: what dropping the last character
// until it fits gives, found without measuring every length.
QString cutToWidth(const Printer& printer, const QString& text, double maxWidth);

// The printed width of each of the 13 project columns (0 the number
// column), after widening; 0 for columns not printed.
std::vector<double> projectColumnWidths(const Printer& printer, const std::array<QString, 25>& fieldLabels);

// How many characters of a name fit in the time line's label column.
int timeLineLabelChars(const Printer& printer, double drawingWidth);

// The x of day `day` (1 ... 366; 0 the axis start) on the time-line axis.
double timeLineDayX(double drawingWidth, int day);

} // namespace zp
