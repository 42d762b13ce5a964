// Reading calendars: the text is walked line by line here, with an explicit
// stack of open components, and libical is handed one entry (VEVENT,
// VTODO, VTIMEZONE ...) at a time, freed after use. So nesting costs no
// stack, a damaged or too deeply nested file is refused before libical
// sees any of it, and the memory a read takes stays near the file's size.
// Time zones come from the system's zone database by name; a file's own
// VTIMEZONE is used only for a name the database does not know. Repeating
// entries are expanded by CalendarRecurrence, within a budget of steps for
// the whole file.

#include "plan/Calendar.h"

#include "plan/CalendarFields.h"
#include "plan/CalendarRecurrence.h"
#include "plan/DateText.h"
#include "plan/WriteTarget.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <libical/ical.h>

#include <algorithm>
#include <limits>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

namespace zp {

namespace {

using namespace calendar;

constexpr int kMaxDepth = 64;
// Julian day of 1 January 1970, for seconds since the epoch.
constexpr qint64 kEpochDay = 2440588;
// Steps a file's expansions may take: enough for any honest calendar, few
// enough that a file of a few KB is read in well under a second.
constexpr qint64 kBaseSteps = 10'000'000;
constexpr qint64 kStepsPerByte = 16;
constexpr qint64 kStepsPerRule = 1'000'000;

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

// --- the walk over the lines ---------------------------------------------

// One entry of a calendar: the bytes from its BEGIN line to its END line.
struct Slice {
    qsizetype begin = 0;
    qsizetype end = 0;
    icalcomponent_kind kind = ICAL_NO_COMPONENT;
    bool hasRecurrenceId = false;
};

struct Walk {
    std::vector<Slice> slices;
    QString error;
    bool cancelled = false;
};

bool isNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

// One content line, continuation lines unfolded into its start.
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;       // just after its last line break
    qint64 physical = 0;     // how many lines of the file it takes
    std::string head;        // its unfolded start: name and a short value
    bool colon = false;      // whether it has a ':' anywhere
    std::size_t nameEnd = 0;
    bool wellFormed = false; // a name, then ';' or ':', and a ':'
    QByteArray name;         // upper case

    bool is(const char* n) const { return wellFormed && name == n; }
    // The value of a BEGIN or END line, upper case.
    QByteArray component() const
    {
        const std::size_t valueAt = head.find(':', nameEnd) + 1;
        return QByteArray(head.data() + valueAt, qsizetype(head.size() - valueAt)).trimmed().toUpper();
    }
    bool blank() const { return head.find_first_not_of(" \t\r") == std::string::npos; }
};

// Reads the line at `pos` of [0, size) into `line`; false at the end.
bool nextLine(const char* data, qsizetype size, qsizetype& pos, Line& line)
{
    if (pos >= size)
        return false;
    line.begin = pos;
    line.physical = 1;
    line.head.clear();
    line.colon = false;
    qsizetype at = pos;
    for (;;) {
        const void* nl = std::memchr(data + at, '\n', std::size_t(size - at));
        const qsizetype physicalEnd = nl ? static_cast<const char*>(nl) - data : size;
        qsizetype contentEnd = physicalEnd;
        if (contentEnd > at && data[contentEnd - 1] == '\r')
            --contentEnd;
        if (!line.colon && std::memchr(data + at, ':', std::size_t(contentEnd - at)))
            line.colon = true;
        if (line.head.size() < 256)
            line.head.append(data + at, std::size_t(std::min<qsizetype>(contentEnd - at, 256)));
        if (!nl) {
            pos = size;
            break;
        }
        at = physicalEnd + 1;
        if (at < size && (data[at] == ' ' || data[at] == '\t')) {
            ++at; // the fold's blank is not part of the line
            ++line.physical;
            continue;
        }
        pos = at;
        break;
    }
    line.end = pos;
    line.nameEnd = 0;
    while (line.nameEnd < line.head.size() && isNameChar(line.head[line.nameEnd]))
        ++line.nameEnd;
    line.wellFormed = line.nameEnd > 0 && line.colon && line.nameEnd < line.head.size()
                      && (line.head[line.nameEnd] == ':' || line.head[line.nameEnd] == ';');
    line.name = QByteArray(line.head.data(), qsizetype(line.nameEnd)).toUpper();
    return true;
}

// Walks the content lines and checks that components nest properly, no
// deeper than kMaxDepth.
Walk walkLines(QByteArrayView text, StepBudget& budget)
{
    Walk walk;
    const char* data = text.data();
    const qsizetype size = text.size();
    std::vector<QByteArray> open;
    int calendars = 0;
    bool inCalendar = false; // the outermost open component is a VCALENDAR
    Slice slice;
    qsizetype pos = 0;
    qint64 lineNumber = 0;
    int sinceReport = 0;
    Line line;
    while (nextLine(data, size, pos, line)) {
        const qint64 firstLine = lineNumber + 1;
        lineNumber += line.physical;
        if (++sinceReport == 4096) {
            sinceReport = 0;
            budget.setDone(pos);
            if (!budget.report()) {
                walk.cancelled = true;
                return walk;
            }
        }
        if (line.blank())
            continue;
        const bool begins = line.is("BEGIN");
        const bool ends = line.is("END");
        if (open.empty() && !begins) {
            // Outside every component: whatever it is, no calendar reads it.
            if (ends) {
                walk.error = QStringLiteral("The file is damaged: line %1 ends a component that was never begun.")
                                 .arg(firstLine);
                return walk;
            }
            continue;
        }
        if (!line.wellFormed) {
            walk.error = QStringLiteral(
                             "The file is damaged: line %1 is neither a property nor the start or end of a component.")
                             .arg(firstLine);
            return walk;
        }
        if (!begins && !ends) {
            if (inCalendar && open.size() == 2 && line.name == "RECURRENCE-ID")
                slice.hasRecurrenceId = true;
            continue;
        }
        const QByteArray value = line.component();
        if (value.isEmpty()) {
            walk.error = QStringLiteral("The file is damaged: line %1 begins or ends a component without a name.")
                             .arg(firstLine);
            return walk;
        }
        if (begins) {
            if (open.size() >= std::size_t(kMaxDepth)) {
                walk.error = QStringLiteral("The file is nested too deeply to be a calendar (more than %1 levels).")
                                 .arg(kMaxDepth);
                return walk;
            }
            open.push_back(value);
            if (open.size() == 1)
                inCalendar = value == "VCALENDAR";
            if (inCalendar && open.size() == 2)
                slice = Slice{line.begin, 0, icalcomponent_string_to_kind(value.constData()), false};
            continue;
        }
        if (open.back() != value) {
            walk.error = QStringLiteral("The file is damaged: line %1 ends %2, but the component open there is %3.")
                             .arg(firstLine)
                             .arg(QString::fromUtf8(value), QString::fromUtf8(open.back()));
            return walk;
        }
        open.pop_back();
        if (inCalendar && open.size() == 1) {
            slice.end = pos;
            walk.slices.push_back(slice);
        } else if (inCalendar && open.empty()) {
            ++calendars;
        }
    }
    if (!open.empty() || calendars == 0)
        walk.error = QStringLiteral(
            "The file holds no complete calendar: it must begin with BEGIN:VCALENDAR and end with END:VCALENDAR.");
    return walk;
}

// The most lines of one entry handed to libical, whose objects take some
// ten times the text: an entry with more is not understood.
constexpr int kMaxEntryLines = 20000;

// Whether a line of an entry, `depth` components deep in it, is one the
// reader uses. The rest (alarms, attendees, attachments ...) is left out
// before libical parses the entry.
bool isUsed(const Line& line, icalcomponent_kind kind, std::size_t depth)
{
    static const char* const entry[] = {"UID",   "DTSTART", "DTEND",         "DUE",     "RRULE",       "RDATE",
                                        "EXDATE", "RECURRENCE-ID", "SUMMARY", "DESCRIPTION", "STATUS", "CATEGORIES"};
    static const char* const zone[] = {"BEGIN", "END", "TZID", "DTSTART", "TZOFFSETFROM", "TZOFFSETTO", "RRULE", "RDATE"};
    const auto named = [&](const auto& names) {
        return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return line.name == n; });
    };
    if (kind == ICAL_VTIMEZONE_COMPONENT)
        return depth <= 2 && named(zone);
    return depth <= 1 && (line.name.startsWith("X-ZORVIK-") || named(entry));
}

