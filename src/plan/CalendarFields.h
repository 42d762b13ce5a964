#pragma once
// What the calendar writer and reader share: the X- properties that carry
// what a calendar has no place for, the record's date and time texts read
// as dates, and the escaping of texts a calendar would not keep as they are.

#include "plan/DateText.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

namespace zp::calendar {

inline constexpr const char* kXStart = "X-ZORVIK-START";
inline constexpr const char* kXTime = "X-ZORVIK-TIME";
inline constexpr const char* kXFinish = "X-ZORVIK-FINISH";
inline constexpr const char* kXStatus = "X-ZORVIK-STATUS";
inline constexpr const char* kXName = "X-ZORVIK-NAME";
inline constexpr const char* kXMessage = "X-ZORVIK-MESSAGE";
inline constexpr const char* kXPhoneAfterHours = "X-ZORVIK-PHONE-AFTER-HOURS";
inline constexpr const char* kXPhoneBusinessHours = "X-ZORVIK-PHONE-BUSINESS-HOURS";
inline constexpr const char* kXIncome = "X-ZORVIK-INCOME";
inline constexpr const char* kXExpense = "X-ZORVIK-EXPENSE";
inline constexpr const char* kXImage = "X-ZORVIK-IMAGE";
inline constexpr const char* kXAudio = "X-ZORVIK-AUDIO";
// iCalendar has no empty property value: the fields whose empty text is
// not what a missing property means are listed here instead.
inline constexpr const char* kXEmpty = "X-ZORVIK-EMPTY";
inline const QString kEmptyStatus = QStringLiteral("STATUS");
inline const QString kEmptyImage = QStringLiteral("IMAGE");
inline const QString kEmptyAudio = QStringLiteral("AUDIO");
// The parameter of a value written with %XX escapes (below).
inline constexpr const char* kXEncoding = "X-ZORVIK-ENCODING";
inline constexpr const char* kPercent = "PERCENT";

// A record's date or time text read as a date or a time of day, in `order`.
std::optional<QDate> recordDate(QStringView text, DateOrder order);
std::optional<QTime> recordTime(QStringView text, DateOrder order);
// dd/mm/yyyy or mm/dd/yyyy; hh:mm, or hh:mm:ss when there are seconds.
QString dateText(const QDate& d, DateOrder order);
QString timeText(const QTime& t);

// Whether a day can be a calendar's DTSTART or DTEND: libical takes
// years 1 ... 3000 only; a record's later dates travel as their text.
inline bool isCalendarDay(const QDate& d)
{
    return d.isValid() && d.year() >= 1 && d.year() <= 3000;
}

// A text a calendar would change: control characters (iCalendar has no
// place for them, a NUL ends a C string) and blanks or tabs at either end
// (libical strips them).
bool needsEscaping(QStringView text);
// %XX for '%', control characters and the blanks and tabs at either end.
QString escapedText(QStringView text);
QString unescapedText(QStringView text);
// The text a calendar keeps of `text`: control characters as blanks, no
// blanks at either end. Two texts whose plain forms agree are taken as the
// same entry's.
QString plainText(QStringView text);

} // namespace zp::calendar
