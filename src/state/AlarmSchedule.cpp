#include "state/AlarmSchedule.h"

#include "plan/DateText.h"
#include "state/Preferences.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace zp {

namespace {

constexpr qint64 kDayMsecs = 24LL * 60 * 60 * 1000;

bool isOfferedLead(int minutes)
{
    return std::find(kAlarmLeadMinutes.begin(), kAlarmLeadMinutes.end(), minutes) != kAlarmLeadMinutes.end();
}

QDate toQDate(std::chrono::year_month_day d)
{
    return QDate(static_cast<int>(d.year()), static_cast<int>(static_cast<unsigned>(d.month())),
                 static_cast<int>(static_cast<unsigned>(d.day())));
}

// Local wall-clock time to the epoch. Asking the zone costs far more than
// the rest of arming, so each year's offset changes are fetched once and a
// wall time is placed among them; only a day near a change (where a wall
// time may not exist or exist twice) is left to the zone itself.
class LocalTimes {
public:
    explicit LocalTimes(const QTimeZone& zone) : zone_(zone) {}

    qint64 msecs(const QDate& date, const QTime& time)
    {
        const qint64 wall = (date.toJulianDay() - kEpochJulianDay) * kDayMsecs + time.msecsSinceStartOfDay();
        const Year& year = yearOf(date.year());
        qint64 offset = year.offsetAtStart;
        for (const auto& [at, after] : year.changes) {
            if (std::llabs(wall - at) < 2 * kDayMsecs)
                return QDateTime(date, time, zone_).toMSecsSinceEpoch();
            if (at < wall)
                offset = after;
        }
        return wall - offset * 1000;
    }

private:
    struct Year {
        int year = 0;
        qint64 offsetAtStart = 0;                      // seconds
        std::vector<std::pair<qint64, qint64>> changes; // when (UTC msecs), offset after (seconds)
    };

    const Year& yearOf(int y)
    {
        if (last_ && last_->year == y)
            return *last_;
        auto it = years_.find(y);
        if (it == years_.end()) {
            Year year;
            year.year = y;
            const QDateTime from(QDate(y, 1, 1).addDays(-3), QTime(0, 0), QTimeZone::utc());
            const QDateTime to(QDate(y + 1, 1, 1).addDays(3), QTime(0, 0), QTimeZone::utc());
            year.offsetAtStart = zone_.offsetFromUtc(from);
            if (zone_.hasTransitions())
                for (const QTimeZone::OffsetData& t : zone_.transitions(from, to))
                    year.changes.emplace_back(t.atUtc.toMSecsSinceEpoch(), t.offsetFromUtc);
            it = years_.emplace(y, std::move(year)).first;
        }
        last_ = &it->second;
        return *last_;
    }

    static constexpr qint64 kEpochJulianDay = 2440588; // 1970-01-01
    QTimeZone zone_;
    std::map<int, Year> years_;
    const Year* last_ = nullptr;
};

// The record's start as a date and a wall-clock time, or nothing.
std::optional<std::pair<QDate, QTime>> startOf(const RecordView& record, const AlarmOptions& options, DateOrder order)
{
    if (record.isDone())
        return std::nullopt;
    const QStringView dateText = record[Field::StartDate];
    if (dateText.trimmed().isEmpty())
        return std::nullopt;
    const auto date = parseDateTime(dateText, order);
    if (!date || !date->hasDate)
        return std::nullopt;
    QTime time = options.untimedAt;
    const QStringView timeText = record[Field::Time].trimmed();
    if (!timeText.isEmpty()) {
        const auto t = parseDateTime(timeText, order);
        // A time field holding a word ("lunch") alarms at the untimed hour.
        if (t && t->hasTime && !t->hasDate)
            time = QTime(t->hour, t->minute, t->second);
    }
    const QDate day = toQDate(date->date);
    if (!day.isValid() || !time.isValid())
        return std::nullopt;
    return std::pair{day, time};
}

qint64 dueFrom(LocalTimes& local, const QDate& date, const QTime& time, qint64 startMsecs, int leadMinutes)
{
    if (leadMinutes == kAlarmLeadOneDay)
        return local.msecs(date.addDays(-1), time);
    return startMsecs - qint64(leadMinutes) * 60 * 1000;
}

QString listedNames(const QString& head, const QStringList& summaries)
{
    QString text = head;
    for (qsizetype i = 0; i < summaries.size(); ++i) {
        const QString part = (i == 0 ? QString() : QStringLiteral(", ")) + summaries[i];
        if (text.size() + part.size() > kAlarmBodyLength) {
            text += QStringLiteral(", ...");
            break;
        }
        text += part;
    }
    return text;
}

} // namespace

AlarmOptions readAlarmOptions(const Preferences& preferences)
{
    AlarmOptions o;
    o.on = preferences.boolValue(PreferenceKey::AlarmsOn, true);
    bool number = false;
    const int lead = preferences.value(PreferenceKey::AlarmLeadMinutes).toString().toInt(&number);
    if (number && isOfferedLead(lead))
        o.leadMinutes = lead;
    const QTime at = QTime::fromString(preferences.value(PreferenceKey::AlarmUntimedAt).toString(), QStringLiteral("HH:mm"));
    if (at.isValid())
        o.untimedAt = at;
    o.keepInTray = preferences.boolValue(PreferenceKey::KeepInTray, false);
    return o;
}

