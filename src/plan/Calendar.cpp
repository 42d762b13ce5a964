#include "plan/Calendar.h"

#include "plan/DateText.h"

#include <QCryptographicHash>
#include <QFile>
#include <QIODevice>
#include <QSet>
#include <QStringEncoder>
#include <QStringList>
#include <QTime>

#include <libical/ical.h>

#include <algorithm>
#include <span>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <string>

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

std::optional<QDate> recordDate(QStringView text, DateOrder order)
{
    if (text.isEmpty())
        return std::nullopt;
    const auto v = parseDateTime(text, order);
    if (!v || !v->hasDate || v->hasTime)
        return std::nullopt;
    const QDate d(int(v->date.year()), int(unsigned(v->date.month())), int(unsigned(v->date.day())));
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

std::optional<QTime> recordTime(QStringView text, DateOrder order)
{
    if (text.isEmpty())
        return std::nullopt;
    const auto v = parseDateTime(text, order);
    if (!v || !v->hasTime || v->hasDate)
        return std::nullopt;
    const QTime t(v->hour, v->minute, v->second);
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

QString dateText(const QDate& d, DateOrder order)
{
    const bool dayFirst = order == DateOrder::DayFirst;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", dayFirst ? d.day() : d.month(),
                  dayFirst ? d.month() : d.day(), d.year());
    return QString::fromLatin1(buffer);
}

QString timeText(const QTime& t)
{
    char buffer[32];
    if (t.second() == 0)
        std::snprintf(buffer, sizeof buffer, "%02d:%02d", t.hour(), t.minute());
    else
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", t.hour(), t.minute(), t.second());
    return QString::fromLatin1(buffer);
}

// Writes content lines: values escaped as TEXT, every line ended with CR
// LF and folded after 75 octets (never inside a UTF-8 sequence).
//
// libical reads everything; the writing is done here because building
// libical's component objects for a whole plan costs twenty times the
// writing of the same lines, with nothing gained: the tests read what this
// writes back through libical and a second, independent parser.
// yyyymmdd; years outside 1 ... 9999 have no iCalendar form and are
// written as they come.
qsizetype putIcalDate(char* out, const QDate& date)
{
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    if (y < 1 || y > 9999)
        return std::snprintf(out, 16, "%04d%02d%02d", y, m, d);
    const int digits[] = {y / 1000, y / 100 % 10, y / 10 % 10, y % 10, m / 10, m % 10, d / 10, d % 10};
    for (int i = 0; i < 8; ++i)
        out[i] = char('0' + digits[i]);
    return 8;
}

class ContentLines {
public:
    explicit ContentLines(QByteArray& out) : out_(out) {}

    void raw(const char* nameAndParameters, QByteArrayView value)
    {
        line_.assign(nameAndParameters);
        line_.push_back(':');
        line_.append(value.data(), std::size_t(value.size()));
        fold();
    }
    void text(const char* name, QStringView value)
    {
        line_.assign(name);
        line_.push_back(':');
        // Straight from UTF-16, without a converted copy of each value;
        // no unit takes more than three bytes.
        const qsizetype n = value.size();
        const std::size_t prefix = line_.size();
        line_.resize(prefix + std::size_t(n) * 3);
        char* p = line_.data() + prefix;
        const QChar* chars = value.constData();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = chars[i].unicode();
            if (c < 0x80) {
                switch (c) {
                case u'\\': *p++ = '\\'; *p++ = '\\'; break;
                case u';': *p++ = '\\'; *p++ = ';'; break;
                case u',': *p++ = '\\'; *p++ = ','; break;
                case u'\n': *p++ = '\\'; *p++ = 'n'; break;
                case u'\r': break;
                default: *p++ = char(c);
                }
            } else if (c < 0x800) {
                *p++ = char(0xC0 | (c >> 6));
                *p++ = char(0x80 | (c & 0x3F));
            } else if (QChar::isHighSurrogate(c) && i + 1 < n && chars[i + 1].isLowSurrogate()) {
                const char32_t u = QChar::surrogateToUcs4(c, chars[++i].unicode());
                *p++ = char(0xF0 | (u >> 18));
                *p++ = char(0x80 | ((u >> 12) & 0x3F));
                *p++ = char(0x80 | ((u >> 6) & 0x3F));
                *p++ = char(0x80 | (u & 0x3F));
            } else {
                // A lone surrogate has no UTF-8 form: the replacement character.
                const char32_t u = QChar::isSurrogate(c) ? 0xFFFD : c;
                *p++ = char(0xE0 | (u >> 12));
                *p++ = char(0x80 | ((u >> 6) & 0x3F));
                *p++ = char(0x80 | (u & 0x3F));
            }
        }
        line_.resize(std::size_t(p - line_.data()));
        fold();
    }
    void date(const char* name, const QDate& d)
    {
        char buffer[16];
        const qsizetype n = putIcalDate(buffer, d);
        line_.assign(name);
        line_.append(";VALUE=DATE:");
        line_.append(buffer, std::size_t(n));
        fold();
    }
    void dateTime(const char* name, const QDate& d, const QTime& t)
    {
        char buffer[32];
        qsizetype n = putIcalDate(buffer, d);
        const int parts[] = {t.hour(), t.minute(), t.second()};
        buffer[n++] = 'T';
        for (int v : parts) {
            buffer[n++] = char('0' + v / 10);
            buffer[n++] = char('0' + v % 10);
        }
        raw(name, QByteArrayView(buffer, n));
    }

private:
    void fold()
    {
        constexpr qsizetype kMax = 75;
        const qsizetype size = qsizetype(line_.size());
        qsizetype from = 0;
        qsizetype room = kMax;
        while (size - from > room) {
            qsizetype cut = from + room;
            // Back to the start of a UTF-8 sequence.
            while (cut > from && (uchar(line_[std::size_t(cut)]) & 0xC0) == 0x80)
                --cut;
            out_.append(line_.data() + from, cut - from);
            out_.append("\r\n ", 3);
            from = cut;
            room = kMax - 1;
        }
        line_.append("\r\n");
        out_.append(line_.data() + from, qsizetype(line_.size()) - from);
    }

    QByteArray& out_;
    std::string line_; // the line being written, before folding
};

