// Loan schedule timings for the longest loan, 200 years weekly (10,400
// rows).
//
//   BM_LoanScheduleModel   the rows as the window gets them: computed, in
//                          string form, and handed to the grid's model in
//                          one reset
//   BM_LoanBareStrings     the same arithmetic writing each row as one bare
//                          std::string with snprintf: the floor for any
//                          way of building the rows
//
// The model should stay within a small factor of the bare strings and far
// below the 300 ms a user would notice.

#include "money/Loan.h"
#include "money/LoanScheduleModel.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const zp::LoanInputs kLongest{1000000, 200, 10.2, zp::LoanFrequency::Weekly};

void BM_LoanScheduleModel(benchmark::State& state)
{
    zp::LoanScheduleModel model;
    for (auto _ : state) {
        const zp::LoanFigures figures = zp::computeLoanFigures(kLongest);
        model.setSchedule(kLongest.frequency,
                          zp::loanScheduleRows(kLongest, figures, QDate(2026, 1, 1), zp::DateOrder::DayFirst));
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_LoanScheduleModel)->Unit(benchmark::kMillisecond);

void BM_LoanBareStrings(benchmark::State& state)
{
    for (auto _ : state) {
        const zp::LoanFigures figures = zp::computeLoanFigures(kLongest);
        const int count = zp::loanPeriodCount(kLongest);
        std::vector<std::string> rows;
        rows.reserve(static_cast<std::size_t>(count));
        double balance = kLongest.amount, paidPrincipal = 0, paidInterest = 0;
        const QDate start(2026, 1, 1);
        char line[256];
        for (int k = 1; k <= count; ++k) {
            const double interest = balance * (kLongest.ratePercent / 100.0) / 52.0;
            const double principal = figures.payment - interest;
            paidPrincipal += principal;
            paidInterest += interest;
            balance = std::max(0.0, balance - principal);
            const QDate d = start.addDays(7LL * k);
            std::snprintf(line, sizeof line, "%02d/%02d/%04d\t %.15g\t %.15g\t %.15g\t %.15g\t %.15g", d.day(),
                          d.month(), d.year(), std::floor(principal), std::floor(interest), std::floor(paidPrincipal),
                          std::floor(paidInterest), std::floor(balance));
            rows.emplace_back(line);
        }
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_LoanBareStrings)->Unit(benchmark::kMillisecond);

} // namespace
