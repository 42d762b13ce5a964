#include "plan/Calendar.h"

#include "plan/DateText.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QStringList>
#include <QTime>

#include <libical/ical.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace zp {

namespace {

// --- the X- properties --------------------------------------------------

const char* const kXStart = "X-ZORVIK-START";
const char* const kXTime = "X-ZORVIK-TIME";
const char* const kXFinish = "X-ZORVIK-FINISH";
const char* const kXStatus = "X-ZORVIK-STATUS";
const char* const kXPhoneAfterHours = "X-ZORVIK-PHONE-AFTER-HOURS";
const char* const kXPhoneBusinessHours = "X-ZORVIK-PHONE-BUSINESS-HOURS";
const char* const kXIncome = "X-ZORVIK-INCOME";
const char* const kXExpense = "X-ZORVIK-EXPENSE";
const char* const kXImage = "X-ZORVIK-IMAGE";
const char* const kXAudio = "X-ZORVIK-AUDIO";
// iCalendar has no empty property value: the fields whose empty text is
// not what a missing property means are listed here instead.
const char* const kXEmpty = "X-ZORVIK-EMPTY";
const QString kEmptyStatus = QStringLiteral("STATUS");
const QString kEmptyImage = QStringLiteral("IMAGE");
const QString kEmptyAudio = QStringLiteral("AUDIO");

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

// --- dates and times of records ------------------------------------------

std::optional<QDate> recordDate(const QString& text, DateOrder order)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const auto v = parseDateTime(text, order);
    if (!v || !v->hasDate || v->hasTime)
        return std::nullopt;
    const QDate d(int(v->date.year()), int(unsigned(v->date.month())), int(unsigned(v->date.day())));
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

std::optional<QTime> recordTime(const QString& text, DateOrder order)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const auto v = parseDateTime(text, order);
    if (!v || !v->hasTime || v->hasDate)
        return std::nullopt;
    const QTime t(v->hour, v->minute, v->second);
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

QString dateText(const QDate& d, DateOrder order)
{
    return d.toString(order == DateOrder::DayFirst ? QStringLiteral("dd/MM/yyyy") : QStringLiteral("MM/dd/yyyy"));
}

QString timeText(const QTime& t)
{
    return t.toString(t.second() == 0 ? QStringLiteral("hh:mm") : QStringLiteral("hh:mm:ss"));
}

icaltimetype icalDate(const QDate& d)
{
    icaltimetype t = icaltime_null_date();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    return t;
}

icaltimetype icalDateTime(const QDate& d, const QTime& time)
{
    icaltimetype t = icaltime_null_time();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    t.hour = time.hour();
    t.minute = time.minute();
    t.second = time.second();
    return t;
}

// --- export --------------------------------------------------------------

void addText(icalcomponent* c, icalproperty* p)
{
    icalcomponent_add_property(c, p);
}

void addX(icalcomponent* c, const char* name, const QString& value)
{
    icalproperty* p = icalproperty_new_x(value.toUtf8().constData());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(c, p);
}

// The key identifiers are made from: dates and times by value, other
// texts as they stand.
QString uidKey(const PlannerRecord& r, DateOrder order)
{
    const auto start = recordDate(r[Field::StartDate], order);
    const auto time = recordTime(r[Field::Time], order);
    return (start ? start->toString(Qt::ISODate) : QLatin1Char('~') + r[Field::StartDate]) + QChar(0x1f)
           + (time ? time->toString(QStringLiteral("HHmmss")) : QLatin1Char('~') + r[Field::Time]) + QChar(0x1f)
           + r[Field::Name];
}

QString uidOf(const QString& key, int occurrence)
{
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(24);
    QString uid = QString::fromLatin1(hash);
    if (occurrence > 1)
        uid += QLatin1Char('-') + QString::number(occurrence);
    return uid + QStringLiteral("@zorvik-planner");
}

ComponentPtr recordComponent(const PlannerRecord& r, DateOrder order, const QString& uid, const icaltimetype& stamp)
{
    const auto start = recordDate(r[Field::StartDate], order);
    const bool done = r[Field::JobStatus] == QLatin1String("1");
    ComponentPtr c(icalcomponent_new(start ? ICAL_VEVENT_COMPONENT : ICAL_VTODO_COMPONENT));
    icalcomponent* e = c.get();
    addText(e, icalproperty_new_uid(uid.toUtf8().constData()));
    addText(e, icalproperty_new_dtstamp(stamp));

    // What an import would read back from the standard properties; the
    // record's own text goes in an X- property wherever it differs.
    QString startBack, timeBack, finishBack;
    if (start) {
        const auto time = recordTime(r[Field::Time], order);
        startBack = dateText(*start, order);
        if (time) {
            addText(e, icalproperty_new_dtstart(icalDateTime(*start, *time)));
            timeBack = timeText(*time);
        } else {
            addText(e, icalproperty_new_dtstart(icalDate(*start)));
        }
        const auto finish = recordDate(r[Field::FinishDate], order);
        if (finish && *finish > *start) {
            // The event lasts to the end of its finish day.
            const QDate end = finish->addDays(1);
            addText(e, icalproperty_new_dtend(time ? icalDateTime(end, QTime(0, 0)) : icalDate(end)));
            finishBack = dateText(*finish, order);
        }
        if (done)
            addText(e, icalproperty_new_categories(kCalendarDoneCategory.toUtf8().constData()));
    } else {
        addText(e, icalproperty_new_status(done ? ICAL_STATUS_COMPLETED : ICAL_STATUS_NEEDSACTION));
    }
    if (!r[Field::Name].isEmpty())
        addText(e, icalproperty_new_summary(r[Field::Name].toUtf8().constData()));
    if (!r[Field::Message].isEmpty())
        addText(e, icalproperty_new_description(r[Field::Message].toUtf8().constData()));

    if (r[Field::StartDate] != startBack)
        addX(e, kXStart, r[Field::StartDate]);
    if (r[Field::Time] != timeBack)
        addX(e, kXTime, r[Field::Time]);
    if (r[Field::FinishDate] != finishBack)
        addX(e, kXFinish, r[Field::FinishDate]);
    QStringList empty;
    const QString& status = r[Field::JobStatus];
    if (status.isEmpty())
        empty << kEmptyStatus;
    else if (status != QLatin1String("0") && status != QLatin1String("1"))
        addX(e, kXStatus, status);
    const std::pair<int, const char*> plain[] = {{Field::PhoneAfterHours, kXPhoneAfterHours},
                                                 {Field::PhoneBusinessHours, kXPhoneBusinessHours},
                                                 {Field::Income, kXIncome},
                                                 {Field::Expense, kXExpense}};
    for (const auto& [field, name] : plain)
        if (!r[field].isEmpty())
            addX(e, name, r[field]);
    const std::tuple<int, const char*, QString> attachments[] = {{Field::ImagePath, kXImage, kEmptyImage},
                                                                 {Field::AudioPath, kXAudio, kEmptyAudio}};
    for (const auto& [field, name, word] : attachments) {
        if (r[field].isEmpty())
            empty << word;
        else if (r[field] != kNoAttachment)
            addX(e, name, r[field]);
    }
    if (!empty.isEmpty())
        addX(e, kXEmpty, empty.join(QLatin1Char(',')));
    return c;
}

void appendString(QByteArray& out, char* text)
{
    out.append(text);
    icalmemory_free_buffer(text);
}

QByteArray calendarHeader()
{
    QByteArray out("BEGIN:VCALENDAR\r\n");
    appendString(out, icalproperty_as_ical_string_r(icalproperty_new_version("2.0")));
    appendString(out, icalproperty_as_ical_string_r(icalproperty_new_prodid("-//Zorvik//Zorvik Planner//EN")));
    return out;
}

// Records first ... last, handed one component text at a time.
template <typename Sink>
void forEachComponentText(const RecordStore& store, DateOrder order, const QDateTime& stamp, int first, int last,
                          Sink sink)
{
    const std::vector<QString> uids = calendarUids(store, order);
    const QDateTime utc = stamp.toUTC();
    icaltimetype stampTime = icalDateTime(utc.date(), utc.time());
    stampTime.zone = icaltimezone_get_utc_timezone();
    if (last < 0 || last > store.recordCount())
        last = store.recordCount();
    for (int i = std::max(first, 1); i <= last; ++i) {
        ComponentPtr c = recordComponent(store.record(i), order, uids[std::size_t(i - 1)], stampTime);
        char* text = icalcomponent_as_ical_string_r(c.get());
        sink(text);
        icalmemory_free_buffer(text);
    }
}

// --- import --------------------------------------------------------------

QString xValue(icalcomponent* c, const char* name, bool* present = nullptr)
{
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
        const char* n = icalproperty_get_x_name(p);
        if (n && qstricmp(n, name) == 0) {
            if (present)
                *present = true;
            const char* v = icalproperty_get_x(p);
            return v ? QString::fromUtf8(v) : QString();
        }
    }
    if (present)
        *present = false;
    return QString();
}

