#pragma once
// Repeating a record: copies of it every day, week, two weeks, month or
// year, until a date or for a number of copies, dated by the same expansion
// as a calendar's repeating events. A monthly repeat keeps the day of the
// month, or the month's last day where the month is shorter; a record on a
// month's last day repeats on the last day of every month. A yearly repeat
// from 29 February falls on 28 February in other years. The copies go in in
// date order, as one step of the history.

#include "plan/RecordStore.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace zp {

class MessageBoxService;

inline const QString kRepeatTitle = QStringLiteral("Repeat record");
inline const QString kRepeatNoDate =
    QStringLiteral("The record has no start date to repeat from. Give it one first.");

enum class RepeatEvery { Day, Week, TwoWeeks, Month, Year };

struct RepeatRule {
    RepeatEvery every = RepeatEvery::Week;
    // The last day a copy may fall on; without one, `count` copies.
    std::optional<QDate> until;
    int count = 1;
};

// The days of the copies after `start` (not `start` itself), in order, at
// most `atMost` of them.
std::vector<QDate> repeatDates(QDate start, const RepeatRule& rule, int atMost = RecordStore::kMaxRecords);

// Copies of record `index` on those days: every text as it is, the start
// date moved to the day and a finish date moved by as many days. Empty when
// the record has no start date.
std::vector<PlannerRecord> repeatCopies(const RecordStore& store, int index, const RepeatRule& rule);

// What the dialog says before it adds them.
QString repeatCountText(int copies);

// Adds the copies as one step named after the record. Copies that would
// take the plan past its limit are asked about first, as a calendar import
// asks; a full plan is reported. Returns how many were added.
int addRepeatCopies(RecordStore& store, int index, const std::vector<PlannerRecord>& copies,
                    MessageBoxService& messages);

} // namespace zp