void writeAlarmOptions(Preferences& preferences, const AlarmOptions& options)
{
    preferences.setValue(PreferenceKey::AlarmsOn, options.on);
    preferences.setValue(PreferenceKey::AlarmLeadMinutes, options.leadMinutes);
    preferences.setValue(PreferenceKey::AlarmUntimedAt, options.untimedAt.toString(QStringLiteral("HH:mm")));
    preferences.setValue(PreferenceKey::KeepInTray, options.keepInTray);
}

QDateTime alarmsCheckedUpTo(const Preferences& preferences)
{
    return QDateTime::fromString(preferences.value(PreferenceKey::AlarmsCheckedUpTo).toString(), Qt::ISODateWithMs);
}

void setAlarmsCheckedUpTo(Preferences& preferences, const QDateTime& moment)
{
    preferences.setValue(PreferenceKey::AlarmsCheckedUpTo, moment.toUTC().toString(Qt::ISODateWithMs));
}

std::optional<QDateTime> recordStart(const RecordView& record, const AlarmOptions& options, DateOrder order,
                                     const QTimeZone& zone)
{
    const auto start = startOf(record, options, order);
    if (!start)
        return std::nullopt;
    return QDateTime(start->first, start->second, zone);
}

std::optional<QDateTime> alarmTime(const RecordView& record, const AlarmOptions& options, DateOrder order,
                                   const QTimeZone& zone)
{
    if (!options.on)
        return std::nullopt;
    const auto start = startOf(record, options, order);
    if (!start)
        return std::nullopt;
    LocalTimes local(zone);
    const qint64 startMsecs = local.msecs(start->first, start->second);
    return QDateTime::fromMSecsSinceEpoch(dueFrom(local, start->first, start->second, startMsecs, options.leadMinutes),
                                          zone);
}

void AlarmSchedule::arm(const RecordStore& store, const AlarmOptions& options, const QTimeZone& zone)
{
    alarms_.clear();
    if (!options.on)
        return;
    const DateOrder order = store.dateOrder();
    LocalTimes local(zone);
    const int count = store.recordCount();
    alarms_.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        const RecordView record = store.record(i);
        const auto start = startOf(record, options, order);
        if (!start)
            continue;
        const qint64 startMsecs = local.msecs(start->first, start->second);
        alarms_.push_back({dueFrom(local, start->first, start->second, startMsecs, options.leadMinutes), startMsecs, i});
    }
    // Records of a plan are mostly in date order already.
    std::stable_sort(alarms_.begin(), alarms_.end(),
                     [](const Alarm& a, const Alarm& b) { return a.dueMsecs < b.dueMsecs; });
}

std::span<const Alarm> AlarmSchedule::dueBetween(qint64 afterMsecs, qint64 upToMsecs) const
{
    const auto byDue = [](const Alarm& a, qint64 t) { return a.dueMsecs <= t; };
    const auto first = std::partition_point(alarms_.begin(), alarms_.end(), [&](const Alarm& a) { return byDue(a, afterMsecs); });
    const auto last = std::partition_point(first, alarms_.end(), [&](const Alarm& a) { return byDue(a, upToMsecs); });
    return {first, last};
}

const Alarm* AlarmSchedule::nextAfter(qint64 afterMsecs) const
{
    const auto it = std::partition_point(alarms_.begin(), alarms_.end(),
                                         [&](const Alarm& a) { return a.dueMsecs <= afterMsecs; });
    return it == alarms_.end() ? nullptr : &*it;
}

AlarmText alarmText(const RecordView& record)
{
    const QString time = record[Field::Time].trimmed().toString();
    const QString name = record[Field::Name].trimmed().toString();
    AlarmText text;
    text.summary = time.isEmpty() ? name : name.isEmpty() ? time : time + QLatin1Char(' ') + name;
    if (text.summary.isEmpty())
        text.summary = record[Field::StartDate].trimmed().toString();
    text.body = record[Field::Message].left(kAlarmBodyLength).toString();
    return text;
}

AlarmText alarmSummaryText(const QStringList& summaries)
{
    return {QStringLiteral("%1 reminders").arg(summaries.size()), listedNames(QString(), summaries)};
}

AlarmText missedAlarmsText(const QStringList& summaries)
{
    const QString head = summaries.size() == 1 ? QStringLiteral("1 reminder missed") : QStringLiteral("%1 reminders missed").arg(summaries.size());
    return {head, listedNames(QString(), summaries)};
}

QStringList alarmLines(const RecordStore& store, const AlarmOptions& options, const QDateTime& now)
{
    AlarmSchedule schedule;
    schedule.arm(store, options, now.timeZone());
    QStringList lines;
    const qint64 from = now.toMSecsSinceEpoch();
    for (const Alarm& alarm : schedule.dueBetween(from - 1, from + kDayMsecs)) {
        const QDateTime due = QDateTime::fromMSecsSinceEpoch(alarm.dueMsecs, now.timeZone());
        lines << due.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral("  ") + alarmText(store.record(alarm.record)).summary;
    }
    return lines;
}

} // namespace zp
