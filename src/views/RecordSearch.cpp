#include "views/RecordSearch.h"

#include "plan/DateText.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <numeric>

namespace zp {

// --- folding ------------------------------------------------------------------

namespace {

// The folded form of one character (one or two UTF-16 units) worked out in
// full: decomposed, combining marks dropped, case folded.
QString foldSlowly(QStringView character)
{
    const QString decomposed = character.toString().normalized(QString::NormalizationForm_D);
    QString kept;
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        char32_t c = decomposed[i].unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < decomposed.size() && decomposed[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(decomposed[i], decomposed[i + 1]);
            units = 2;
        }
        if (QChar::category(c) != QChar::Mark_NonSpacing)
            kept += QStringView(decomposed).mid(i, units);
        i += units - 1;
    }
    // The toolkit folds letter by letter; the sharp s is folded in full, as
    // German readers type it ("strasse" finds "Straße").
    return kept.toCaseFolded().replace(QChar(0x00DF), QLatin1String("ss"));
}

// The folded forms of the characters of the Basic Multilingual Plane,
// worked out the first time each is met: folding a whole plan on every
// keystroke must not decompose every character afresh. Safe to use from
// several threads: an entry is written whole, and a form of several
// characters is never moved once published.
class FoldTable {
public:
    FoldTable() : entries_(new std::atomic<std::uint32_t>[0x10000]()) {}

    // Appends the folded form of `c` (not a surrogate); returns how many
    // characters it added.
    int append(char16_t c, QString& out)
    {
        std::uint32_t entry = entries_[c].load(std::memory_order_acquire);
        if (entry == 0)
            entry = learn(c);
        switch (entry >> 24) {
        case kOne:
            out += QChar(char16_t(entry & 0xFFFF));
            return 1;
        case kNone:
            return 0;
        default: {
            const QString& several = several_[entry & 0xFFFFFF];
            out += several;
            return int(several.size());
        }
        }
    }

private:
    enum : std::uint32_t { kOne = 1, kNone = 2, kSeveral = 3 };

    std::uint32_t learn(char16_t c)
    {
        const QChar ch(c);
        const QString folded = foldSlowly(QStringView(&ch, 1));
        std::uint32_t entry = 0;
        if (folded.isEmpty()) {
            entry = kNone << 24;
        } else if (folded.size() == 1) {
            entry = (kOne << 24) | folded[0].unicode();
        } else {
            const std::lock_guard lock(mutex_);
            several_.push_back(folded);
            entry = (kSeveral << 24) | std::uint32_t(several_.size() - 1);
        }
        entries_[c].store(entry, std::memory_order_release);
        return entry;
    }

    std::unique_ptr<std::atomic<std::uint32_t>[]> entries_;
    std::mutex mutex_;
    std::deque<QString> several_;
};

FoldTable& foldTable()
{
    static FoldTable table;
    return table;
}

// Appends the folded form of the character at `i` (one unit, or two for a
// surrogate pair) and says how many units it took and characters it added.
struct Folded {
    qsizetype units = 1;
    qsizetype added = 0;
};
inline Folded foldAt(QStringView text, qsizetype i, QString& out)
{
    const char16_t c = text[i].unicode();
    if (c < 0x80) {
        out += QChar(c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c);
        return {1, 1};
    }
    if (!QChar::isSurrogate(c))
        return {1, foldTable().append(c, out)};
    // Outside the Basic Multilingual Plane (rare): worked out every time.
    const qsizetype units = QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    const QString folded = units == 2 ? foldSlowly(text.mid(i, 2)) : QString(QChar(c));
    out += folded;
    return {units, folded.size()};
}

void foldInto(QStringView text, QString& out)
{
    for (qsizetype i = 0; i < text.size();)
        i += foldAt(text, i, out).units;
}

// The folded form of every Latin-1 character, the sharp s (which folds to
// two) standing for itself: the texts of nearly every record of a plan are
// kept one byte a character, and are folded straight from those bytes.
constexpr char16_t kSharpS = 0x00DF;
const std::array<char16_t, 256>& latin1Folds()
{
    static const std::array<char16_t, 256> folds = [] {
        std::array<char16_t, 256> f{};
        for (int c = 0; c < 256; ++c) {
            const QChar ch = QChar(char16_t(c));
            const QString folded = foldSlowly(QStringView(&ch, 1));
            f[std::size_t(c)] = c == kSharpS || folded.size() != 1 ? char16_t(c) : folded[0].unicode();
        }
        return f;
    }();
    return folds;
}

// Folds Latin-1 text into `out`, which has room for twice its length;
// returns the length of the folded text.
qsizetype foldLatin1(QLatin1StringView text, char16_t* out)
{
    const std::array<char16_t, 256>& folds = latin1Folds();
    char16_t* d = out;
    for (const char c : text) {
        const char16_t f = folds[static_cast<unsigned char>(c)];
        *d++ = f == kSharpS ? u's' : f;
        if (f == kSharpS)
            *d++ = u's';
    }
    return d - out;
}

} // namespace