// Imported text from other calendars may run over several lines; a record
// field is one line of the plan file.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

QString textOf(const char* value)
{
    return value ? oneLine(QString::fromUtf8(value)) : QString();
}

bool hasDoneCategory(icalcomponent* c)
{
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_CATEGORIES_PROPERTY)) {
        const QStringList words = QString::fromUtf8(icalproperty_get_categories(p)).split(QLatin1Char(','));
        for (const QString& w : words)
            if (w.trimmed().compare(kCalendarDoneCategory, Qt::CaseInsensitive) == 0)
                return true;
    }
    return false;
}

// A moment of the calendar in the plan's terms: a day, with a time of day
// unless it is a whole day.
struct LocalMoment {
    QDate date;
    std::optional<QTime> time;
};

// Times with a zone (UTC or a TZID) become local times; floating times
// and dates stand as they are.
std::optional<LocalMoment> localMoment(icaltimetype t, icalproperty* property, const QTimeZone& local)
{
    if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t))
        return std::nullopt;
    const QDate date(t.year, t.month, t.day);
    if (!date.isValid())
        return std::nullopt;
    if (t.is_date)
        return LocalMoment{date, std::nullopt};
    const QTime time(t.hour, t.minute, t.second);
    if (!time.isValid())
        return std::nullopt;
    if (icaltime_is_utc(t) || t.zone) {
        const icaltimezone* zone = icaltime_is_utc(t) ? icaltimezone_get_utc_timezone() : t.zone;
        const time_t seconds = icaltime_as_timet_with_zone(t, zone);
        const QDateTime there = QDateTime::fromSecsSinceEpoch(qint64(seconds), local);
        return LocalMoment{there.date(), there.time()};
    }
    // A TZID libical does not know (no VTIMEZONE in the file): the zone
    // database may still have it.
    icalparameter* tzid = property ? icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER) : nullptr;
    if (tzid) {
        const QTimeZone zone(QByteArray(icalparameter_get_tzid(tzid)));
        if (zone.isValid()) {
            const QDateTime there = QDateTime(date, time, zone).toTimeZone(local);
            return LocalMoment{there.date(), there.time()};
        }
    }
    return LocalMoment{date, time};
}

