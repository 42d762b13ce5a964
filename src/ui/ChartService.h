#pragma once
#include <QString>
#include <qnamespace.h>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QWidget;

namespace zp {

// One row of values of a chart, drawn in one colour.
struct ChartSet {
    const std::vector<double>& values;
    Qt::GlobalColor colour;
};

// A chart of value sets over points numbered 1, 2, ..., as lines or bars,
// in a widget of its own.
class ChartPanel {
public:
    virtual ~ChartPanel() = default;
    virtual QWidget* widget() = 0;
    // Replaces what is drawn. The sets have `points` values each. The value
    // axis runs from the lowest value (0 at most) to the highest, rounded
    // out to nice numbers; `top`, when given, sets its upper end instead.
    virtual void plot(std::span<const ChartSet> sets, int points, bool lines, std::optional<double> top) = 0;
    virtual void setTitles(const QString& title, const QString& xTitle, const QString& yTitle) = 0;
    // Whether the numbers of the points are written under the chart.
    virtual void setPointNumbersVisible(bool visible) = 0;
};

class ChartService {
public:
    virtual ~ChartService() = default;
    // A new, empty chart inside `parent`.
    virtual std::unique_ptr<ChartPanel> createChart(QWidget* parent) = 0;
};

} // namespace zp