QString foldForFind(QStringView text)
{
    QString out;
    out.reserve(text.size());
    foldInto(text, out);
    return out;
}

void foldForFindMapped(QStringView text, QString& out, std::vector<qsizetype>& from, std::vector<qsizetype>& to)
{
    const qsizetype first = out.size();
    for (qsizetype i = 0; i < text.size();) {
        const Folded f = foldAt(text, i, out);
        const qsizetype end = i + f.units;
        if (f.added == 0 && out.size() > first) {
            to.back() = end; // a dropped mark belongs to the character before it
        } else {
            from.insert(from.end(), std::size_t(f.added), i);
            to.insert(to.end(), std::size_t(f.added), end);
        }
        i = end;
    }
}

// --- searching ----------------------------------------------------------------

namespace {

// The weekday of a date, Sunday 0 ... Saturday 6.
unsigned weekdayOf(const std::chrono::year_month_day& date)
{
    return std::chrono::weekday(std::chrono::sys_days(date)).c_encoding();
}

// The weekday names as the day layout shows them, folded, by weekdayOf.
const std::array<QString, 7>& foldedWeekdayNames()
{
    static const std::array<QString, 7> names = [] {
        std::array<QString, 7> n;
        for (unsigned d = 1; d <= 7; ++d) {
            DateTimeValue day;
            day.date = std::chrono::year{2024} / std::chrono::January / std::chrono::day(d);
            day.hasDate = true;
            n[weekdayOf(day.date)] = foldForFind(formatDateTime(day, u"dddd"));
        }
        return n;
    }();
    return names;
}

} // namespace

RecordSearch::RecordSearch(QStringView text) : text_(text.toString()), folded_(foldForFind(text))
{
    if (looksForNothing())
        return;
    const std::array<QString, 7>& names = foldedWeekdayNames();
    for (std::size_t d = 0; d < names.size(); ++d)
        if (names[d].contains(folded_))
            weekdays_ |= 1u << d;
}

bool RecordSearch::fieldsMatch(const RecordView& record, QString& buffer) const
{
    const PackedRecord* packed = record.packedRecord();
    if (packed && packed->isNarrow()) {
        for (int f : kFindFields) {
            const QLatin1StringView text = packed->narrowText(f);
            if (text.size() < folded_.size() / 2) // every character folds to at most two
                continue;
            if (buffer.size() < 2 * text.size())
                buffer.resize(2 * text.size());
            const qsizetype length = foldLatin1(text, reinterpret_cast<char16_t*>(buffer.data()));
            if (QStringView(buffer.constData(), length).contains(folded_))
                return true;
        }
        return false;
    }
    for (int f : kFindFields) {
        const QStringView text = record[f];
        if (text.isEmpty())
            continue;
        buffer.resize(0); // keeps its room from field to field
        foldInto(text, buffer);
        if (QStringView(buffer).contains(folded_))
            return true;
    }
    return false;
}