// The day an end stands for: an exclusive end at midnight belongs to the
// day before.
QDate finishDay(const LocalMoment& end)
{
    if (!end.time || *end.time == QTime(0, 0))
        return end.date.addDays(-1);
    return end.date;
}

// One occurrence of an entry: where it starts and ends.
struct Occurrence {
    std::optional<LocalMoment> start;
    std::optional<LocalMoment> end;
};

PlannerRecord recordOf(icalcomponent* c, const Occurrence& when, DateOrder order)
{
    PlannerRecord r = PlannerRecord::fromList({});
    const bool isTodo = icalcomponent_isa(c) == ICAL_VTODO_COMPONENT;
    bool has = false;

    // Start date and time: the calendar's values, unless the record's own
    // text (carried in an X- property) still says the same.
    const QString xStart = xValue(c, kXStart, &has);
    const bool hasXStart = has;
    if (when.start) {
        r[Field::StartDate] = hasXStart && recordDate(xStart, order) == when.start->date ? xStart
                                                                                          : dateText(when.start->date, order);
    } else {
        r[Field::StartDate] = xStart;
    }
    const QString xTime = xValue(c, kXTime, &has);
    if (when.start && when.start->time)
        r[Field::Time] = has && recordTime(xTime, order) == when.start->time ? xTime : timeText(*when.start->time);
    else if (!when.start || !recordTime(xTime, order))
        r[Field::Time] = xTime;

    const QString xFinish = xValue(c, kXFinish, &has);
    std::optional<QDate> finish;
    if (when.start && when.end) {
        const QDate day = finishDay(*when.end);
        if (day > when.start->date)
            finish = day;
    }
    if (finish) {
        r[Field::FinishDate] = has && recordDate(xFinish, order) == finish ? xFinish : dateText(*finish, order);
    } else {
        const auto xDate = recordDate(xFinish, order);
        const bool wouldEnd = when.start && xDate && *xDate > when.start->date;
        if (!wouldEnd)
            r[Field::FinishDate] = xFinish;
    }

    const QStringList empty = xValue(c, kXEmpty).split(QLatin1Char(','), Qt::SkipEmptyParts);
    const bool done = isTodo ? icalcomponent_get_status(c) == ICAL_STATUS_COMPLETED : hasDoneCategory(c);
    const QString xStatus = xValue(c, kXStatus, &has);
    if (has && (xStatus == QLatin1String("1")) == done)
        r[Field::JobStatus] = xStatus;
    else if (!done && empty.contains(kEmptyStatus))
        r[Field::JobStatus] = QString();
    else
        r[Field::JobStatus] = done ? QStringLiteral("1") : QStringLiteral("0");

    r[Field::Name] = textOf(icalcomponent_get_summary(c));
    r[Field::Message] = textOf(icalcomponent_get_description(c));
    r[Field::PhoneAfterHours] = oneLine(xValue(c, kXPhoneAfterHours));
    r[Field::PhoneBusinessHours] = oneLine(xValue(c, kXPhoneBusinessHours));
    r[Field::Income] = oneLine(xValue(c, kXIncome));
    r[Field::Expense] = oneLine(xValue(c, kXExpense));
    const std::tuple<int, const char*, QString> attachments[] = {{Field::ImagePath, kXImage, kEmptyImage},
                                                                 {Field::AudioPath, kXAudio, kEmptyAudio}};
    for (const auto& [field, name, word] : attachments) {
        const QString x = oneLine(xValue(c, name, &has));
        r[field] = has ? x : empty.contains(word) ? QString() : kNoAttachment;
    }
    for (QString* f : {&r[Field::StartDate], &r[Field::Time], &r[Field::FinishDate], &r[Field::JobStatus]})
        *f = oneLine(*f);
    return r;
}

