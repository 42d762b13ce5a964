#include "money/LedgerPlot.h"

#include "money/MoneySum.h"
#include "plan/TextNumber.h"
#include "ui/Printer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace zp {

namespace {

using namespace std::chrono;

std::optional<year_month_day> recordDate(const RecordStore& store, int index)
{
    const auto value = parseDateTime(store.record(index)[Field::StartDate], store.dateOrder());
    if (!value || !value->hasDate || !value->date.ok())
        return std::nullopt;
    return value->date;
}

// The period a date falls in, as one number per unit. Weeks are counted
// from the week holding 1 January, weeks starting on Sunday.
long long periodKey(const year_month_day& d, PlotUnit unit)
{
    const long long y = static_cast<int>(d.year());
    switch (unit) {
    case PlotUnit::Weeks: {
        const weekday jan1{sys_days{d.year() / January / 1}};
        const int week = (dayOfYear(d) - 1 + static_cast<int>(jan1.c_encoding())) / 7 + 1;
        return y * 100 + week;
    }
    case PlotUnit::Months:
        return y * 100 + static_cast<unsigned>(d.month());
    case PlotUnit::Years:
        return y;
    case PlotUnit::Days:
    case PlotUnit::None:
        break;
    }
    return y * 1000 + dayOfYear(d);
}

QString dayLabel(long long days)
{
    if (days == 1)
        return QStringLiteral("Time (1 Day)");
    return QStringLiteral("Time (") + plainNumber(static_cast<double>(days)) + QStringLiteral(" Days)");
}

LedgerPlot noData()
{
    LedgerPlot plot;
    plot.status = LedgerPlot::Status::NoData;
    return plot;
}

} // namespace

std::optional<long long> plotSpanDays(const RecordStore& store)
{
    const int count = store.recordCount();
    if (count == 0)
        return std::nullopt;
    const auto first = recordDate(store, 1);
    const auto last = recordDate(store, count);
    if (!first || !last)
        return std::nullopt;
    // True calendar days, so spans across leap years come out right. A plan
    // not in date order still spans from its earliest to its latest date.
    const long long difference = (sys_days{*last} - sys_days{*first}).count();
    return std::llabs(difference) + 1;
}

PlotScale plotScale(long long days)
{
    if (days < 2)
        return {PlotUnit::Days, 2, QString()};
    if (days < 60)
        return {PlotUnit::Days, static_cast<int>(days), QStringLiteral("Days)")};
    if (days < 210)
        return {PlotUnit::Weeks, static_cast<int>(days / 7 + 1), QStringLiteral("Weeks)")};
    if (days < 900)
        return {PlotUnit::Months, static_cast<int>(days / 30 + 1), QStringLiteral("Months)")};
    // Every longer span the chart takes is counted in years.
    return {PlotUnit::Years, static_cast<int>(days / 365 + 1), QStringLiteral("Years)")};
}

LedgerPlot buildLedgerPlot(const RecordStore& store, PlotShow show)
{
    LedgerPlot plot;
    const bool both = show == PlotShow::Both;
    plot.setCount = both ? 2 : 1;
    const int count = store.recordCount();
    auto resize = [&](int points) {
        plot.set1.assign(static_cast<std::size_t>(points), 0.0);
        if (both)
            plot.set2.assign(static_cast<std::size_t>(points), 0.0);
    };
    if (count == 0) {
        resize(2);
        plot.xLabel = QStringLiteral("Time (0 Days)");
        return plot;
    }

    const auto days = plotSpanDays(store);
    if (!days)
        return noData();
    plot.xLabel = dayLabel(*days);

    if (count == 1) {
        const double income = amountValue(store.record(1)[Field::Income]);
        const double expense = amountValue(store.record(1)[Field::Expense]);
        if (!std::isfinite(income) || !std::isfinite(expense))
            return noData();
        plot.unit = PlotUnit::Days;
        resize(3);
        if (income > expense && income > 0)
            plot.yMaximum = income;
        else if (expense > 0)
            plot.yMaximum = expense;
        else
            plot.yMaximum = 100;
        plot.set1[1] = show == PlotShow::Expense ? expense : income;
        if (both)
            plot.set2[1] = expense;
        return plot;
    }

    if (*days >= kPlotMaxDays) {
        plot.status = LedgerPlot::Status::TooManyPoints;
        return plot;
    }
    const PlotScale scale = plotScale(*days);
    plot.unit = scale.unit;
    if (!scale.unitWord.isEmpty())
        plot.xLabel = QStringLiteral("Time (") + plainNumber(scale.points) + scale.unitWord;

    // One point per run of records in the same period, in stored order.
    std::vector<long long> keys(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        const auto date = recordDate(store, i);
        if (!date)
            return noData();
        keys[static_cast<std::size_t>(i - 1)] = periodKey(*date, scale.unit);
    }
    std::vector<double> incomes, expenses;
    for (int i = 0; i < count; ++i) {
        const double income = amountValue(store.record(i + 1)[Field::Income]);
        const double expense = amountValue(store.record(i + 1)[Field::Expense]);
        if (i == 0 || keys[static_cast<std::size_t>(i)] != keys[static_cast<std::size_t>(i - 1)]) {
            incomes.push_back(income);
            expenses.push_back(expense);
        } else {
            incomes.back() += income;
            expenses.back() += expense;
        }
    }
    // A span can touch one period more than the unit table allows for (60
    // days over ten weeks): the chart grows rather than drop amounts.
    resize(std::max(scale.points, static_cast<int>(incomes.size())));
    for (std::size_t p = 0; p < incomes.size(); ++p) {
        if (!std::isfinite(incomes[p]) || !std::isfinite(expenses[p]))
            return noData();
        plot.set1[p] = show == PlotShow::Expense ? expenses[p] : incomes[p];
        if (both)
            plot.set2[p] = expenses[p];
    }
    return plot;
}

