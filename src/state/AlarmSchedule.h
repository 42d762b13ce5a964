#pragma once
#include "plan/RecordStore.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QTimeZone>
#include <array>
#include <optional>
#include <span>
#include <vector>

namespace zp {

class Preferences;

// The lead times Options > Alarms... offers, in minutes; the last is a day.
inline constexpr std::array<int, 7> kAlarmLeadMinutes = {0, 5, 10, 15, 30, 60, 1440};
inline constexpr int kAlarmLeadOneDay = 1440;
// "Snooze" brings a reminder back this much later.
inline constexpr int kSnoozeMinutes = 10;
// At start, alarms missed while the planner was not running are shown when
// they fell due at most this long ago.
inline constexpr qint64 kMissedAlarmWindowMsecs = 24LL * 60 * 60 * 1000;
// A notification's body is the record's message cut to this length.
inline constexpr int kAlarmBodyLength = 200;
// More alarms than this falling due at one check come as one summary.
inline constexpr int kAlarmsShownSingly = 3;

// How the user wants to be reminded (Options > Alarms...).
struct AlarmOptions {
    bool on = true;
    int leadMinutes = 10;
    // When a record that has a date but no time alarms, on its own day.
    QTime untimedAt{9, 0};
    // Closing the main window leaves the planner running in the tray.
    bool keepInTray = false;
    friend bool operator==(const AlarmOptions&, const AlarmOptions&) = default;
};

AlarmOptions readAlarmOptions(const Preferences& preferences);
void writeAlarmOptions(Preferences& preferences, const AlarmOptions& options);

// When the planner last handed out alarms: everything due up to this moment
// was shown (or missed while nobody was there to see it). Invalid when
// never recorded.
QDateTime alarmsCheckedUpTo(const Preferences& preferences);
void setAlarmsCheckedUpTo(Preferences& preferences, const QDateTime& moment);

// The moment a record starts, in `zone`: its date at its time, or at the
// untimed hour when it has no time. Nothing for a record without a real
// date, with a time that is no time, or that is done.
std::optional<QDateTime> recordStart(const RecordView& record, const AlarmOptions& options, DateOrder order,
                                     const QTimeZone& zone);

// The moment a record alarms: its start less the lead time (a day's lead
// is the same clock time the day before, whatever the clocks did
// overnight). Nothing when alarms are off or the record never alarms.
std::optional<QDateTime> alarmTime(const RecordView& record, const AlarmOptions& options, DateOrder order,
                                   const QTimeZone& zone);

// One armed alarm: when it falls due and which record it is for.
struct Alarm {
    qint64 dueMsecs = 0;   // since the epoch
    qint64 startMsecs = 0; // the record's own start, since the epoch
    int record = 0;        // store index when armed
    friend bool operator==(const Alarm&, const Alarm&) = default;
};

// Every alarm of a plan, sorted by when it falls due, so the next one is a
// binary search away and a timer tick never scans the plan. Armed afresh
// from the store after loading and after every change: the whole plan in a
// few milliseconds, so an alarm always follows its record (moved, edited,
// done or removed) without any bookkeeping of single records.
class AlarmSchedule {
public:
    void arm(const RecordStore& store, const AlarmOptions& options, const QTimeZone& zone);
    void clear() { alarms_.clear(); }

    std::size_t size() const { return alarms_.size(); }
    bool empty() const { return alarms_.empty(); }
    std::span<const Alarm> all() const { return alarms_; }
    // The alarms due after `afterMsecs` and at or before `upToMsecs`, in order.
    std::span<const Alarm> dueBetween(qint64 afterMsecs, qint64 upToMsecs) const;
    // The first alarm due after `afterMsecs`, if any.
    const Alarm* nextAfter(qint64 afterMsecs) const;

private:
    std::vector<Alarm> alarms_;
};

// --- what an alarm says ---------------------------------------------------------

// The notification of one record: summary "10:30 Dentist" (the record's
// time as typed, or the name alone when it has no time), body the first
// 200 characters of its message.
struct AlarmText {
    QString summary;
    QString body;
};
AlarmText alarmText(const RecordView& record);

// One notification for many alarms at once: "12 reminders: Dentist, Call
// Smith, ..." with the first names listed (up to 200 characters in all).
AlarmText alarmSummaryText(const QStringList& summaries);
// At start: "3 reminders missed: ..." for alarms that fell due while the
// planner was not running.
AlarmText missedAlarmsText(const QStringList& summaries);

// For `zorvik-planner --alarms`: one line per alarm due after `now` and
// within the next 24 hours, "YYYY-MM-DD HH:MM  <summary>", in order.
QStringList alarmLines(const RecordStore& store, const AlarmOptions& options, const QDateTime& now);

} // namespace zp