QString recordIdentity(const PlannerRecord& r)
{
    QString key;
    for (int f = 1; f <= Field::Count; ++f)
        key += r[f] + QChar(0x1f);
    return key;
}

bool isErrorOfType(icalproperty* p, icalparameter_xlicerrortype type)
{
    icalparameter* t = icalproperty_get_first_parameter(p, ICAL_XLICERRORTYPE_PARAMETER);
    return t && icalparameter_get_xlicerrortype(t) == type;
}

// The first error that makes the file unreadable as a whole: a line that
// is neither a property nor a component boundary.
std::optional<QString> structuralError(icalcomponent* c)
{
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
        if (isErrorOfType(p, ICAL_XLICERRORTYPE_COMPONENTPARSEERROR))
            return QString::fromUtf8(icalproperty_get_xlicerror(p));
    }
    for (icalcomponent* k = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); k;
         k = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT)) {
        if (auto e = structuralError(k))
            return e;
    }
    return std::nullopt;
}

// Whether the property that holds a component's start was dropped as
// unreadable.
bool hasBadTime(icalcomponent* c)
{
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
        const QString text = QString::fromUtf8(icalproperty_get_xlicerror(p));
        for (const char* name : {"DTSTART", "DTEND", "DUE", "RRULE", "RECURRENCE-ID"})
            if (text.contains(QLatin1String(name)))
                return true;
    }
    return false;
}

struct Entries {
    std::vector<std::pair<icalcomponent*, Occurrence>> occurrences;
    int notUnderstood = 0;
};

// The day of a recurrence identifier, to match an override with the
// occurrence it replaces.
QString occurrenceKey(const char* uid, icaltimetype t)
{
    return QString::fromUtf8(uid ? uid : "") + QLatin1Char('|') + QString::fromLatin1(icaltime_as_ical_string(t));
}