// libical's reading of one entry, of the lines the reader uses; none for an
// entry too large.
ComponentPtr parseSlice(QByteArrayView text, const Slice& slice)
{
    std::string bytes;
    const char* data = text.data();
    qsizetype pos = slice.begin;
    Line line;
    std::size_t depth = 0; // of the components open in the entry, itself included
    int kept = 0;
    while (nextLine(data, slice.end, pos, line)) {
        const bool begins = line.is("BEGIN");
        const bool ends = line.is("END");
        if (begins)
            ++depth;
        const bool keep = (depth <= 1 && (begins || ends)) || isUsed(line, slice.kind, depth);
        if (ends && depth > 0)
            --depth;
        if (!keep)
            continue;
        if (++kept > kMaxEntryLines)
            return nullptr;
        bytes.append(data + line.begin, std::size_t(line.end - line.begin));
    }
    return ComponentPtr(icalparser_parse_string(bytes.c_str()));
}

// --- time zones ----------------------------------------------------------

// One STANDARD or DAYLIGHT part of a file's VTIMEZONE.
struct Observance {
    qint64 onset = 0; // DTSTART, wall time before the change
    int offsetFrom = 0;
    int offsetTo = 0;
    std::optional<icalrecurrencetype> rule;
    qint64 until = kNever;
    std::vector<qint64> dates; // RDATEs
};

struct FileZone {
    std::vector<Observance> observances;
    bool usable = false;
};

struct Zone {
    enum Kind { Floating, Utc, System, File, Unusable } kind = Floating;
    QTimeZone system;
    const FileZone* file = nullptr;
};

// A time of a calendar entry: wall time in its zone.
struct TimeValue {
    qint64 wall = 0;
    bool isDate = false;
    const Zone* zone = nullptr;
};

std::optional<qint64> wallOf(const icaltimetype& t)
{
    if (icaltime_is_null_time(t))
        return std::nullopt;
    const QDate date(t.year, t.month, t.day);
    if (!date.isValid() || date.year() < 1)
        return std::nullopt;
    if (t.is_date)
        return wallSeconds(date.toJulianDay(), 0);
    if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 60)
        return std::nullopt;
    return wallSeconds(date.toJulianDay(), t.hour * 3600 + t.minute * 60 + std::min(t.second, 59));
}

