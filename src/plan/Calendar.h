#pragma once
#include "plan/RecordStore.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <functional>
#include <vector>

class QIODevice;

namespace zp {

// Calendar exchange with other calendars in iCalendar form (RFC 5545):
// read through libical, written by a small writer of content lines.
//
// A record whose start date is a date becomes an event: all day when its
// time is not a time of day, and ending with its finish date when that is
// later than the start. Any other record becomes a to-do. Name and message
// are the summary and description; a done record is a completed to-do or
// an event in the category "Done". Everything a calendar has no place for
// (phones, amounts, attachments, and date or time texts that are not
// dates) travels in X-ZORVIK-* properties, so a plan exported and imported
// again gives the same records. Dates and times are floating: a plan
// knows no time zones.

inline const QString kCalendarFileFilter =
    QStringLiteral("All files (*.*) |*.*|Calendar Files (*.ics) |*.ics|");
constexpr int kCalendarFileFilterIndex = 2;
inline const QString kCalendarExportTitle = QStringLiteral("Calendar Export");
inline const QString kCalendarImportTitle = QStringLiteral("Calendar Import");
inline const QString kCalendarDoneCategory = QStringLiteral("Done");

// Stable identifier of each record 1 ... recordCount of a store: made from
// its start date, time and name (dates by their value, so the date style
// does not matter), with "-2", "-3" ... for later records with the same
// three. A record whose message or amounts change keeps its identifier, so
// another calendar updates the entry instead of adding a second one.
std::vector<QString> calendarUids(const RecordStore& store, DateOrder order);

// The calendar of every record of the store, dates read in `order`;
// `stamp` is the DTSTAMP of every entry.
QByteArray calendarText(const RecordStore& store, DateOrder order, const QDateTime& stamp);
// Writes it to a device; false when the device refused the bytes.
bool writeCalendar(QIODevice& device, const RecordStore& store, DateOrder order, const QDateTime& stamp);

// Each record as a calendar of its own, holding its one event or to-do
// under the identifier calendarUids() gives: what a calendar server keeps
// as one resource per entry.
struct CalendarEntry {
    QString uid;
    QByteArray text;
};
std::vector<CalendarEntry> calendarEntries(const RecordStore& store, DateOrder order, const QDateTime& stamp);

struct CalendarImportOptions {
    DateOrder order = DateOrder::DayFirst; // how dates are written into records
    QDate today;                           // recurring events are expanded from here ...
    int recurrenceMonths = 12;             // ... for this many months
    QTimeZone localZone = QTimeZone::systemTimeZone();
    // Called now and then while a file is read, from the reading thread,
    // with how far the read is (done of total); returning false stops the
    // read, which then gives `cancelled` and nothing to add.
    std::function<bool(qint64 done, qint64 total)> progress;
};

// What an import brings: the new records in date order, and how many
// entries were already in the plan or could not be read as records.
struct CalendarImport {
    bool readable = false;
    QString error; // when not readable: why, in a sentence for the user
    // The earliest new records in date order, no more than a plan holds;
    // `newRecords` counts every one the calendar brings.
    std::vector<PlannerRecord> records;
    int newRecords = 0;
    int skipped = 0;
    int notUnderstood = 0;
    int recurring = 0; // repeating events, expanded for the chosen span
    bool cancelled = false; // the progress callback asked to stop
};

// Reads a calendar against the plan it is to go into; the plan is not
// changed. A text that is not a complete, well-formed calendar gives
// readable false and nothing to add.
CalendarImport readCalendar(const QByteArray& text, const RecordStore& store, const CalendarImportOptions& options);
CalendarImport readCalendarFile(const QString& path, const RecordStore& store, const CalendarImportOptions& options);

// Adds the first `count` of the imported records (no more than there is
// room for) in date order, each after the plan's records of the same date
// and time, or at the end when the plan is not in date order (project
// planning). Marks the plan modified when any went in. Returns how many
// were added.
int addImportedRecords(RecordStore& store, const std::vector<PlannerRecord>& records, int count);

// How many of `wanted` new records the plan has room for.
int roomForRecords(const RecordStore& store, int wanted);

// The message after an import: added, skipped, not understood.
QString calendarImportSummary(int added, int skipped, int notUnderstood);
// The question for the span repeating events are expanded for.
QString calendarRecurrenceQuestion(int recurring);
// The question when not every record fits.
QString calendarImportLimitQuestion(int wanted, int fitting);

} // namespace zp
