#pragma once
#include "plan/DateText.h"

#include <QString>
#include <optional>

namespace zp {

class RecordStore;

// Date style words ("englisheuro", "american", see RecordStore.h) and the
// day/month order and pattern that go with them. "american" is month first;
// every other word, the settings file's old default "english" included, is
// day first.
QString dateStyleFor(DateOrder order);
DateOrder dateOrderFor(const QString& style);
// The pattern a date is re-rendered with under a style: "dd/mm/yyyy" or
// "mm/dd/yyyy".
QString datePatternFor(const QString& style);
bool isKnownDateStyle(const QString& style);

// The style word of a system whose regional settings read numeric dates in
// `order`: the fixed date 6/9/94 is rendered as its weekday. "Thursday"
// (9 June 1994) means month first, "Tuesday" (6 September) day first;
// anything else (weekday names in another language) gives nothing and the
// caller keeps the style it had.
std::optional<QString> detectDateStyle(DateOrder order);

// Exchanges the first two components of a date of the shape d/m/yyyy (one
// or two digits, "/", one or two digits, "/", four digits):
// "5/11/1996" -> "11/5/1996". Any other text, an empty finish date above
// all, comes back unchanged.
QString swapDayMonth(const QString& text);

// The start/finish rule: a start date after the finish date breaks it.
// Each date is compared by its date-order key (see sortKey) with the date
// text standing in for the time as well, so a plain date counts as midnight.
// Equal dates are allowed. (The date test itself is isDateText.)
bool breaksStartFinishRule(const QString& start, const QString& finish, DateOrder order);

// Brings the stored dates (fields 1 and 12 of every record) from one style
// to the other by swapping day and month, which is what the running program
// does when the system's date order changes under an open plan. Nothing
// happens when the two words are equal. Neither `fileDateStyle` nor
// `modified` is touched: the caller sets `fileDateStyle` to the new style.
// Returns the number of fields that changed.
int convertStoreDates(RecordStore& store, const QString& fromStyle, const QString& toStyle);

} // namespace zp
