// The entry point of the chart part file.
#include "ui/modules/PartEntries.h"
#include "ui/modules/QtChart.h"

zp::ChartService* zorvikMakeChartService()
{
    return new zp::QtChartService;
}