// Identifiers of records in plan order: a hash of the start date, time
// and name (dates and times by value, other texts as they stand), with a
// count for the second and later records with the same three.
class UidMaker {
public:
    explicit UidMaker(int records)
    {
        std::size_t size = 64;
        while (size < std::size_t(records) * 2)
            size *= 2;
        slots_.resize(size);
    }

    // The identifier, valid until the next call.
    QByteArrayView next(const RecordView& r, const std::optional<QDate>& start, const std::optional<QTime>& time)
    {
        sha_.reset();
        if (start) {
            const qint64 day = start->toJulianDay();
            sha_.addData(QByteArrayView(reinterpret_cast<const char*>(&day), sizeof day));
        } else {
            sha_.addData("~");
            addUtf8(r[Field::StartDate]);
        }
        sha_.addData("\x1f");
        if (time) {
            const int seconds = time->msecsSinceStartOfDay() / 1000;
            sha_.addData(QByteArrayView(reinterpret_cast<const char*>(&seconds), sizeof seconds));
        } else {
            sha_.addData("~");
            addUtf8(r[Field::Time]);
        }
        sha_.addData("\x1f");
        addUtf8(r[Field::Name]);
        const QByteArrayView digest = sha_.resultView();
        quint64 key = 0;
        std::memcpy(&key, digest.data(), sizeof key);
        const int occurrence = countOf(key);

        static const char hex[] = "0123456789abcdef";
        char* p = uid_;
        for (int i = 0; i < 12; ++i) {
            *p++ = hex[uchar(digest[i]) >> 4];
            *p++ = hex[uchar(digest[i]) & 15];
        }
        if (occurrence > 1)
            p += std::snprintf(p, 16, "-%d", occurrence);
        const char domain[] = "@zorvik-planner";
        std::memcpy(p, domain, sizeof domain - 1);
        p += sizeof domain - 1;
        return QByteArrayView(uid_, p - uid_);
    }

private:
    struct Slot {
        quint64 key = 0; // 64 bits of the hash tell a plan's records apart
        int count = 0;
    };