class Zones {
public:
    Zones(QByteArrayView text, const std::vector<Slice>& slices, StepBudget& budget) : text_(text), budget_(budget)
    {
        utc_.kind = Zone::Utc;
        floating_.kind = Zone::Floating;
        for (std::size_t i = 0; i < slices.size(); ++i)
            if (slices[i].kind == ICAL_VTIMEZONE_COMPONENT)
                timezoneSlices_.push_back(&slices[i]);
    }

    const Zone* utc() const { return &utc_; }
    const Zone* floating() const { return &floating_; }

    const Zone* byName(const QByteArray& tzid)
    {
        auto it = zones_.find(tzid);
        if (it != zones_.end())
            return it->second.get();
        auto zone = std::make_unique<Zone>();
        budget_.spend(64);
        if (const auto system = systemZone(tzid)) {
            zone->kind = Zone::System;
            zone->system = *system;
        } else if (const FileZone* file = fileZone(tzid)) {
            zone->kind = file->usable ? Zone::File : Zone::Unusable;
            zone->file = file;
        }
        return zones_.emplace(tzid, std::move(zone)).first->second.get();
    }

    // Seconds since the epoch of a wall time in a zone; none for a zone that
    // cannot be worked out. Floating times count as UTC.
    std::optional<qint64> toUtc(const Zone& zone, qint64 wall)
    {
        const qint64 epochWall = wall - kEpochDay * kDaySeconds;
        switch (zone.kind) {
        case Zone::Floating:
        case Zone::Utc:
            return epochWall;
        case Zone::System: {
            const qint64 day = calendar::kDaySeconds;
            const qint64 julian = wall >= 0 ? wall / day : -((-wall + day - 1) / day);
            const QDateTime there(QDate::fromJulianDay(julian), QTime::fromMSecsSinceStartOfDay(int(wall - julian * day) * 1000),
                                  zone.system);
            if (!there.isValid())
                return std::nullopt;
            return there.toSecsSinceEpoch();
        }
        case Zone::File:
            if (const auto offset = offsetAt(*zone.file, wall))
                return epochWall - *offset;
            return std::nullopt;
        case Zone::Unusable:
            break;
        }
        return std::nullopt;
    }

    // The wall time in `zone` of a moment, near enough for a rule's UNTIL.
    std::optional<qint64> fromUtc(const Zone& zone, qint64 seconds)
    {
        const qint64 wall = seconds + kEpochDay * kDaySeconds;
        switch (zone.kind) {
        case Zone::Floating:
        case Zone::Utc:
            return wall;
        case Zone::System: {
            const QDateTime there = QDateTime::fromSecsSinceEpoch(seconds, zone.system);
            return wallSeconds(there.date().toJulianDay(), there.time().msecsSinceStartOfDay() / 1000);
        }
        case Zone::File:
            if (const auto offset = offsetAt(*zone.file, wall))
                return wall + *offset;
            return std::nullopt;
        case Zone::Unusable:
            break;
        }
        return std::nullopt;
    }

    bool cancelled() const { return budget_.cancelled(); }

private:
    static std::optional<QTimeZone> systemZone(const QByteArray& tzid)
    {
        // Names such as /freeassociation.sourceforge.net/Europe/Berlin end
        // in the zone database's name.
        QByteArray name = tzid.trimmed();
        for (;;) {
            if (!name.isEmpty() && name.size() < 64 && QTimeZone::isTimeZoneIdAvailable(name))
                return QTimeZone(name);
            const qsizetype slash = name.indexOf('/');
            if (slash < 0)
                break;
            name = name.mid(slash + 1);
        }
        const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(tzid.trimmed());
        if (!iana.isEmpty() && QTimeZone::isTimeZoneIdAvailable(iana))
            return QTimeZone(iana);
        return std::nullopt;
    }

