#include "plan/Calendar.h"

#include "plan/CalendarFields.h"
#include "plan/DateText.h"
#include "plan/HistorySteps.h"

#include <QCryptographicHash>
#include <QFile>
#include <QIODevice>
#include <QSet>
#include <QStringEncoder>
#include <QStringList>
#include <QTime>


#include <algorithm>
#include <span>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace zp {

namespace calendar {

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

// --- texts a calendar would change ----------------------------------------

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7f;
}

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

bool needsEscaping(QStringView text)
{
    if (text.isEmpty())
        return false;
    if (isBlank(text.front().unicode()) || isBlank(text.back().unicode()))
        return true;
    return std::any_of(text.begin(), text.end(), [](QChar c) { return isControl(c.unicode()); });
}

QString escapedText(QStringView text)
{
    qsizetype lead = 0;
    while (lead < text.size() && isBlank(text[lead].unicode()))
        ++lead;
    qsizetype trail = text.size();
    while (trail > lead && isBlank(text[trail - 1].unicode()))
        --trail;
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'%' || isControl(c) || i < lead || i >= trail) {
            static const char hex[] = "0123456789ABCDEF";
            out += u'%';
            out += QLatin1Char(hex[(c >> 4) & 15]);
            out += QLatin1Char(hex[c & 15]);
        } else
            out += text[i];
    }
    return out;
}

QString unescapedText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 2 < text.size()) {
            bool ok = false;
            const int c = text.mid(i + 1, 2).toInt(&ok, 16);
            if (ok && text[i + 1] != u'+' && text[i + 1] != u'-') {
                out += QChar(c);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

QString plainText(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out)
        if (isControl(c.unicode()))
            c = u' ';
    qsizetype a = 0, b = out.size();
    while (a < b && out[a] == u' ')
        ++a;
    while (b > a && out[b - 1] == u' ')
        --b;
    return out.mid(a, b - a);
}

} // namespace calendar

namespace {

using namespace calendar;

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
    // A text that would not come back as it is goes %XX escaped, saying so.
    void exact(const char* name, QStringView value)
    {
        if (!needsEscaping(value))
            return text(name, value);
        const std::string named = std::string(name) + ';' + kXEncoding + '=' + kPercent;
        text(named.c_str(), escapedText(value));
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
    const auto date = recordDate(r[Field::StartDate], order);
    const auto time = recordTime(r[Field::Time], order);
    // A day a calendar cannot hold makes a to-do, its date travelling as text.
    const auto start = date && isCalendarDay(*date) ? date : std::nullopt;
    const bool done = r[Field::JobStatus] == QLatin1String("1");
    out.raw("BEGIN", start ? "VEVENT" : "VTODO");
    out.raw("UID", uids.next(r, date, time));
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
        if (finish && *finish > *start && isCalendarDay(finish->addDays(1))) {
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
    // Summary and description as a calendar keeps them; the exact text
    // beside them when that is not the record's.
    const std::tuple<int, const char*, const char*> texts[] = {{Field::Name, "SUMMARY", kXName},
                                                                {Field::Message, "DESCRIPTION", kXMessage}};
    for (const auto& [field, name, exactName] : texts) {
        if (r[field].isEmpty())
            continue;
        if (!needsEscaping(r[field])) {
            out.text(name, r[field]);
            continue;
        }
        // Control characters have no place in a calendar; blanks at the
        // ends stay for calendars that keep them.
        if (!plainText(r[field]).isEmpty()) {
            QString shown = r[field].toString();
            for (QChar& c : shown)
                if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                    c = u' ';
            out.text(name, shown);
        }
        out.exact(exactName, r[field]);
    }

    if (!startBack)
        out.exact(kXStart, r[Field::StartDate]);
    if (!timeBack)
        out.exact(kXTime, r[Field::Time]);
    if (!finishBack)
        out.exact(kXFinish, r[Field::FinishDate]);
    QStringList empty;
    const QStringView status = r[Field::JobStatus];
    if (status.isEmpty())
        empty << kEmptyStatus;
    else if (status != QLatin1String("0") && status != QLatin1String("1"))
        out.exact(kXStatus, status);
    const std::pair<int, const char*> plain[] = {{Field::PhoneAfterHours, kXPhoneAfterHours},
                                                 {Field::PhoneBusinessHours, kXPhoneBusinessHours},
                                                 {Field::Income, kXIncome},
                                                 {Field::Expense, kXExpense}};
    for (const auto& [field, name] : plain)
        if (!r[field].isEmpty())
            out.exact(name, r[field]);
    const std::tuple<int, const char*, QString> attachments[] = {{Field::ImagePath, kXImage, kEmptyImage},
                                                                 {Field::AudioPath, kXAudio, kEmptyAudio}};
    for (const auto& [field, name, word] : attachments) {
        if (r[field].isEmpty())
            empty << word;
        else if (r[field] != kNoAttachment)
            out.exact(name, r[field]);
    }
    // One property per word: calendar servers that take a comma as a list
    // keep only the first of "IMAGE,AUDIO" (Radicale does).
    for (const QString& word : std::as_const(empty))
        out.raw(kXEmpty, word.toLatin1());
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

std::vector<CalendarEntry> calendarEntries(const RecordStore& store, DateOrder order, const QDateTime& stamp)
{
    std::vector<QString> uids = calendarUids(store, order);
    std::vector<CalendarEntry> entries;
    entries.reserve(uids.size());
    UidMaker maker(store.recordCount());
    const QByteArray stampText = stamp.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'").toLatin1();
    for (int i = 1; i <= store.recordCount(); ++i) {
        QByteArray text;
        text.reserve(600);
        writeHeader(text);
        ContentLines out(text);
        writeRecord(out, store.record(i), order, maker, stampText);
        text.append("END:VCALENDAR\r\n");
        entries.push_back({std::move(uids[std::size_t(i - 1)]), std::move(text)});
    }
    return entries;
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

int roomForRecords(const RecordStore& store, int wanted)
{
    return std::clamp(RecordStore::kMaxRecords - store.recordCount(), 0, wanted);
}

int addImportedRecords(RecordStore& store, const std::vector<PlannerRecord>& records, int count)
{
    count = std::clamp(count, 0, roomForRecords(store, int(records.size())));
    const HistoryStep step(store.journal(), kImportStep);
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
