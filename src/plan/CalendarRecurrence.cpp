#include "plan/CalendarRecurrence.h"

#include <QDate>

#include <algorithm>
#include <vector>

namespace zp::calendar {

namespace {

std::vector<int> listOf(const short* values, int size)
{
    std::vector<int> out;
    for (int i = 0; i < size && values[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        out.push_back(values[i]);
    return out;
}

bool allWithin(const std::vector<int>& values, int low, int high, bool negativeToo)
{
    return std::all_of(values.begin(), values.end(), [&](int v) {
        return (v >= low && v <= high) || (negativeToo && v <= -low && v >= -high);
    });
}

bool contains(const std::vector<int>& values, int v)
{
    return std::find(values.begin(), values.end(), v) != values.end();
}

// A position counted from the front (1 ...) or the back (-1 ...) of `size`.
bool atPosition(const std::vector<int>& positions, int index, int size)
{
    return std::any_of(positions.begin(), positions.end(),
                       [&](int v) { return v > 0 ? v == index : size + 1 + v == index; });
}

qint64 floorDiv(qint64 a, qint64 b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Monday 1 ... Sunday 7, as QDate counts.
int weekdayOf(icalrecurrencetype_weekday w)
{
    return w == ICAL_SUNDAY_WEEKDAY ? 7 : int(w) - 1;
}

// The first day of the first week of `year` when weeks begin on
// `weekStart`: the week holding 4 January.
qint64 firstWeekDay(int year, int weekStart)
{
    const QDate fourth(year, 1, 4);
    return fourth.toJulianDay() - (fourth.dayOfWeek() - weekStart + 7) % 7;
}

class Expander {
public:
    Expander(const icalrecurrencetype& rule, qint64 start, bool isDate, qint64 until, qint64 from, qint64 to,
             StepBudget& budget, qint64 maxSteps, const std::function<bool(qint64)>& give)
        : rule_(rule), start_(start), isDate_(isDate), until_(until), from_(from), to_(to), budget_(budget),
          maxSteps_(maxSteps), give_(give)
    {
    }

    Expansion run()
    {
        if (!load())
            return Expansion::NotUnderstood;
        // DTSTART is the first occurrence, whether the rule gives it or not.
        counted_ = 1;
        if (start_ >= from_ && start_ < to_ && !give_(start_))
            return Expansion::Done;
        if (freq_ >= ICAL_DAILY_RECURRENCE)
            byPeriods();
        else
            byDays();
        if (budget_.cancelled())
            return Expansion::Cancelled;
        return exhausted_ ? Expansion::NotUnderstood : Expansion::Done;
    }

private:
    bool load()
    {
        freq_ = rule_.freq;
        if (freq_ < ICAL_SECONDLY_RECURRENCE || freq_ > ICAL_YEARLY_RECURRENCE || rule_.interval < 1
            || rule_.count < 0 || rule_.rscale)
            return false;
        interval_ = rule_.interval;
        seconds_ = listOf(rule_.by_second, ICAL_BY_SECOND_SIZE);
        minutes_ = listOf(rule_.by_minute, ICAL_BY_MINUTE_SIZE);
        hours_ = listOf(rule_.by_hour, ICAL_BY_HOUR_SIZE);
        monthDays_ = listOf(rule_.by_month_day, ICAL_BY_MONTHDAY_SIZE);
        yearDays_ = listOf(rule_.by_year_day, ICAL_BY_YEARDAY_SIZE);
        weekNumbers_ = listOf(rule_.by_week_no, ICAL_BY_WEEKNO_SIZE);
        months_ = listOf(rule_.by_month, ICAL_BY_MONTH_SIZE);
        setPositions_ = listOf(rule_.by_set_pos, ICAL_BY_SETPOS_SIZE);
        for (int day : listOf(rule_.by_day, ICAL_BY_DAY_SIZE)) {
            const int position = icalrecurrencetype_day_position(short(day));
            const auto weekday = icalrecurrencetype_day_day_of_week(short(day));
            if (weekday < ICAL_SUNDAY_WEEKDAY || weekday > ICAL_SATURDAY_WEEKDAY || position < -53 || position > 53)
                return false;
            // An ordinal weekday means something only within a month or a year.
            if (position != 0 && (freq_ < ICAL_MONTHLY_RECURRENCE || !weekNumbers_.empty()))
                return false;
            weekdays_.push_back({position, weekdayOf(weekday)});
        }
        for (int& m : months_) {
            if (icalrecurrencetype_month_is_leap(short(m)))
                return false;
            m = icalrecurrencetype_month_month(short(m));
        }
        if (!allWithin(seconds_, 0, 59, false) || !allWithin(minutes_, 0, 59, false) || !allWithin(hours_, 0, 23, false)
            || !allWithin(monthDays_, 1, 31, true) || !allWithin(yearDays_, 1, 366, true)
            || !allWithin(weekNumbers_, 1, 53, true) || !allWithin(months_, 1, 12, false)
            || !allWithin(setPositions_, 1, 366, true))
            return false;
        if (!setPositions_.empty() && freq_ < ICAL_DAILY_RECURRENCE)
            return false;
        if (isDate_ && freq_ < ICAL_DAILY_RECURRENCE)
            return false;
        for (auto* list : {&seconds_, &minutes_, &hours_}) {
            std::sort(list->begin(), list->end());
            list->erase(std::unique(list->begin(), list->end()), list->end());
        }
        weekStart_ = rule_.week_start == ICAL_NO_WEEKDAY ? 1 : weekdayOf(rule_.week_start);
        startDay_ = floorDiv(start_, kDaySeconds);
        startSeconds_ = int(start_ - startDay_ * kDaySeconds);
        const QDate startDate = QDate::fromJulianDay(startDay_);
        if (!startDate.isValid())
            return false;
        startDate.getDate(&startYear_, &startMonth_, &startDayOfMonth_);
        startWeekday_ = startDate.dayOfWeek();
        fromDay_ = floorDiv(from_, kDaySeconds);
        lastDay_ = floorDiv(to_ - 1, kDaySeconds);
        return true;
    }

    bool step(qint64 n = 1)
    {
        steps_ += n;
        if (steps_ > maxSteps_ || !budget_.spend(n)) {
            exhausted_ = !budget_.cancelled();
            return false;
        }
        return true;
    }

    // Counts and gives one occurrence; false when the rule is at its end.
    bool take(qint64 t)
    {
        if (t <= start_)
            return true;
        if (t > until_ || t >= to_)
            return false;
        ++counted_;
        if (rule_.count > 0 && counted_ > rule_.count)
            return false;
        return t < from_ || give_(t);
    }

    bool dayMatches(qint64 julianDay, bool defaults) const
    {
        const QDate d = QDate::fromJulianDay(julianDay);
        int year = 0, month = 0, day = 0;
        d.getDate(&year, &month, &day);
        const int weekday = d.dayOfWeek();
        if (!months_.empty() && !contains(months_, month))
            return false;
        const int daysInMonth = d.daysInMonth();
        if (!monthDays_.empty() && !atPosition(monthDays_, day, daysInMonth))
            return false;
        const int dayOfYear = d.dayOfYear();
        const int daysInYear = d.daysInYear();
        if (!yearDays_.empty() && !atPosition(yearDays_, dayOfYear, daysInYear))
            return false;
        if (!weekNumbers_.empty()) {
            const qint64 weekBegins = julianDay - (weekday - weekStart_ + 7) % 7;
            const int weekYear = QDate::fromJulianDay(weekBegins + 3).year();
            const qint64 first = firstWeekDay(weekYear, weekStart_);
            const int number = int((weekBegins - first) / 7) + 1;
            const int weeks = int((firstWeekDay(weekYear + 1, weekStart_) - first) / 7);
            if (!atPosition(weekNumbers_, number, weeks))
                return false;
        }
        if (!weekdays_.empty()) {
            const bool inMonth = freq_ == ICAL_MONTHLY_RECURRENCE || !months_.empty();
            const bool any = std::any_of(weekdays_.begin(), weekdays_.end(), [&](const std::pair<int, int>& w) {
                if (w.second != weekday)
                    return false;
                if (w.first == 0)
                    return true;
                const int index = inMonth ? (day - 1) / 7 + 1 : (dayOfYear - 1) / 7 + 1;
                const int fromEnd = inMonth ? (daysInMonth - day) / 7 + 1 : (daysInYear - dayOfYear) / 7 + 1;
                return w.first > 0 ? index == w.first : fromEnd == -w.first;
            });
            if (!any)
                return false;
        }
        if (!defaults)
            return true;
        // What DTSTART gives where the rule names no day.
        const bool noDayParts = monthDays_.empty() && weekdays_.empty() && yearDays_.empty();
        switch (freq_) {
        case ICAL_YEARLY_RECURRENCE:
            if (noDayParts && weekNumbers_.empty())
                return day == startDayOfMonth_ && (!months_.empty() || month == startMonth_);
            if (noDayParts)
                return weekday == startWeekday_;
            return true;
        case ICAL_MONTHLY_RECURRENCE:
            return !noDayParts || day == startDayOfMonth_;
        case ICAL_WEEKLY_RECURRENCE:
            return !weekdays_.empty() || weekday == startWeekday_;
        default:
            return true;
        }
    }

    // DAILY and longer: period by period from DTSTART's, every day of a
    // period tried against the rule.
    void byPeriods()
    {
        std::vector<int> times;
        if (isDate_) {
            times.push_back(0);
        } else {
            const int h = startSeconds_ / 3600, m = startSeconds_ / 60 % 60, s = startSeconds_ % 60;
            for (int hour : hours_.empty() ? std::vector<int>{h} : hours_)
                for (int minute : minutes_.empty() ? std::vector<int>{m} : minutes_)
                    for (int second : seconds_.empty() ? std::vector<int>{s} : seconds_)
                        times.push_back(hour * 3600 + minute * 60 + second);
        }
        const qint64 weekZero = startDay_ - (startWeekday_ - weekStart_ + 7) % 7;
        const qint64 monthZero = qint64(startYear_) * 12 + startMonth_ - 1;
        // Without a COUNT nothing before the window matters: start there.
        qint64 period = 0;
        if (rule_.count == 0) {
            const QDate fromDate = QDate::fromJulianDay(fromDay_);
            qint64 periods = 0;
            switch (freq_) {
            case ICAL_YEARLY_RECURRENCE: periods = fromDate.year() - startYear_; break;
            case ICAL_MONTHLY_RECURRENCE: periods = qint64(fromDate.year()) * 12 + fromDate.month() - 1 - monthZero; break;
            case ICAL_WEEKLY_RECURRENCE: periods = floorDiv(fromDay_ - weekZero, 7); break;
            default: periods = fromDay_ - startDay_; break;
            }
            period = std::max<qint64>(0, periods / interval_);
        }
        std::vector<qint64> candidates;
        for (;; ++period) {
            const qint64 n = period * interval_;
            qint64 first = 0, last = 0;
            int monthFrom = 1, monthTo = 12, year = 0;
            switch (freq_) {
            case ICAL_YEARLY_RECURRENCE:
                year = int(std::min<qint64>(startYear_ + n, 10000));
                first = QDate(year, 1, 1).toJulianDay();
                last = QDate(year, 12, 31).toJulianDay();
                break;
            case ICAL_MONTHLY_RECURRENCE: {
                const qint64 index = monthZero + n;
                year = int(std::min<qint64>(index / 12, 10000));
                monthFrom = monthTo = int(index % 12) + 1;
                first = QDate(year, monthFrom, 1).toJulianDay();
                last = first + QDate(year, monthFrom, 1).daysInMonth() - 1;
                break;
            }
            case ICAL_WEEKLY_RECURRENCE:
                first = weekZero + 7 * n;
                last = first + 6;
                break;
            default:
                first = last = startDay_ + n;
                break;
            }
            if (first > lastDay_ || year >= 10000 || !step())
                return;
            candidates.clear();
            for (int month = monthFrom; month <= monthTo; ++month) {
                qint64 a = first, b = last;
                if (freq_ == ICAL_YEARLY_RECURRENCE) {
                    // A year is walked only through the months the rule can match.
                    if (!months_.empty() && !contains(months_, month))
                        continue;
                    a = QDate(year, month, 1).toJulianDay();
                    b = a + QDate(year, month, 1).daysInMonth() - 1;
                } else if (month != monthFrom) {
                    break;
                }
                for (qint64 day = a; day <= b; ++day) {
                    if (!step())
                        return;
                    if (!dayMatches(day, true))
                        continue;
                    // Every time of the day is a step: a rule may name 86400 of them.
                    if (!step(qint64(times.size())))
                        return;
                    for (int t : times)
                        candidates.push_back(wallSeconds(day, t));
                }
            }
            if (!setPositions_.empty()) {
                std::vector<qint64> chosen;
                const int size = int(candidates.size());
                for (int p : setPositions_) {
                    const int index = p > 0 ? p - 1 : size + p;
                    if (index >= 0 && index < size)
                        chosen.push_back(candidates[std::size_t(index)]);
                }
                std::sort(chosen.begin(), chosen.end());
                chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
                candidates.swap(chosen);
            }
            for (qint64 t : candidates)
                if (!take(t))
                    return;
        }
    }

    // HOURLY, MINUTELY, SECONDLY: day by day, and in each day that the
    // rule allows only the hours (or minutes) it names, walking the grid
    // of DTSTART plus multiples of the interval.
    void byDays()
    {
        const qint64 unit = freq_ == ICAL_HOURLY_RECURRENCE ? 3600 : freq_ == ICAL_MINUTELY_RECURRENCE ? 60 : 1;
        const qint64 stride = unit * interval_;
        std::vector<std::pair<int, int>> blocks; // [from, to) seconds of a day
        if (!hours_.empty() && freq_ == ICAL_SECONDLY_RECURRENCE && !minutes_.empty()) {
            for (int h : hours_)
                for (int m : minutes_)
                    blocks.push_back({h * 3600 + m * 60, h * 3600 + m * 60 + 60});
        } else if (!hours_.empty()) {
            for (int h : hours_)
                blocks.push_back({h * 3600, h * 3600 + 3600});
        } else {
            blocks.push_back({0, int(kDaySeconds)});
        }
        const int startMinute = startSeconds_ / 60 % 60, startSecond = startSeconds_ % 60;
        const qint64 firstDay = rule_.count == 0 ? std::max(startDay_, fromDay_) : startDay_;
        for (qint64 day = firstDay; day <= lastDay_; ++day) {
            if (!step())
                return;
            if (!dayMatches(day, false))
                continue;
            for (const auto& [b0, b1] : blocks) {
                const qint64 base = wallSeconds(day, b0);
                const qint64 end = wallSeconds(day, b1);
                qint64 k = std::max<qint64>(0, -floorDiv(start_ - base, stride));
                for (qint64 t = start_ + k * stride; t < end; t += stride) {
                    if (!step())
                        return;
                    const int secondsOfDay = int(t - day * kDaySeconds);
                    const int h = secondsOfDay / 3600, m = secondsOfDay / 60 % 60, s = secondsOfDay % 60;
                    if (!hours_.empty() && !contains(hours_, h))
                        continue;
                    if (freq_ == ICAL_SECONDLY_RECURRENCE) {
                        if ((!minutes_.empty() && !contains(minutes_, m)) || (!seconds_.empty() && !contains(seconds_, s)))
                            continue;
                        if (!take(t))
                            return;
                        continue;
                    }
                    if (freq_ == ICAL_MINUTELY_RECURRENCE && !minutes_.empty() && !contains(minutes_, m))
                        continue;
                    const std::vector<int> mins = freq_ == ICAL_MINUTELY_RECURRENCE || minutes_.empty()
                                                      ? std::vector<int>{freq_ == ICAL_MINUTELY_RECURRENCE ? m : startMinute}
                                                      : minutes_;
                    const std::vector<int> secs = seconds_.empty() ? std::vector<int>{startSecond} : seconds_;
                    if (!step(qint64(mins.size() * secs.size())))
                        return;
                    for (int mm : mins)
                        for (int ss : secs)
                            if (!take(wallSeconds(day, h * 3600 + mm * 60 + ss)))
                                return;
                }
            }
        }
    }

    const icalrecurrencetype& rule_;
    const qint64 start_;
    const bool isDate_;
    const qint64 until_, from_, to_;
    StepBudget& budget_;
    const qint64 maxSteps_;
    const std::function<bool(qint64)>& give_;

    icalrecurrencetype_frequency freq_ = ICAL_NO_RECURRENCE;
    int interval_ = 1;
    std::vector<int> seconds_, minutes_, hours_, monthDays_, yearDays_, weekNumbers_, months_, setPositions_;
    std::vector<std::pair<int, int>> weekdays_; // ordinal (0: every), Monday 1 ... Sunday 7
    int weekStart_ = 1;
    qint64 startDay_ = 0;
    int startSeconds_ = 0;
    int startYear_ = 0, startMonth_ = 0, startDayOfMonth_ = 0, startWeekday_ = 0;
    qint64 fromDay_ = 0, lastDay_ = 0;
    qint64 counted_ = 0;
    qint64 steps_ = 0;
    bool exhausted_ = false;
};

} // namespace

Expansion expandRule(const icalrecurrencetype& rule, qint64 start, bool isDate, qint64 until, qint64 from, qint64 to,
                     StepBudget& budget, qint64 maxSteps, const std::function<bool(qint64)>& give)
{
    return Expander(rule, start, isDate, until, from, to, budget, maxSteps, give).run();
}

} // namespace zp::calendar