    const FileZone* fileZone(const QByteArray& tzid)
    {
        if (!timezonesRead_) {
            // Which TZID each VTIMEZONE defines; the rest of it is read when used.
            timezonesRead_ = true;
            for (const Slice* slice : timezoneSlices_) {
                if (!budget_.spend(1 + (slice->end - slice->begin) / 64))
                    break;
                ComponentPtr c = parseSlice(text_, *slice);
                icalproperty* p = c ? icalcomponent_get_first_property(c.get(), ICAL_TZID_PROPERTY) : nullptr;
                const char* id = p ? icalproperty_get_tzid(p) : nullptr;
                if (id && !timezoneByName_.contains(QByteArray(id)))
                    timezoneByName_.insert(QByteArray(id), slice);
            }
        }
        const Slice* slice = timezoneByName_.value(tzid);
        if (!slice)
            return nullptr;
        auto file = std::make_unique<FileZone>();
        ComponentPtr c = parseSlice(text_, *slice);
        file->usable = c != nullptr;
        for (icalcomponent* part = c ? icalcomponent_get_first_component(c.get(), ICAL_ANY_COMPONENT) : nullptr;
             part && file->usable; part = icalcomponent_get_next_component(c.get(), ICAL_ANY_COMPONENT)) {
            const icalcomponent_kind kind = icalcomponent_isa(part);
            if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT)
                continue;
            Observance o;
            icalproperty* start = icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY);
            icalproperty* from = icalcomponent_get_first_property(part, ICAL_TZOFFSETFROM_PROPERTY);
            icalproperty* to = icalcomponent_get_first_property(part, ICAL_TZOFFSETTO_PROPERTY);
            const auto onset = start ? wallOf(icalproperty_get_dtstart(start)) : std::nullopt;
            if (!onset || !from || !to) {
                file->usable = false;
                break;
            }
            o.onset = *onset;
            o.offsetFrom = icalproperty_get_tzoffsetfrom(from);
            o.offsetTo = icalproperty_get_tzoffsetto(to);
            if (std::abs(o.offsetFrom) >= kDaySeconds || std::abs(o.offsetTo) >= kDaySeconds) {
                file->usable = false;
                break;
            }
            if (icalproperty* rrule = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY)) {
                o.rule = icalproperty_get_rrule(rrule);
                // Zones change their offsets once or twice a year; any
                // other rule is not a time zone's.
                if (o.rule->freq != ICAL_YEARLY_RECURRENCE) {
                    file->usable = false;
                    break;
                }
                if (!icaltime_is_null_time(o.rule->until)) {
                    const auto until = wallOf(o.rule->until);
                    o.until = until ? *until + (icaltime_is_utc(o.rule->until) ? o.offsetFrom : 0) : kNever;
                }
            }
            for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RDATE_PROPERTY); p;
                 p = icalcomponent_get_next_property(part, ICAL_RDATE_PROPERTY)) {
                if (!budget_.spend())
                    break;
                if (const auto date = wallOf(icalproperty_get_rdate(p).time))
                    o.dates.push_back(*date);
            }
            file->observances.push_back(std::move(o));
        }
        if (file->observances.empty())
            file->usable = false;
        fileZones_.push_back(std::move(file));
        return fileZones_.back().get();
    }

    // The offset from UTC at a wall time: that of the latest change at or
    // before it.
    std::optional<int> offsetAt(const FileZone& zone, qint64 wall)
    {
        auto cached = offsets_.find({&zone, wall / 3600});
        if (cached != offsets_.end())
            return cached->second;
        qint64 latest = std::numeric_limits<qint64>::min();
        int offset = 0;
        const Observance* earliest = nullptr;
        bool understood = true;
        for (const Observance& o : zone.observances) {
            if (!earliest || o.onset < earliest->onset)
                earliest = &o;
            auto consider = [&](qint64 onset) {
                if (onset <= wall && onset > latest) {
                    latest = onset;
                    offset = o.offsetTo;
                }
                return true;
            };
            consider(o.onset);
            for (qint64 d : o.dates)
                consider(d);
            if (o.rule && o.onset < wall) {
                const std::function<bool(qint64)> give = consider;
                const Expansion e = expandRule(*o.rule, o.onset, false, o.until, wall - 400 * kDaySeconds, wall + 1,
                                               budget_, kStepsPerRule, give);
                if (e != Expansion::Done)
                    understood = false;
            }
        }
        std::optional<int> result;
        if (understood)
            result = latest == std::numeric_limits<qint64>::min() ? earliest->offsetFrom : offset;
        if (offsets_.size() < 100000)
            offsets_.emplace(std::make_pair(&zone, wall / 3600), result);
        return result;
    }

    QByteArrayView text_;
    StepBudget& budget_;
    Zone utc_, floating_;
    std::vector<const Slice*> timezoneSlices_;
    bool timezonesRead_ = false;
    QHash<QByteArray, const Slice*> timezoneByName_;
    std::vector<std::unique_ptr<FileZone>> fileZones_;
    std::map<QByteArray, std::unique_ptr<Zone>> zones_;
    std::map<std::pair<const FileZone*, qint64>, std::optional<int>> offsets_;
};

// --- entries to records --------------------------------------------------

// The value of an X- property, %XX escapes undone where it says so.
QString xValueOf(icalproperty* p)
{
    const char* v = icalproperty_get_x(p);
    const QString value = v ? QString::fromUtf8(v) : QString();
    for (icalparameter* q = icalproperty_get_first_parameter(p, ICAL_X_PARAMETER); q;
         q = icalproperty_get_next_parameter(p, ICAL_X_PARAMETER)) {
        const char* qn = icalparameter_get_xname(q);
        const char* qv = icalparameter_get_xvalue(q);
        if (qn && qv && qstricmp(qn, kXEncoding) == 0 && qstricmp(qv, kPercent) == 0)
            return unescapedText(value);
    }
    return value;
}

// A record field is one line of the plan file.
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

// What an entry says besides its times, read once however many
// occurrences it has.
struct EntryTexts {
    bool isTodo = false;
    bool done = false;
    std::optional<QString> uid;
    // The X- properties by their index in kXNames; none where missing.
    std::array<std::optional<QString>, 13> x;
    QString summary, description;
};

const char* const kXNames[] = {kXStart,  kXTime,   kXFinish, kXStatus, kXName,  kXMessage, kXPhoneAfterHours,
                               kXPhoneBusinessHours, kXIncome, kXExpense, kXImage, kXAudio, kXEmpty};
enum XIndex { XStart, XTime, XFinish, XStatus, XName, XMessage, XPhoneAfterHours, XPhoneBusinessHours, XIncome,
              XExpense, XImage, XAudio, XEmpty };

EntryTexts textsOf(icalcomponent* c)
{
    EntryTexts t;
    t.isTodo = icalcomponent_isa(c) == ICAL_VTODO_COMPONENT;
    t.done = t.isTodo ? icalcomponent_get_status(c) == ICAL_STATUS_COMPLETED : hasDoneCategory(c);
    if (const char* uid = icalcomponent_get_uid(c))
        t.uid = QString::fromUtf8(uid);
    t.summary = textOf(icalcomponent_get_summary(c));
    t.description = textOf(icalcomponent_get_description(c));
    // One walk over the X- properties; the first of each name counts, but
    // for the empty fields, which may come one a line.
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
        const char* n = icalproperty_get_x_name(p);
        if (!n || qstrnicmp(n, "X-ZORVIK-", 9) != 0)
            continue;
        for (std::size_t i = 0; i < t.x.size(); ++i) {
            if (qstricmp(n, kXNames[i]) != 0)
                continue;
            if (!t.x[i])
                t.x[i] = xValueOf(p);
            else if (i == XEmpty) // written one word a line, or all in one
                *t.x[i] += QLatin1Char(',') + xValueOf(p);
        }
    }
    return t;
}

