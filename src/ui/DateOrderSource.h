#pragma once
namespace zp {

// Which number comes first in a numeric date such as 6/9/94.
enum class DateOrder { DayFirst, MonthFirst };

// The day/month order the system's regional settings use. Read afresh on
// every call, because the user may change it while the planner runs.
class DateOrderSource {
public:
    virtual ~DateOrderSource() = default;
    virtual DateOrder systemDateOrder() const = 0;
};

} // namespace zp