void expand(icalcomponent* c, const CalendarImportOptions& options, const std::set<QString>& overridden,
            Entries& out)
{
    icalproperty* startProperty = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
    const icaltimetype start = icalcomponent_get_dtstart(c);
    icalproperty* endProperty = icalcomponent_get_first_property(c, ICAL_DTEND_PROPERTY);
    const icaltimetype end = endProperty ? icalcomponent_get_dtend(c) : icaltime_null_time();
    icalproperty* rrule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY);
    if (!rrule) {
        out.occurrences.push_back({c, {localMoment(start, startProperty, options.localZone),
                                       endProperty ? localMoment(end, endProperty, options.localZone) : std::nullopt}});
        return;
    }
    // Recurring: every occurrence that starts within the span becomes an
    // entry of its own, lasting as long as the first.
    const icaldurationtype length =
        endProperty ? icaltime_subtract(end, start) : icaldurationtype_null_duration();
    std::set<QString> excluded;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_EXDATE_PROPERTY)) {
        icaltimetype x = icalproperty_get_exdate(p);
        excluded.insert(QString::fromLatin1(icaltime_as_ical_string(x)).left(8));
    }
    const QDate spanStart = options.today;
    const QDate spanEnd = options.today.addMonths(options.recurrenceMonths);
    const char* uid = icalcomponent_get_uid(c);
    icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(rrule), start);
    if (!it) {
        ++out.notUnderstood;
        return;
    }
    // A rule without an end is stopped by the span; the cap only guards
    // against a rule that never gets there.
    for (int step = 0; step < 1000000; ++step) {
        icaltimetype t = icalrecur_iterator_next(it);
        if (icaltime_is_null_time(t))
            break;
        t.zone = start.zone;
        const auto moment = localMoment(t, startProperty, options.localZone);
        if (!moment || moment->date >= spanEnd)
            break;
        if (moment->date < spanStart)
            continue;
        if (excluded.count(QString::fromLatin1(icaltime_as_ical_string(t)).left(8))
            || overridden.count(occurrenceKey(uid, t)))
            continue;
        std::optional<LocalMoment> endMoment;
        if (endProperty) {
            icaltimetype e = icaltime_add(t, length);
            e.zone = end.zone ? end.zone : t.zone;
            endMoment = localMoment(e, endProperty, options.localZone);
        }
        out.occurrences.push_back({c, {moment, endMoment}});
    }
    icalrecur_iterator_free(it);
}

Entries collectEntries(icalcomponent* calendar, const CalendarImportOptions& options)
{
    Entries out;
    std::set<QString> overridden;
    for (icalcomponent* k = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); k;
         k = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        if (icalcomponent_get_first_property(k, ICAL_RECURRENCEID_PROPERTY))
            overridden.insert(occurrenceKey(icalcomponent_get_uid(k), icalcomponent_get_recurrenceid(k)));
    }
    for (icalcomponent* k = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); k;
         k = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(k);
        if (kind == ICAL_VTIMEZONE_COMPONENT)
            continue;
        if (kind == ICAL_VTODO_COMPONENT) {
            if (hasBadTime(k)) {
                ++out.notUnderstood;
                continue;
            }
            icalproperty* startProperty = icalcomponent_get_first_property(k, ICAL_DTSTART_PROPERTY);
            icalproperty* dueProperty = icalcomponent_get_first_property(k, ICAL_DUE_PROPERTY);
            Occurrence when;
            // A to-do's day is its start, else the day it is due.
            if (startProperty)
                when.start = localMoment(icalcomponent_get_dtstart(k), startProperty, options.localZone);
            else if (dueProperty)
                when.start = localMoment(icalcomponent_get_due(k), dueProperty, options.localZone);
            if (startProperty && dueProperty)
                when.end = localMoment(icalcomponent_get_due(k), dueProperty, options.localZone);
            out.occurrences.push_back({k, when});
        } else if (kind == ICAL_VEVENT_COMPONENT) {
            if (hasBadTime(k) || !icalcomponent_get_first_property(k, ICAL_DTSTART_PROPERTY)) {
                ++out.notUnderstood;
                continue;
            }
            expand(k, options, overridden, out);
        } else {
            ++out.notUnderstood; // journals, free/busy, anything else
        }
    }
    return out;
}

} // namespace

// --- export --------------------------------------------------------------

std::vector<QString> calendarUids(const RecordStore& store, DateOrder order)
{
    std::vector<QString> uids;
    uids.reserve(std::size_t(store.recordCount()));
    QHash<QString, int> seen;
    for (int i = 1; i <= store.recordCount(); ++i) {
        const QString key = uidKey(store.record(i), order);
        uids.push_back(uidOf(key, ++seen[key]));
    }
    return uids;
}

QByteArray calendarText(const RecordStore& store, DateOrder order, const QDateTime& stamp, int first, int last)
{
    QByteArray out = calendarHeader();
    out.reserve(store.recordCount() * 512);
    forEachComponentText(store, order, stamp, first, last, [&out](const char* text) { out.append(text); });
    out.append("END:VCALENDAR\r\n");
    return out;
}

bool writeCalendar(QIODevice& device, const RecordStore& store, DateOrder order, const QDateTime& stamp, int first,
                   int last)
{
    bool ok = device.write(calendarHeader()) >= 0;
    QByteArray chunk;
    forEachComponentText(store, order, stamp, first, last, [&](const char* text) {
        chunk.append(text);
        if (chunk.size() > (1 << 16)) {
            ok = ok && device.write(chunk) == chunk.size();
            chunk.clear();
        }
    });
    chunk.append("END:VCALENDAR\r\n");
    ok = ok && device.write(chunk) == chunk.size();
    return ok;
}

