#pragma once
#include "plan/RecordStore.h"

#include <QString>
#include <optional>
#include <vector>

namespace zp {

class Printer;
class MessageBoxService;

inline const QString kPlotMessageTitle = QStringLiteral("Zorvik Planner Ledger Plot");
inline const QString kTooManyPoints =
    QStringLiteral("Too many points to plot.\nNote: Reduce the time span in your planner file.");
inline const QString kNoDataForGraph = QStringLiteral("No data for graph");
// Asked before a plan kept in the project style is re-sorted by date.
inline const QString kPlotResortQuestion =
    QStringLiteral("To display a graph of costs versus time will require a re-sorting of  your records list into\n\r"
                   "chronological order. Do you wish to continue...");
// Spans of this many days or more are not plotted.
constexpr int kPlotMaxDays = 584000;

enum class PlotShow { Income, Expense, Both };
enum class PlotUnit { None, Days, Weeks, Months, Years };

// What the chart draws: one or two sets (set 1 black, set 2 red) of
// `pointCount` values each, points 1 ... pointCount at index 0 ...
struct LedgerPlot {
    enum class Status { Drawn, TooManyPoints, NoData };
    Status status = Status::Drawn;
    PlotUnit unit = PlotUnit::None;
    int setCount = 1;
    std::vector<double> set1;
    std::vector<double> set2; // empty unless both are shown
    QString xLabel;
    // Set for a single record only; otherwise the chart scales itself.
    std::optional<double> yMaximum;
    int pointCount() const { return static_cast<int>(set1.size()); }
};

// Builds the chart from the records in stored order (the caller sorts them
// by date first). The X label is "Time (" with the number of points and the
// unit as the chart names them ("Time ( 20Days)", "Time (1 Day)").
LedgerPlot buildLedgerPlot(const RecordStore& store, PlotShow show);

// The number of calendar days from the first record's date to the last
// one's, both counted; nothing when either is not a date.
std::optional<long long> plotSpanDays(const RecordStore& store);

// The unit and the number of points for a span of days.
struct PlotScale {
    PlotUnit unit;
    int points;
    QString unitWord; // empty: the X label keeps its day form
};
PlotScale plotScale(long long days);

// Prints the chart on the printer the job's dialog gives, once per copy
// asked for: the title, the axis titles, the axes and the bars or lines.
// Cancelling or a failing printer ends it quietly. Returns whether it
// printed.
struct PlotLabels {
    QString title;
    QString xLabel;
    QString yLabel;
};
bool printLedgerPlot(const LedgerPlot& plot, const PlotLabels& labels, bool lines, Printer& printer);

} // namespace zp