bool RecordSearch::weekdayMatches(const RecordView& record, DateOrder order) const
{
    const QStringView date = record[Field::StartDate];
    if (date.isEmpty())
        return false;
    const auto value = parseDateTime(date, order);
    return value && value->date.ok() && (weekdays_ & (1u << weekdayOf(value->date))) != 0;
}

bool RecordSearch::matches(const RecordView& record, LineLayout layout, DateOrder order) const
{
    if (looksForNothing())
        return true;
    QString buffer;
    return fieldsMatch(record, buffer) || (layout == LineLayout::ByDay && weekdays_ != 0 && weekdayMatches(record, order));
}

std::vector<int> RecordSearch::find(const RecordStore& store, LineLayout layout, DateOrder order) const
{
    std::vector<int> all(std::size_t(std::max(store.recordCount(), 0)));
    std::iota(all.begin(), all.end(), 1);
    if (looksForNothing())
        return all;
    return findAmong(store, all, layout, order);
}

std::vector<int> RecordSearch::findAmong(const RecordStore& store, std::span<const int> records, LineLayout layout,
                                         DateOrder order) const
{
    if (looksForNothing())
        return {records.begin(), records.end()};
    std::vector<int> found;
    QString buffer;
    const bool weekdays = layout == LineLayout::ByDay && weekdays_ != 0;
    for (int i : records) {
        const RecordView record = store.record(i);
        if (fieldsMatch(record, buffer) || (weekdays && weekdayMatches(record, order)))
            found.push_back(i);
    }
    return found;
}

std::vector<RecordSearch::Mark> RecordSearch::marks(QStringView line, std::span<const LineSpan> spans) const
{
    std::vector<Mark> marks;
    if (looksForNothing())
        return marks;
    QString folded;
    std::vector<qsizetype> from, to;
    for (const LineSpan& span : spans) {
        if (span.start < 0 || span.length <= 0 || span.start + span.length > line.size())
            continue;
        folded.resize(0);
        from.clear();
        to.clear();
        foldForFindMapped(line.mid(span.start, span.length), folded, from, to);
        for (qsizetype at = folded.indexOf(folded_); at >= 0; at = folded.indexOf(folded_, at + folded_.size())) {
            const qsizetype begin = from[std::size_t(at)];
            const qsizetype end = to[std::size_t(at + folded_.size() - 1)];
            // A character folding to several (ß to ss) may be matched half:
            // it is marked whole, once.
            if (!marks.empty() && span.start + begin < marks.back().start + marks.back().length)
                continue;
            marks.push_back({span.start + begin, end - begin});
        }
    }
    return marks;
}

// --- the find in the records list --------------------------------------------

QString findCountText(int found, int total)
{
    return QStringLiteral("%1 of %2 records").arg(found).arg(total);
}

int nextFoundRecord(std::span<const int> found, int current, bool forward)
{
    if (found.empty())
        return 0;
    if (forward) {
        const auto next = std::upper_bound(found.begin(), found.end(), current);
        return next == found.end() ? found.front() : *next;
    }
    const auto next = std::lower_bound(found.begin(), found.end(), current);
    return next == found.begin() ? found.back() : *(next - 1);
}

const std::vector<int>& RecordsFind::search(const RecordStore& store, LineLayout layout, DateOrder order,
                                            QStringView text)
{
    RecordSearch next(text);
    const bool same = valid_ && layout == layout_ && order == order_;
    if (same && next.folded() == search_.folded()) {
        search_ = std::move(next);
        return found_;
    }
    found_ = same && next.narrows(search_) ? next.findAmong(store, found_, layout, order)
                                           : next.find(store, layout, order);
    search_ = std::move(next);
    layout_ = layout;
    order_ = order;
    valid_ = true;
    return found_;
}

const std::vector<int>& RecordsFind::refresh(const RecordStore& store, LineLayout layout, DateOrder order)
{
    valid_ = false;
    return search(store, layout, order, search_.text());
}

} // namespace zp