// --- import --------------------------------------------------------------

CalendarImport readCalendar(const QByteArray& bytes, const RecordStore& store, const CalendarImportOptions& options)
{
    CalendarImport result;
    QByteArray text = bytes;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    if (!QUtf8StringView(text).isValidUtf8()) {
        result.error = QStringLiteral("The file is not UTF-8 text, as calendar files are.");
        return result;
    }
    if (text.contains('\0')) {
        result.error = QStringLiteral("The file is not a text file.");
        return result;
    }
    ComponentPtr root(icalparser_parse_string(text.constData()));
    const auto incomplete = QStringLiteral(
        "The file holds no complete calendar: it must begin with BEGIN:VCALENDAR and end with END:VCALENDAR.");
    if (!root) {
        result.error = incomplete;
        return result;
    }
    std::vector<icalcomponent*> calendars;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root.get());
    } else if (icalcomponent_isa(root.get()) == ICAL_XROOT_COMPONENT) {
        for (icalcomponent* k = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); k;
             k = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
            calendars.push_back(k);
    }
    if (calendars.empty()) {
        result.error = incomplete;
        return result;
    }
    if (const auto error = structuralError(root.get())) {
        result.error = QStringLiteral("The file is damaged: %1").arg(error->trimmed());
        return result;
    }

    const DateOrder order = options.order;
    std::set<QString> knownUids;
    for (const QString& uid : calendarUids(store, order))
        knownUids.insert(uid);
    QSet<QString> known;
    for (int i = 1; i <= store.recordCount(); ++i)
        known.insert(recordIdentity(store.record(i)));

    std::vector<std::pair<double, PlannerRecord>> added;
    for (icalcomponent* calendar : calendars) {
        Entries entries = collectEntries(calendar, options);
        result.notUnderstood += entries.notUnderstood;
        for (const auto& [component, when] : entries.occurrences) {
            if (icalcomponent_isa(component) == ICAL_VEVENT_COMPONENT && !when.start) {
                ++result.notUnderstood;
                continue;
            }
            const char* uid = icalcomponent_get_uid(component);
            PlannerRecord r = recordOf(component, when, order);
            const QString identity = recordIdentity(r);
            if ((uid && knownUids.count(QString::fromUtf8(uid))) || known.contains(identity)) {
                ++result.skipped;
                continue;
            }
            known.insert(identity);
            added.emplace_back(sortKey(r[Field::StartDate], r[Field::Time], order), std::move(r));
        }
    }
    std::stable_sort(added.begin(), added.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    result.records.reserve(added.size());
    for (auto& a : added)
        result.records.push_back(std::move(a.second));
    result.readable = true;
    return result;
}

CalendarImport readCalendarFile(const QString& path, const RecordStore& store, const CalendarImportOptions& options)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        CalendarImport result;
        result.error = QStringLiteral("The file could not be opened: %1").arg(file.errorString());
        return result;
    }
    return readCalendar(file.readAll(), store, options);
}

int roomForRecords(const RecordStore& store, int wanted)
{
    return std::clamp(RecordStore::kMaxRecords - store.recordCount(), 0, wanted);
}

int addImportedRecords(RecordStore& store, const std::vector<PlannerRecord>& records, int count)
{
    int added = 0;
    for (int i = 0; i < count && i < int(records.size()); ++i) {
        const PlannerRecord& r = records[std::size_t(i)];
        // A plan kept in the user's own order (project planning) has no
        // date position to offer: the record goes at the end.
        if (store.insertInDateOrder(r) || store.insertRecordAt(store.recordCount() + 1, r))
            ++added;
        else
            break;
    }
    if (added > 0)
        store.modified = true;
    return added;
}

QString calendarImportSummary(int added, int skipped, int notUnderstood)
{
    return QStringLiteral("Records added: %1\nSkipped, already in the plan: %2\nNot understood: %3")
        .arg(added)
        .arg(skipped)
        .arg(notUnderstood);
}

QString calendarImportLimitQuestion(int wanted, int fitting)
{
    return QStringLiteral("The calendar has %1 new records, but the plan has room for only %2 more "
                          "(a plan holds at most %3 records).\nAdd the %2 records that fit?")
        .arg(wanted)
        .arg(fitting)
        .arg(RecordStore::kMaxRecords);
}

} // namespace zp
