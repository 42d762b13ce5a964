#include "ui/modules/QtChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

namespace zp {

namespace {

class QtChartPanel : public ChartPanel {
public:
    explicit QtChartPanel(QWidget* parent) : view_(new QChartView(parent))
    {
        view_->setObjectName(QStringLiteral("Graph1"));
        view_->setAccessibleName(QStringLiteral("Chart"));
        view_->viewport()->setAccessibleName(QStringLiteral("Chart"));
        view_->setRenderHint(QPainter::Antialiasing);
        view_->chart()->legend()->hide();
    }

    QWidget* widget() override { return view_; }

    void plot(std::span<const ChartSet> sets, int points, bool lines, std::optional<double> top) override
    {
        QChart* chart = view_->chart();
        chart->removeAllSeries();
        for (QAbstractAxis* axis : chart->axes())
            chart->removeAxis(axis);

        auto* xAxis = new QBarCategoryAxis;
        QStringList categories;
        categories.reserve(points);
        for (int i = 1; i <= points; ++i)
            categories << QString::number(i);
        xAxis->append(categories);
        auto* yAxis = new QValueAxis;
        chart->addAxis(xAxis, Qt::AlignBottom);
        chart->addAxis(yAxis, Qt::AlignLeft);

        if (lines) {
            for (const ChartSet& set : sets) {
                auto* series = new QLineSeries;
                for (int i = 0; i < points; ++i)
                    series->append(i, set.values[static_cast<std::size_t>(i)]);
                chart->addSeries(series);
                // After adding: the chart's theme gives a line a colour of
                // its own when it is added.
                series->setColor(set.colour);
                series->attachAxis(xAxis);
                series->attachAxis(yAxis);
            }
        } else {
            auto* series = new QBarSeries;
            series->setBarWidth(0.8);
            for (const ChartSet& set : sets) {
                auto* bars = new QBarSet(QString());
                bars->setColor(set.colour);
                bars->setBorderColor(set.colour);
                QList<qreal> values;
                values.reserve(points);
                for (double v : set.values)
                    values << v;
                bars->append(values);
                series->append(bars);
            }
            chart->addSeries(series);
            series->attachAxis(xAxis);
            series->attachAxis(yAxis);
        }
        double low = 0, high = top.value_or(0);
        for (const ChartSet& set : sets) {
            for (double v : set.values) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
        }
        if (high <= low)
            high = low + 100;
        yAxis->setRange(low, high);
        yAxis->applyNiceNumbers();
        if (top)
            yAxis->setMax(std::max(*top, low + 1));
        applyTitles();
    }

    void setTitles(const QString& title, const QString& xTitle, const QString& yTitle) override
    {
        title_ = title;
        xTitle_ = xTitle;
        yTitle_ = yTitle;
        applyTitles();
    }

    void setPointNumbersVisible(bool visible) override
    {
        const auto bottom = view_->chart()->axes(Qt::Horizontal);
        if (bottom.isEmpty())
            return;
        // Hidden labels would take the axis title with them (Qt Charts
        // shortens it to "..."), so the numbers are only made invisible.
        QAbstractAxis* axis = bottom.front();
        if (!labelsBrush_)
            labelsBrush_ = axis->labelsBrush();
        axis->setLabelsBrush(visible ? *labelsBrush_ : QBrush(Qt::transparent));
    }

private:
    void applyTitles()
    {
        QChart* chart = view_->chart();
        chart->setTitle(title_);
        const auto bottom = chart->axes(Qt::Horizontal);
        if (!bottom.isEmpty())
            bottom.front()->setTitleText(xTitle_);
        const auto left = chart->axes(Qt::Vertical);
        if (!left.isEmpty())
            left.front()->setTitleText(yTitle_);
    }

    QChartView* view_;
    QString title_, xTitle_, yTitle_;
    std::optional<QBrush> labelsBrush_;
};

} // namespace

std::unique_ptr<ChartPanel> QtChartService::createChart(QWidget* parent)
{
    return std::make_unique<QtChartPanel>(parent);
}

} // namespace zp