PlannerRecord recordOf(const EntryTexts& t, const Occurrence& when, DateOrder order)
{
    PlannerRecord r = PlannerRecord::fromList({});
    const auto x = [&](XIndex i) { return t.x[std::size_t(i)].value_or(QString()); };
    const auto has = [&](XIndex i) { return t.x[std::size_t(i)].has_value(); };

    // Start date and time: the calendar's values, unless the record's own
    // text (carried in an X- property) still says the same.
    const QString xStart = x(XStart);
    if (when.start) {
        r[Field::StartDate] = has(XStart) && recordDate(xStart, order) == when.start->date
                                  ? xStart
                                  : dateText(when.start->date, order);
    } else {
        r[Field::StartDate] = xStart;
    }
    const QString xTime = x(XTime);
    if (when.start && when.start->time)
        r[Field::Time] = has(XTime) && recordTime(xTime, order) == when.start->time ? xTime : timeText(*when.start->time);
    else if (!when.start || !recordTime(xTime, order))
        r[Field::Time] = xTime;

    const QString xFinish = x(XFinish);
    std::optional<QDate> finish;
    if (when.start && when.end) {
        const QDate day = finishDay(*when.end);
        if (day > when.start->date)
            finish = day;
    }
    if (finish) {
        r[Field::FinishDate] = has(XFinish) && recordDate(xFinish, order) == finish ? xFinish : dateText(*finish, order);
    } else {
        const auto xDate = recordDate(xFinish, order);
        const bool wouldEnd = when.start && xDate && *xDate > when.start->date && isCalendarDay(xDate->addDays(1));
        if (!wouldEnd)
            r[Field::FinishDate] = xFinish;
    }

    const QStringList empty = x(XEmpty).split(QLatin1Char(','), Qt::SkipEmptyParts);
    const QString xStatus = x(XStatus);
    if (has(XStatus) && (xStatus == QLatin1String("1")) == t.done)
        r[Field::JobStatus] = xStatus;
    else if (!t.done && empty.contains(kEmptyStatus))
        r[Field::JobStatus] = QString();
    else
        r[Field::JobStatus] = t.done ? QStringLiteral("1") : QStringLiteral("0");

    // Summary and description, or their exact texts while the calendar's
    // still say the same.
    const std::tuple<int, const QString&, XIndex> texts[] = {{Field::Name, t.summary, XName},
                                                             {Field::Message, t.description, XMessage}};
    for (const auto& [field, shown, exact] : texts)
        r[field] = has(exact) && plainText(x(exact)) == plainText(shown) ? x(exact) : shown;
    r[Field::PhoneAfterHours] = x(XPhoneAfterHours);
    r[Field::PhoneBusinessHours] = x(XPhoneBusinessHours);
    r[Field::Income] = x(XIncome);
    r[Field::Expense] = x(XExpense);
    const std::tuple<int, XIndex, QString> attachments[] = {{Field::ImagePath, XImage, kEmptyImage},
                                                            {Field::AudioPath, XAudio, kEmptyAudio}};
    for (const auto& [field, index, word] : attachments)
        r[field] = has(index) ? x(index) : empty.contains(word) ? QString() : kNoAttachment;
    for (int f = 1; f <= Field::Count; ++f)
        if (r[f].contains(u'\n') || r[f].contains(u'\r'))
            r[f] = oneLine(r[f]);
    return r;
}

QString recordIdentity(const RecordView& r)
{
    QString key;
    for (int f = 1; f <= Field::Count; ++f) {
        key += r[f];
        key += QChar(0x1f);
    }
    return key;
}

// Whether the property that holds a component's start was dropped as
// unreadable.
bool hasBadTime(icalcomponent* c)
{
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
        const char* text = icalproperty_get_xlicerror(p);
        for (const char* name : {"DTSTART", "DTEND", "DUE", "RRULE", "RECURRENCE-ID", "EXDATE", "RDATE"})
            if (text && std::strstr(text, name))
                return true;
    }
    return false;
}

// A replaced occurrence: the RECURRENCE-ID of an entry with its UID.
struct Replaced {
    qint64 wall = 0;
    bool isDate = false;
    QByteArray tzid;
    bool utc = false;
};

class Reader {
public:
    Reader(QByteArrayView text, const RecordStore& store, const CalendarImportOptions& options, StepBudget& budget,
           const std::vector<Slice>& slices)
        : text_(text), store_(store), options_(options), budget_(budget), slices_(slices),
          zones_(text, slices, budget)
    {
    }