bool printLedgerPlot(const LedgerPlot& plot, const PlotLabels& labels, bool lines, Printer& p)
{
    const double W = p.pageWidth(), H = p.pageHeight();
    const double th = p.textHeight(QStringLiteral("ABC"));
    auto centred = [&](double y, const QString& text) {
        p.setCurrentX(std::max(0.0, (W - p.textWidth(text)) / 2));
        p.setCurrentY(y);
        p.printText(text);
    };
    double low = 0, high = plot.yMaximum.value_or(0);
    for (const auto* set : {&plot.set1, &plot.set2}) {
        for (double v : *set) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (high <= low)
        high = low + 100;
    const double left = W / 8, right = W - W / 16, top = H / 8, bottom = H - H / 6;
    const double valueWidth = std::max(p.textWidth(standardFormat(high)), p.textWidth(standardFormat(low)));
    const double axisX = left + std::min(valueWidth, W / 4);
    auto yOf = [&](double v) { return bottom - (v - low) / (high - low) * (bottom - top); };
    const int points = std::max(1, plot.pointCount());
    const double step = (right - axisX) / points;

    const int copies = std::max(1, p.copies());
    for (int copy = 1; copy <= copies; ++copy) {
        if (copy > 1 && !p.newPage())
            return false;
        p.setOrigin(0, 0);
        p.setDrawWidth(1);
        p.setDrawStyle(DrawStyle::Solid);
        centred(H / 16, labels.title);
        p.setCurrentX(left / 4);
        p.setCurrentY(top - 2 * th);
        p.printText(labels.yLabel);
        centred(bottom + 2 * th, labels.xLabel);
        p.setCurrentX(left);
        p.setCurrentY(top - th / 2);
        p.printText(standardFormat(high));
        p.setCurrentX(left);
        p.setCurrentY(yOf(low) - th / 2);
        p.printText(standardFormat(low));
        p.drawLine(axisX, top, axisX, bottom);
        p.drawLine(axisX, yOf(0), right, yOf(0));
        for (int s = 0; s < plot.setCount; ++s) {
            const std::vector<double>& set = s == 0 ? plot.set1 : plot.set2;
            // The second set (expenses beside income) is dashed on paper,
            // where the screen shows it red.
            p.setDrawStyle(s == 0 ? DrawStyle::Solid : DrawStyle::Dash);
            for (std::size_t i = 0; i < set.size(); ++i) {
                const double x = axisX + step * static_cast<double>(i);
                if (lines) {
                    if (i > 0)
                        p.drawLine(x - step / 2, yOf(set[i - 1]), x + step / 2, yOf(set[i]));
                    continue;
                }
                const double width = step * 0.8 / plot.setCount;
                const double x1 = x + step * 0.1 + width * s, x2 = x1 + width;
                const double y0 = yOf(0), y1 = yOf(set[i]);
                if (y1 == y0)
                    continue;
                p.drawLine(x1, y0, x1, y1);
                p.drawLine(x1, y1, x2, y1);
                p.drawLine(x2, y1, x2, y0);
            }
        }
        if (!p.ok())
            return false;
    }
    return p.endDoc();
}

} // namespace zp
