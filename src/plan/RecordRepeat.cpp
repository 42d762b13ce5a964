#include "plan/RecordRepeat.h"

#include "plan/Calendar.h"
#include "plan/CalendarFields.h"
#include "plan/CalendarRecurrence.h"
#include "plan/HistorySteps.h"
#include "ui/MessageBox.h"

#include <libical/ical.h>

#include <algorithm>

namespace zp {

namespace {

// The repeat as a calendar rule: the month end is kept by taking the day
// itself or, where the month has no such day, its last one (the first of
// the two a month has).
QByteArray ruleText(QDate start, const RepeatRule& rule, int atMost)
{
    QByteArray text;
    const bool monthEnd = start.day() == start.daysInMonth();
    switch (rule.every) {
    case RepeatEvery::Day:
        text = "FREQ=DAILY";
        break;
    case RepeatEvery::Week:
        text = "FREQ=WEEKLY";
        break;
    case RepeatEvery::TwoWeeks:
        text = "FREQ=WEEKLY;INTERVAL=2";
        break;
    case RepeatEvery::Month:
        text = "FREQ=MONTHLY";
        if (monthEnd)
            text += ";BYMONTHDAY=-1";
        else if (start.day() > 28)
            text += ";BYMONTHDAY=" + QByteArray::number(start.day()) + ",-1;BYSETPOS=1";
        break;
    case RepeatEvery::Year:
        text = "FREQ=YEARLY";
        if (start.month() == 2 && start.day() == 29)
            text += ";BYMONTH=2;BYMONTHDAY=29,-1;BYSETPOS=1";
        break;
    }
    // The start counts as the first occurrence.
    text += ";COUNT=" + QByteArray::number(qint64(atMost) + 1);
    return text;
}

} // namespace

std::vector<QDate> repeatDates(QDate start, const RepeatRule& rule, int atMost)
{
    std::vector<QDate> dates;
    atMost = std::min(atMost, rule.until ? RecordStore::kMaxRecords : std::min(rule.count, RecordStore::kMaxRecords));
    if (!start.isValid() || atMost <= 0 || (rule.until && *rule.until <= start))
        return dates;
    const icalrecurrencetype ical = icalrecurrencetype_from_string(ruleText(start, rule, atMost).constData());
    using namespace calendar;
    const qint64 first = wallSeconds(start.toJulianDay(), 0);
    const qint64 until = rule.until ? wallSeconds(rule.until->toJulianDay(), 0) : kNever;
    StepBudget budget(qint64(atMost) * 64 + 4096, {}, 0);
    expandRule(ical, first, true, until, first + 1, kNever, budget, budget.left(), [&](qint64 wall) {
        dates.push_back(QDate::fromJulianDay(wall / kDaySeconds));
        return int(dates.size()) < atMost;
    });
    return dates;
}

std::vector<PlannerRecord> repeatCopies(const RecordStore& store, int index, const RepeatRule& rule)
{
    std::vector<PlannerRecord> copies;
    const DateOrder order = store.dateOrder();
    const PlannerRecord record = store.record(index).toRecord();
    const std::optional<QDate> start = calendar::recordDate(record[Field::StartDate], order);
    if (!start)
        return copies;
    const std::optional<QDate> finish = calendar::recordDate(record[Field::FinishDate], order);
    for (const QDate& day : repeatDates(*start, rule)) {
        PlannerRecord copy = record;
        copy[Field::StartDate] = calendar::dateText(day, order);
        if (finish)
            copy[Field::FinishDate] = calendar::dateText(finish->addDays(start->daysTo(day)), order);
        copies.push_back(std::move(copy));
    }
    return copies;
}

QString repeatCountText(int copies)
{
    if (copies == 0)
        return QStringLiteral("No records will be added.");
    return copies == 1 ? QStringLiteral("1 record will be added.")
                       : QStringLiteral("%1 records will be added.").arg(copies);
}

int addRepeatCopies(RecordStore& store, int index, const std::vector<PlannerRecord>& copies,
                    MessageBoxService& messages)
{
    const int wanted = int(copies.size());
    const int fitting = roomForRecords(store, wanted);
    if (wanted > 0 && fitting == 0) {
        messages.msgBox(QStringLiteral("The plan is full: it holds the most records a plan can (%1). Nothing was added.")
                            .arg(RecordStore::kMaxRecords),
                        MsgStyle::Exclamation, kRepeatTitle);
        return 0;
    }
    if (fitting < wanted
        && messages.msgBox(QStringLiteral("The repeat makes %1 new records, but the plan has room for only %2 more "
                                          "(a plan holds at most %3 records).\nAdd the %2 records that fit?")
                               .arg(wanted)
                               .arg(fitting)
                               .arg(RecordStore::kMaxRecords),
                           MsgStyle::YesNoQuestion, kRepeatTitle)
               != MsgAnswer::Yes)
        return 0;
    const HistoryStep step(store.journal(), historyStepName(kRepeatStep, recordName(store, index), kRepeatUnnamedStep));
    const int added = store.insertAllInDateOrder(std::span(copies).first(std::size_t(fitting)));
    if (added > 0)
        store.modified = true;
    return added;
}

} // namespace zp