    CalendarImport read()
    {
        CalendarImport result;
        for (const QString& uid : calendarUids(store_, options_.order))
            knownUids_.insert(uid);
        budget_.report();
        for (int i = 1; i <= store_.recordCount(); ++i)
            known_.insert(recordIdentity(store_.record(i)));
        budget_.report();
        spanStart_ = options_.today.isValid() ? options_.today : QDate(2000, 1, 1);
        spanEnd_ = spanStart_.addMonths(std::max(0, options_.recurrenceMonths));

        const std::size_t entries = std::size_t(std::count_if(slices_.begin(), slices_.end(), [](const Slice& slice) {
            return slice.kind == ICAL_VEVENT_COMPONENT || slice.kind == ICAL_VTODO_COMPONENT;
        }));
        added_.reserve(std::min<std::size_t>(entries, 4 * std::size_t(RecordStore::kMaxRecords)));
        keys_.reserve(added_.capacity());

        // Occurrences replaced by entries of their own, first.
        for (const Slice& slice : slices_) {
            if (!slice.hasRecurrenceId)
                continue;
            budget_.setDone(slice.begin);
            if (!budget_.spend())
                break;
            ComponentPtr c = parseSlice(text_, slice);
            icalproperty* p = c ? icalcomponent_get_first_property(c.get(), ICAL_RECURRENCEID_PROPERTY) : nullptr;
            if (!p)
                continue;
            const icaltimetype t = icalproperty_get_recurrenceid(p);
            const auto wall = wallOf(t);
            if (!wall)
                continue;
            const char* uid = icalcomponent_get_uid(c.get());
            icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
            replaced_[QByteArray(uid ? uid : "")].push_back(
                {*wall, bool(t.is_date), tzid ? QByteArray(icalparameter_get_tzid(tzid)) : QByteArray(),
                 bool(icaltime_is_utc(t))});
        }
        for (const Slice& slice : slices_) {
            if (budget_.cancelled())
                break;
            budget_.setDone(slice.begin);
            budget_.spend();
            readEntry(slice, result);
            keepOnlyTheEarliest();
        }
        if (budget_.cancelled()) {
            CalendarImport stopped;
            stopped.cancelled = true;
            stopped.error = QStringLiteral("The import was stopped before the whole file was read.");
            return stopped;
        }
        // Into date order in place: a second vector of records would cost
        // as much again as the records themselves.
        std::vector<int> order(added_.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys_[std::size_t(a)] < keys_[std::size_t(b)]; });
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (order[i] < 0 || std::size_t(order[i]) == i)
                continue;
            // Follow the cycle through i: position j takes the record from order[j].
            PlannerRecord held = std::move(added_[i]);
            std::size_t j = i;
            while (std::size_t(order[j]) != i) {
                const std::size_t next = std::size_t(order[j]);
                added_[j] = std::move(added_[next]);
                order[j] = -1;
                j = next;
            }
            added_[j] = std::move(held);
            order[j] = -1;
        }
        keys_ = {};
        if (added_.size() > std::size_t(RecordStore::kMaxRecords)) {
            dropped_ += qint64(added_.size()) - RecordStore::kMaxRecords;
            added_.resize(std::size_t(RecordStore::kMaxRecords));
        }
        result.newRecords = int(std::min<qint64>(dropped_ + qint64(added_.size()), std::numeric_limits<int>::max()));
        result.records = std::move(added_);
        result.readable = true;
        return result;
    }

    // No plan takes more than kMaxRecords of the new records, and those it
    // takes are the earliest: later ones are only counted, so a calendar of
    // millions of entries costs a plan's worth of records, not its own
    // size. Between entries only, as a repeating entry that turns out not
    // understood takes back what it added. Stable, so entries of the same
    // time keep the file's order.
    void keepOnlyTheEarliest()
    {
        const std::size_t keep = std::size_t(RecordStore::kMaxRecords);
        if (added_.size() < 2 * keep)
            return;
        std::vector<int> order(added_.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys_[std::size_t(a)] < keys_[std::size_t(b)]; });
        order.resize(keep);
        std::sort(order.begin(), order.end()); // still in arrival order
        std::vector<PlannerRecord> kept;
        std::vector<double> keys;
        kept.reserve(2 * keep);
        keys.reserve(2 * keep);
        for (int i : order) {
            kept.push_back(std::move(added_[std::size_t(i)]));
            keys.push_back(keys_[std::size_t(i)]);
        }
        dropped_ += qint64(added_.size() - keep);
        added_ = std::move(kept);
        keys_ = std::move(keys);
    }