    void addUtf8(QStringView text)
    {
        utf8_.resize(std::size_t(encoder_.requiredSpace(text.size())));
        char* end = encoder_.appendToBuffer(utf8_.data(), text);
        sha_.addData(QByteArrayView(utf8_.data(), end - utf8_.data()));
    }

    // How many records so far had this key, this one included. An open
    // table with room for twice the plan, so it never fills.
    int countOf(quint64 key)
    {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = std::size_t(key) & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (slot.count == 0) {
                slot.key = key;
                return slot.count = 1;
            }
            if (slot.key == key)
                return ++slot.count;
        }
    }

    QCryptographicHash sha_{QCryptographicHash::Sha1};
    QStringEncoder encoder_{QStringEncoder::Utf8};
    std::vector<char> utf8_;
    std::vector<Slot> slots_;
    char uid_[64];
};

// "dd/mm/yyyy" or "mm/dd/yyyy" of a date, into `out` (10 characters).
void putDate(char* out, const QDate& date, DateOrder order)
{
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    const int first = order == DateOrder::DayFirst ? d : m;
    const int second = order == DateOrder::DayFirst ? m : d;
    const char text[] = {char('0' + first / 10), char('0' + first % 10), '/', char('0' + second / 10),
                         char('0' + second % 10), '/', char('0' + y / 1000 % 10), char('0' + y / 100 % 10),
                         char('0' + y / 10 % 10), char('0' + y % 10)};
    std::memcpy(out, text, sizeof text);
}

bool isCanonicalDate(QStringView text, const QDate& d, DateOrder order)
{
    if (text.size() != 10 || d.year() < 1 || d.year() > 9999)
        return text == dateText(d, order);
    char buffer[10];
    putDate(buffer, d, order);
    return text == QLatin1StringView(buffer, 10);
}

bool isCanonicalTime(QStringView text, const QTime& t)
{
    return text == timeText(t);
}

void writeRecord(ContentLines& out, const RecordView& r, DateOrder order, UidMaker& uids,
                 const QByteArray& stamp)
{
    const auto start = recordDate(r[Field::StartDate], order);
    const auto time = recordTime(r[Field::Time], order);
    const bool done = r[Field::JobStatus] == QLatin1String("1");
    out.raw("BEGIN", start ? "VEVENT" : "VTODO");
    out.raw("UID", uids.next(r, start, time));
    out.raw("DTSTAMP", stamp);

    // What an import would read back from the standard properties; the
    // record's own text goes in an X- property wherever it differs.
    bool startBack = r[Field::StartDate].isEmpty();
    bool timeBack = r[Field::Time].isEmpty();
    bool finishBack = r[Field::FinishDate].isEmpty();
    if (start) {
        startBack = isCanonicalDate(r[Field::StartDate], *start, order);
        if (time) {
            out.dateTime("DTSTART", *start, *time);
            timeBack = isCanonicalTime(r[Field::Time], *time);
        } else {
            out.date("DTSTART", *start);
        }
        const auto finish = recordDate(r[Field::FinishDate], order);
        if (finish && *finish > *start) {
            // The event lasts to the end of its finish day.
            const QDate end = finish->addDays(1);
            if (time)
                out.dateTime("DTEND", end, QTime(0, 0));
            else
                out.date("DTEND", end);
            finishBack = isCanonicalDate(r[Field::FinishDate], *finish, order);
        }
        if (done)
            out.text("CATEGORIES", kCalendarDoneCategory);
    } else {
        out.raw("STATUS", done ? "COMPLETED" : "NEEDS-ACTION");
    }
    if (!r[Field::Name].isEmpty())
        out.text("SUMMARY", r[Field::Name]);
    if (!r[Field::Message].isEmpty())
        out.text("DESCRIPTION", r[Field::Message]);

    if (!startBack)
        out.text(kXStart, r[Field::StartDate]);
    if (!timeBack)
        out.text(kXTime, r[Field::Time]);
    if (!finishBack)
        out.text(kXFinish, r[Field::FinishDate]);
    QStringList empty;
    const QStringView status = r[Field::JobStatus];
    if (status.isEmpty())
        empty << kEmptyStatus;
    else if (status != QLatin1String("0") && status != QLatin1String("1"))
        out.text(kXStatus, status);
    const std::pair<int, const char*> plain[] = {{Field::PhoneAfterHours, kXPhoneAfterHours},
                                                 {Field::PhoneBusinessHours, kXPhoneBusinessHours},
                                                 {Field::Income, kXIncome},
                                                 {Field::Expense, kXExpense}};
    for (const auto& [field, name] : plain)
        if (!r[field].isEmpty())
            out.text(name, r[field]);
    const std::tuple<int, const char*, QString> attachments[] = {{Field::ImagePath, kXImage, kEmptyImage},
                                                                 {Field::AudioPath, kXAudio, kEmptyAudio}};
    for (const auto& [field, name, word] : attachments) {
        if (r[field].isEmpty())
            empty << word;
        else if (r[field] != kNoAttachment)
            out.text(name, r[field]);
    }
    if (!empty.isEmpty())
        out.raw(kXEmpty, empty.join(QLatin1Char(',')).toLatin1());
    out.raw("END", start ? "VEVENT" : "VTODO");
}

