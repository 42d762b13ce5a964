#pragma once
// Repeating calendar entries, expanded by plain arithmetic on wall-clock
// seconds, in a bounded number of steps. libical's own iterator is not
// used: on rules that never match (FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=30)
// it spins inside one call for good, and on others it takes a second per
// call, which a calendar of a few KB could repeat thousands of times.

#include <QtGlobal>

#include <libical/ical.h>

#include <functional>
#include <limits>

namespace zp::calendar {

constexpr qint64 kDaySeconds = 86400;
constexpr qint64 kNever = std::numeric_limits<qint64>::max();

// A time of day on a day, as seconds from the start of Julian day 0: the
// clock on the wall, whatever zone it is in.
inline qint64 wallSeconds(qint64 julianDay, int secondsOfDay)
{
    return julianDay * kDaySeconds + secondsOfDay;
}

// How many steps the reading of one file may take, shared by every
// expansion in it, and the reader's progress callback, asked now and then
// whether to go on.
class StepBudget {
public:
    StepBudget(qint64 steps, std::function<bool(qint64, qint64)> progress, qint64 total)
        : left_(steps), total_(total), progress_(std::move(progress))
    {
    }

    // Spends `n` steps; false once the budget is gone or the read was
    // stopped.
    bool spend(qint64 n = 1)
    {
        left_ -= n;
        tick_ += n;
        if (tick_ >= 2048) {
            tick_ = 0;
            report();
        }
        return left_ >= 0 && !cancelled_;
    }
    // Asks the callback whether to go on, telling it how far the read is.
    bool report()
    {
        if (progress_ && !cancelled_ && !progress_(done_, total_))
            cancelled_ = true;
        return !cancelled_;
    }
    void setDone(qint64 done) { done_ = done; }
    bool cancelled() const { return cancelled_; }
    qint64 left() const { return left_; }

private:
    qint64 left_;
    qint64 tick_ = 0;
    qint64 done_ = 0;
    qint64 total_;
    bool cancelled_ = false;
    std::function<bool(qint64, qint64)> progress_;
};

enum class Expansion {
    Done,          // every occurrence in the window was given
    NotUnderstood, // a rule this reader does not follow, or one that needs too many steps
    Cancelled,     // the progress callback asked to stop
};

// Gives every occurrence of `rule` from `start` (DTSTART, which always
// counts as the first) that falls in [from, to) of wall time, in order,
// to `give`, which returns false to stop. `until` is the rule's UNTIL in
// the same wall time (kNever without one). A rule may take at most
// `maxSteps` of the budget.
Expansion expandRule(const icalrecurrencetype& rule, qint64 start, bool isDate, qint64 until, qint64 from,
                     qint64 to, StepBudget& budget, qint64 maxSteps, const std::function<bool(qint64)>& give);

} // namespace zp::calendar