private:
    void readEntry(const Slice& slice, CalendarImport& result)
    {
        if (slice.kind == ICAL_VTIMEZONE_COMPONENT)
            return;
        if (slice.kind != ICAL_VEVENT_COMPONENT && slice.kind != ICAL_VTODO_COMPONENT) {
            ++result.notUnderstood; // journals, free/busy, anything else
            return;
        }
        ComponentPtr c = parseSlice(text_, slice);
        if (!c || hasBadTime(c.get())) {
            ++result.notUnderstood;
            return;
        }
        texts_ = textsOf(c.get());
        if (slice.kind == ICAL_VTODO_COMPONENT) {
            icalproperty* startProperty = icalcomponent_get_first_property(c.get(), ICAL_DTSTART_PROPERTY);
            icalproperty* dueProperty = icalcomponent_get_first_property(c.get(), ICAL_DUE_PROPERTY);
            Occurrence when;
            // A to-do's day is its start, else the day it is due.
            if (startProperty)
                when.start = local(timeOf(startProperty, icalproperty_get_dtstart(startProperty)));
            else if (dueProperty)
                when.start = local(timeOf(dueProperty, icalproperty_get_due(dueProperty)));
            if (startProperty && dueProperty)
                when.end = local(timeOf(dueProperty, icalproperty_get_due(dueProperty)));
            if ((startProperty || dueProperty) && !when.start) {
                ++result.notUnderstood; // a day in a zone that cannot be worked out
                return;
            }
            add(when, result);
            return;
        }
        icalproperty* startProperty = icalcomponent_get_first_property(c.get(), ICAL_DTSTART_PROPERTY);
        const auto start = startProperty ? timeOf(startProperty, icalproperty_get_dtstart(startProperty)) : std::nullopt;
        if (!start) {
            ++result.notUnderstood;
            return;
        }
        icalproperty* endProperty = icalcomponent_get_first_property(c.get(), ICAL_DTEND_PROPERTY);
        const auto end = endProperty ? timeOf(endProperty, icalproperty_get_dtend(endProperty)) : std::nullopt;
        icalproperty* rrule = icalcomponent_get_first_property(c.get(), ICAL_RRULE_PROPERTY);
        icalproperty* rdate = icalcomponent_get_first_property(c.get(), ICAL_RDATE_PROPERTY);
        if (!rrule && !rdate) {
            const Occurrence when{local(start), end ? local(end) : std::nullopt};
            if (!when.start) {
                ++result.notUnderstood;
                return;
            }
            add(when, result);
            return;
        }
        expand(c.get(), *start, end, rrule, result);
    }

    // Every occurrence of a repeating event that starts within the span
    // becomes an entry of its own, lasting as long as the first.
    void expand(icalcomponent* c, const TimeValue& start, const std::optional<TimeValue>& end, icalproperty* rrule,
                CalendarImport& result)
    {
        const Zone& zone = *start.zone;
        const bool floating = zone.kind == Zone::Floating || start.isDate;
        // Occurrences are matched by their moment, or their wall time where
        // the entry has no zone; whole days by their day.
        std::set<qint64> excludedMoments;
        std::set<qint64> excludedDays;
        auto exclude = [&](qint64 wall, bool isDate, const Zone* own) {
            if (isDate || start.isDate) {
                excludedDays.insert(wall / kDaySeconds);
                return;
            }
            if (floating) {
                excludedMoments.insert(wall);
                return;
            }
            if (const auto at = zones_.toUtc(own->kind == Zone::Floating ? zone : *own, wall))
                excludedMoments.insert(*at);
        };
        for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(c, ICAL_EXDATE_PROPERTY)) {
            if (!budget_.spend())
                break;
            if (const auto x = timeOf(p, icalproperty_get_exdate(p)))
                exclude(x->wall, x->isDate, x->zone);
        }
        const char* uid = icalcomponent_get_uid(c);
        const auto found = replaced_.find(QByteArray(uid ? uid : ""));
        if (found != replaced_.end()) {
            for (const Replaced& r : found->second) {
                if (!budget_.spend())
                    break;
                const Zone* own = r.utc ? zones_.utc() : r.tzid.isEmpty() ? zones_.floating() : zones_.byName(r.tzid);
                exclude(r.wall, r.isDate, own);
            }
        }
        std::optional<qint64> length;
        if (end) {
            const auto a = zones_.toUtc(zone, start.wall);
            const auto b = zones_.toUtc(*end->zone, end->wall);
            if (a && b && !start.isDate && !end->isDate && zone.kind != Zone::Floating)
                length = *b - *a;
            else
                length = end->wall - start.wall;
        }

        const std::size_t before = added_.size();
        std::set<qint64> given; // each occurrence once, though both a rule and an RDATE name it
        bool understood = true;
        auto occurrence = [&](qint64 wall, bool isDate, const Zone& own) {
            if (dropped_ + qint64(added_.size()) > RecordStore::kMaxRecords)
                return false; // more than a plan can hold would only be refused later
            if (!budget_.spend())
                return false;
            const auto at = floating || own.kind == Zone::Floating ? std::optional<qint64>(wall) : zones_.toUtc(own, wall);
            if (!at) {
                understood = false;
                return false;
            }
            if (isDate || start.isDate ? excludedDays.count(wall / kDaySeconds) : excludedMoments.count(*at))
                return true;
            if (!given.insert(isDate ? wall : *at).second)
                return true;
            const TimeValue begins{wall, isDate, &own};
            const auto moment = local(begins);
            if (!moment) {
                understood = false;
                return false;
            }
            if (moment->date < spanStart_ || moment->date >= spanEnd_)
                return true;
            std::optional<LocalMoment> ends;
            if (length && end) {
                if (floating || own.kind == Zone::Floating || isDate) {
                    ends = local(TimeValue{wall + *length, end->isDate, end->isDate ? zones_.floating() : &own});
                } else if (const auto e = zones_.fromUtc(*end->zone, *at + *length)) {
                    ends = local(TimeValue{*e, false, end->zone});
                }
            }
            add({moment, ends}, result);
            return true;
        };

        const qint64 from = wallSeconds(spanStart_.toJulianDay() - 2, 0);
        const qint64 to = wallSeconds(spanEnd_.toJulianDay() + 2, 0);
        if (rrule) {
            const icalrecurrencetype rule = icalproperty_get_rrule(rrule);
            qint64 until = kNever;
            if (!icaltime_is_null_time(rule.until)) {
                const auto u = wallOf(rule.until);
                if (u && rule.until.is_date)
                    until = *u + kDaySeconds - 1;
                else if (u && icaltime_is_utc(rule.until) && !floating)
                    until = zones_.fromUtc(zone, *u - kEpochDay * kDaySeconds).value_or(*u);
                else if (u)
                    until = *u;
            }
            const std::function<bool(qint64)> give = [&](qint64 wall) { return occurrence(wall, start.isDate, zone); };
            const Expansion e = expandRule(rule, start.wall, start.isDate, until, from, to, budget_,
                                           std::min(kStepsPerRule, std::max<qint64>(budget_.left(), 0)), give);
            if (e != Expansion::Done)
                understood = false;
        } else {
            occurrence(start.wall, start.isDate, zone);
        }
        // Read first: making a record walks the entry's properties, which
        // would move libical's one cursor over them.
        std::vector<TimeValue> dates;
        for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(c, ICAL_RDATE_PROPERTY)) {
            if (!budget_.spend())
                break;
            const icaldatetimeperiodtype d = icalproperty_get_rdate(p);
            if (const auto value = timeOf(p, icaltime_is_null_time(d.time) ? d.period.start : d.time))
                dates.push_back(*value);
        }
        for (const TimeValue& d : dates)
            if (!understood || !occurrence(d.wall, d.isDate, *d.zone))
                break;
        if (budget_.cancelled())
            return;
        if (!understood) {
            added_.resize(before);
            keys_.resize(before);
            ++result.notUnderstood;
            return;
        }
        ++result.recurring;
    }

    // A DATE or DATE-TIME value with the zone it is in: UTC, its TZID's, or none.
    std::optional<TimeValue> timeOf(icalproperty* p, const icaltimetype& t)
    {
        const auto wall = wallOf(t);
        if (!wall)
            return std::nullopt;
        TimeValue v{*wall, bool(t.is_date), zones_.floating()};
        if (t.is_date)
            return v;
        if (icaltime_is_utc(t)) {
            v.zone = zones_.utc();
        } else if (icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER)) {
            const char* name = icalparameter_get_tzid(tzid);
            if (name && *name)
                v.zone = zones_.byName(QByteArray(name));
        }
        return v;
    }

    // The moment in the plan's zone; whole days and floating times stand
    // as they are.
    std::optional<LocalMoment> local(const std::optional<TimeValue>& v)
    {
        if (!v)
            return std::nullopt;
        const qint64 day = v->wall / kDaySeconds;
        const QDate date = QDate::fromJulianDay(day);
        if (v->isDate)
            return LocalMoment{date, std::nullopt};
        const QTime time = QTime::fromMSecsSinceStartOfDay(int(v->wall - day * kDaySeconds) * 1000);
        if (v->zone->kind == Zone::Floating)
            return LocalMoment{date, time};
        const auto at = zones_.toUtc(*v->zone, v->wall);
        if (!at)
            return std::nullopt;
        const QDateTime here = QDateTime::fromSecsSinceEpoch(*at, options_.localZone);
        if (!here.isValid())
            return std::nullopt;
        return LocalMoment{here.date(), here.time()};
    }

    void add(const Occurrence& when, CalendarImport& result)
    {
        if (!texts_.isTodo && !when.start) {
            ++result.notUnderstood;
            return;
        }
        PlannerRecord r = recordOf(texts_, when, options_.order);
        // Only what the plan holds already is skipped: two entries of one
        // file with their own UIDs are two records, however alike.
        if ((texts_.uid && knownUids_.count(*texts_.uid)) || known_.contains(recordIdentity(r))) {
            ++result.skipped;
            return;
        }
        const double key = sortKey(r[Field::StartDate], r[Field::Time], options_.order);
        added_.push_back(std::move(r));
        keys_.push_back(key);
    }

    QByteArrayView text_;
    const RecordStore& store_;
    const CalendarImportOptions& options_;
    StepBudget& budget_;
    const std::vector<Slice>& slices_;
    Zones zones_;
    std::set<QString> knownUids_;
    QSet<QString> known_;
    QDate spanStart_, spanEnd_;
    std::unordered_map<QByteArray, std::vector<Replaced>> replaced_;
    EntryTexts texts_; // of the entry being read
    std::vector<PlannerRecord> added_;
    std::vector<double> keys_; // the date order of each
    qint64 dropped_ = 0;       // new records left out as later than a plan's worth

};

} // namespace