void writeHeader(QByteArray& bytes)
{
    ContentLines out(bytes);
    out.raw("BEGIN", "VCALENDAR");
    out.raw("VERSION", "2.0");
    out.raw("PRODID", "-//Zorvik//Zorvik Planner//EN");
}

// Every record, handed to `flush` in pieces of about 64 KiB.
template <typename Flush>
void writeRecords(const RecordStore& store, DateOrder order, const QDateTime& stamp, QByteArray& bytes, Flush flush)
{
    UidMaker uids(store.recordCount());
    const QDateTime utc = stamp.toUTC();
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02dT%02d%02d%02dZ", utc.date().year(), utc.date().month(),
                  utc.date().day(), utc.time().hour(), utc.time().minute(), utc.time().second());
    const QByteArray stampText(buffer);
    ContentLines out(bytes);
    for (int i = 1; i <= store.recordCount(); ++i) {
        writeRecord(out, store.record(i), order, uids, stampText);
        if (bytes.size() > (1 << 16))
            flush();
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

QString recordIdentity(const RecordView& r)
{
    QString key;
    for (int f = 1; f <= Field::Count; ++f) {
        key += r[f];
        key += QChar(0x1f);
    }
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
    int recurring = 0;
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
    ++out.recurring;
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
        // More than a plan can hold would only be refused later.
        if (out.occurrences.size() > std::size_t(RecordStore::kMaxRecords))
            break;
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
    UidMaker maker(store.recordCount());
    for (int i = 1; i <= store.recordCount(); ++i) {
        const RecordView r = store.record(i);
        uids.push_back(QString::fromLatin1(
            maker.next(r, recordDate(r[Field::StartDate], order), recordTime(r[Field::Time], order))));
    }
    return uids;
}

QByteArray calendarText(const RecordStore& store, DateOrder order, const QDateTime& stamp)
{
    QByteArray out;
    out.reserve(qsizetype(store.recordCount()) * 400 + 200);
    writeHeader(out);
    writeRecords(store, order, stamp, out, [] {});
    out.append("END:VCALENDAR\r\n");
    return out;
}

bool writeCalendar(QIODevice& device, const RecordStore& store, DateOrder order, const QDateTime& stamp)
{
    QByteArray chunk;
    bool ok = true;
    auto flush = [&] {
        ok = ok && device.write(chunk) == chunk.size();
        chunk.clear();
    };
    writeHeader(chunk);
    writeRecords(store, order, stamp, chunk, flush);
    chunk.append("END:VCALENDAR\r\n");
    flush();
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
        result.recurring += entries.recurring;
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
    count = std::clamp(count, 0, roomForRecords(store, int(records.size())));
    const int added = store.insertAllInDateOrder(std::span(records).first(std::size_t(count)));
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

QString calendarRecurrenceQuestion(int recurring)
{
    return (recurring == 1 ? QStringLiteral("The calendar has 1 repeating event.")
                           : QStringLiteral("The calendar has %1 repeating events.").arg(recurring))
           + QStringLiteral("\nFor how many months from today are their occurrences added?");
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
