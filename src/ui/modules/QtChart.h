#pragma once
// Charts through Qt Charts, which only this module links.

#include "ui/ChartService.h"

namespace zp {

// A QChartView named "Graph1", legend hidden, anti-aliased.
class QtChartService : public ChartService {
public:
    std::unique_ptr<ChartPanel> createChart(QWidget* parent) override;
};

} // namespace zp