CalendarImport readCalendar(const QByteArray& bytes, const RecordStore& store, const CalendarImportOptions& options)
{
    CalendarImport result;
    QByteArrayView text(bytes);
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    if (!QUtf8StringView(text).isValidUtf8()) {
        result.error = QStringLiteral("The file is not UTF-8 text, as calendar files are.");
        return result;
    }
    if (text.contains('\0')) {
        result.error = QStringLiteral("The file is not a text file.");
        return result;
    }
    StepBudget budget(kBaseSteps + kStepsPerByte * text.size(), options.progress, text.size());
    if (!budget.report()) {
        result.cancelled = true;
        return result;
    }
    const Walk walk = walkLines(text, budget);
    if (walk.cancelled) {
        result.cancelled = true;
        result.error = QStringLiteral("The import was stopped before the whole file was read.");
        return result;
    }
    if (!walk.error.isEmpty()) {
        result.error = walk.error;
        return result;
    }
    CalendarImport read = Reader(text, store, options, budget, walk.slices).read();
    if (!read.cancelled) {
        budget.setDone(text.size());
        budget.report();
    }
    return read;
}

CalendarImport readCalendarFile(const QString& path, const RecordStore& store, const CalendarImportOptions& options)
{
    if (const auto problem = readSourceProblem(path)) {
        CalendarImport result;
        result.error = *problem;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        CalendarImport result;
        result.error = QStringLiteral("The file could not be opened: %1").arg(file.errorString());
        return result;
    }
    return readCalendar(file.readAll(), store, options);
}

} // namespace zp
