#include "plan/DateText.h"

#include <array>
#include <string>

namespace zp {

namespace {

using namespace std::chrono;

constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 7> kWeekdayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// ---------------------------------------------------------------------------
// Reading. The text is cut into items (runs of digits, runs of letters) and
// the separator in front of each item. Parsing is by hand: it runs for every
// record whenever a plan is sorted, so it must not allocate.

enum class ItemKind : unsigned char { Number, Word };

struct Item {
    ItemKind kind;
    int value;      // numbers only
    int length;     // characters in the text
    qsizetype pos;  // words: where the letters start
};

constexpr int kMaxItems = 10; // "November 5, 1996 10:30:15 PM" has 7
constexpr char16_t kNoSeparator = 0;
constexpr char16_t kBlank = u' ';

struct Items {
    std::array<Item, kMaxItems> item;
    // separator[i] stands between item i-1 and item i: kNoSeparator when they
    // touch ("10am"), kBlank for blanks only, else the one punctuation mark
    // found there (blanks around it do not count).
    std::array<char16_t, kMaxItems> separator;
    int count = 0;
};

bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
char16_t toLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool cutIntoItems(QStringView text, Items& out)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    char16_t pending = kNoSeparator;
    while (i < n) {
        const char16_t c = text[i].unicode();
        if (c == u' ' || c == u'\t') {
            if (pending == kNoSeparator)
                pending = kBlank;
            ++i;
            continue;
        }
        if (c == u'/' || c == u'-' || c == u'.' || c == u':' || c == u',') {
            if (pending != kNoSeparator && pending != kBlank)
                return false; // two marks in a row
            pending = c;
            ++i;
            continue;
        }
        Item item{};
        item.pos = i;
        if (isDigit(c)) {
            item.kind = ItemKind::Number;
            while (i < n && isDigit(text[i].unicode())) {
                if (++item.length > 4)
                    return false; // no part of a date or time has more digits
                item.value = item.value * 10 + (text[i].unicode() - u'0');
                ++i;
            }
        } else if (isAsciiLetter(c)) {
            item.kind = ItemKind::Word;
            while (i < n && isAsciiLetter(text[i].unicode())) {
                ++item.length;
                ++i;
            }
        } else {
            return false;
        }
        if (out.count == kMaxItems)
            return false;
        if (out.count == 0 && pending != kNoSeparator && pending != kBlank)
            return false; // a leading mark
        out.item[static_cast<std::size_t>(out.count)] = item;
        out.separator[static_cast<std::size_t>(out.count)] = out.count == 0 ? kNoSeparator : pending;
        ++out.count;
        pending = kNoSeparator;
    }
    return out.count > 0 && (pending == kNoSeparator || pending == kBlank);
}

bool wordIs(QStringView text, const Item& item, const char* word, int length)
{
    if (item.length != length)
        return false;
    for (int k = 0; k < length; ++k)
        if (toLower(text[item.pos + k].unicode()) != toLower(static_cast<char16_t>(word[k])))
            return false;
    return true;
}

// 1 ... 12 for a full English month name or its three-letter form, else 0.
int monthOfWord(QStringView text, const Item& item)
{
    if (item.kind != ItemKind::Word || item.length < 3)
        return 0;
    for (int m = 0; m < 12; ++m) {
        const char* name = kMonthNames[static_cast<std::size_t>(m)];
        const int full = static_cast<int>(std::char_traits<char>::length(name));
        if (wordIs(text, item, name, item.length == 3 ? 3 : full))
            return m + 1;
    }
    return 0;
}

enum class Meridiem { None, Am, Pm };

Meridiem meridiemOfWord(QStringView text, const Item& item)
{
    if (item.kind != ItemKind::Word)
        return Meridiem::None;
    if (wordIs(text, item, "AM", 2) || wordIs(text, item, "A", 1))
        return Meridiem::Am;
    if (wordIs(text, item, "PM", 2) || wordIs(text, item, "P", 1))
        return Meridiem::Pm;
    return Meridiem::None;
}

bool isNumber(const Item& item, int minLength, int maxLength)
{
    return item.kind == ItemKind::Number && item.length >= minLength && item.length <= maxLength;
}

// One or two digits: 00-29 are 20xx, 30-99 19xx. Four digits: the year as
// written (1 ... 9999). Three digits are no year.
std::optional<int> yearOf(const Item& item)
{
    if (isNumber(item, 1, 2))
        return item.value < 30 ? 2000 + item.value : 1900 + item.value;
    if (isNumber(item, 4, 4) && item.value >= 1)
        return item.value;
    return std::nullopt;
}

std::optional<year_month_day> validDate(int y, int m, int d)
{
    if (m < 1 || m > 12 || d < 1 || d > 31)
        return std::nullopt;
    const year_month_day date{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!date.ok())
        return std::nullopt;
    return date;
}

// Two numbers read in the given order; when they make no date that way but
// do the other way round, the other way is taken.
std::optional<year_month_day> dayMonthDate(int first, int second, int y, DateOrder order)
{
    const int d = order == DateOrder::DayFirst ? first : second;
    const int m = order == DateOrder::DayFirst ? second : first;
    if (auto date = validDate(y, m, d))
        return date;
    return validDate(y, d, m);
}

bool isDateMark(char16_t c) { return c == u'/' || c == u'-' || c == u'.'; }

std::optional<year_month_day> readDate(QStringView text, const Items& items, int count, DateOrder order,
                                       std::optional<year> currentYear)
{
    if (count < 2 || count > 3)
        return std::nullopt;
    const Item& a = items.item[0];
    const Item& b = items.item[1];
    auto yearFrom = [&](int index) -> std::optional<int> {
        if (index < count)
            return yearOf(items.item[static_cast<std::size_t>(index)]);
        if (currentYear)
            return static_cast<int>(*currentYear);
        return std::nullopt;
    };

    if (const int m = monthOfWord(text, a)) {
        // "Nov 5", "November 5, 1996", "Nov-5-96"
        if (!isNumber(b, 1, 2))
            return std::nullopt;
        const auto y = yearFrom(2);
        return y ? validDate(*y, m, b.value) : std::nullopt;
    }
    if (const int m = monthOfWord(text, b)) {
        // "5 Nov", "5 November 1996", "5-Nov-96"
        if (!isNumber(a, 1, 2))
            return std::nullopt;
        const auto y = yearFrom(2);
        return y ? validDate(*y, m, a.value) : std::nullopt;
    }

    // All numbers, one mark between them: "6/9/94", "13.02.1996", "1996-11-05".
    for (int i = 1; i < count; ++i) {
        const char16_t mark = items.separator[static_cast<std::size_t>(i)];
        if (!isDateMark(mark) || mark != items.separator[1])
            return std::nullopt;
    }
    if (count == 3 && isNumber(a, 4, 4)) {
        const Item& c = items.item[2];
        if (a.value < 1 || !isNumber(b, 1, 2) || !isNumber(c, 1, 2))
            return std::nullopt;
        return validDate(a.value, b.value, c.value);
    }
    if (!isNumber(a, 1, 2) || !isNumber(b, 1, 2))
        return std::nullopt;
    if (count == 3 && items.item[2].kind != ItemKind::Number)
        return std::nullopt;
    const auto y = yearFrom(2);
    return y ? dayMonthDate(a.value, b.value, *y, order) : std::nullopt;
}

// "h:mm", "h:mm:ss", either with AM/PM, or "h AM". items[from ...] to the end.
bool readTime(QStringView text, const Items& items, int from, DateTimeValue& value)
{
    const int count = items.count;
    int k = from;
    const Item& hour = items.item[static_cast<std::size_t>(k++)];
    if (!isNumber(hour, 1, 2))
        return false;
    int minute = 0;
    int second = 0;
    bool hasMinutes = false;
    if (k < count && items.separator[static_cast<std::size_t>(k)] == u':') {
        const Item& m = items.item[static_cast<std::size_t>(k++)];
        if (!isNumber(m, 1, 2) || m.value > 59)
            return false;
        minute = m.value;
        hasMinutes = true;
        if (k < count && items.separator[static_cast<std::size_t>(k)] == u':') {
            const Item& s = items.item[static_cast<std::size_t>(k++)];
            if (!isNumber(s, 1, 2) || s.value > 59)
                return false;
            second = s.value;
        }
    }
    Meridiem meridiem = Meridiem::None;
    if (k < count) {
        const char16_t mark = items.separator[static_cast<std::size_t>(k)];
        if (mark != kBlank && mark != kNoSeparator)
            return false;
        meridiem = meridiemOfWord(text, items.item[static_cast<std::size_t>(k++)]);
        if (meridiem == Meridiem::None)
            return false;
    }
    if (k != count || (!hasMinutes && meridiem == Meridiem::None))
        return false;
    int h = hour.value;
    if (meridiem != Meridiem::None) {
        if (h > 12)
            return false;
        h = h % 12 + (meridiem == Meridiem::Pm ? 12 : 0);
    } else if (h > 23) {
        return false;
    }
    value.hour = h;
    value.minute = minute;
    value.second = second;
    value.hasTime = true;
    return true;
}

// ---------------------------------------------------------------------------
// Printing.

void appendNumber(QString& out, int value, int minDigits)
{
    char buffer[12];
    int n = 0;
    unsigned v = static_cast<unsigned>(value < 0 ? -value : value);
    do {
        buffer[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n < minDigits)
        buffer[n++] = '0';
    if (value < 0)
        out.append(u'-');
    while (n > 0)
        out.append(QLatin1Char(buffer[--n]));
}

void appendName(QString& out, const char* name, bool abbreviated)
{
    out.append(abbreviated ? QLatin1String(name, 3) : QLatin1String(name));
}

// Length of an AM/PM element at `i` ("AM/PM", "am/pm", "A/P", "a/p", in any
// case), or 0.
int meridiemElementAt(QStringView pattern, qsizetype i)
{
    auto matches = [&](const char* element, int length) {
        if (i + length > pattern.size())
            return false;
        for (int k = 0; k < length; ++k)
            if (toLower(pattern[i + k].unicode()) != static_cast<char16_t>(element[k]))
                return false;
        return true;
    };
    if (matches("am/pm", 5))
        return 5;
    if (matches("a/p", 3))
        return 3;
    return 0;
}

bool hasMeridiemElement(QStringView pattern)
{
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i].unicode();
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u'\\')
            ++i;
        else if (!quoted && meridiemElementAt(pattern, i) != 0)
            return true;
    }
    return false;
}

} // namespace

std::optional<DateTimeValue> parseDateTime(QStringView text, DateOrder order, std::optional<year> currentYear)
{
    Items items;
    if (!cutIntoItems(text, items))
        return std::nullopt;
    const int count = items.count;

    // The time starts at the number before the first colon, or is a lone
    // "h AM" at the end.
    int timeStart = count;
    for (int i = 1; i < count; ++i) {
        if (items.separator[static_cast<std::size_t>(i)] == u':') {
            timeStart = i - 1;
            break;
        }
    }
    if (timeStart == count && count >= 2 && items.item[static_cast<std::size_t>(count - 2)].kind == ItemKind::Number
        && meridiemOfWord(text, items.item[static_cast<std::size_t>(count - 1)]) != Meridiem::None)
        timeStart = count - 2;

    DateTimeValue value;
    if (timeStart < count && !readTime(text, items, timeStart, value))
        return std::nullopt;
    if (timeStart > 0) {
        if (timeStart < count) {
            const char16_t between = items.separator[static_cast<std::size_t>(timeStart)];
            if (between != kBlank && between != u',')
                return std::nullopt;
        }
        const auto date = readDate(text, items, timeStart, order, currentYear);
        if (!date)
            return std::nullopt;
        value.date = *date;
        value.hasDate = true;
    }
    return value;
}

QString formatDateTime(const DateTimeValue& value, QStringView pattern)
{
    const year_month_day& date = value.date;
    const bool twelveHour = hasMeridiemElement(pattern);
    QString out;
    out.reserve(pattern.size() + 8);
    bool afterHour = false; // an "m" right after "h" (literals between ignored) means minutes
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    auto runOf = [&](char16_t letter, int most) {
        int length = 0;
        while (length < most && i + length < n && toLower(pattern[i + length].unicode()) == letter)
            ++length;
        i += length;
        return length;
    };
    while (i < n) {
        const QChar c = pattern[i];
        if (c == u'"') {
            const qsizetype close = pattern.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            out.append(pattern.mid(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        if (c == u'\\') {
            if (i + 1 < n)
                out.append(pattern[i + 1]);
            i += 2;
            continue;
        }
        if (const int length = meridiemElementAt(pattern, i)) {
            // The element's own letters give the case: "AM/PM" prints PM, "am/pm" pm.
            const bool pm = value.hour >= 12;
            const qsizetype half = length == 5 ? 2 : 1;
            out.append(pattern.mid(pm ? i + half + 1 : i, half));
            i += length;
            afterHour = false;
            continue;
        }
        switch (toLower(c.unicode())) {
        case u'd': {
            const int length = runOf(u'd', 4);
            if (length <= 2)
                appendNumber(out, static_cast<int>(static_cast<unsigned>(date.day())), length);
            else
                appendName(out, kWeekdayNames[weekday{sys_days{date}}.c_encoding()], length == 3);
            afterHour = false;
            break;
        }
        case u'm': {
            const int length = runOf(u'm', 4);
            if (length <= 2 && afterHour)
                appendNumber(out, value.minute, length);
            else if (length <= 2)
                appendNumber(out, static_cast<int>(static_cast<unsigned>(date.month())), length);
            else
                appendName(out, kMonthNames[static_cast<unsigned>(date.month()) - 1], length == 3);
            afterHour = false;
            break;
        }
        case u'y': {
            int length = 0;
            while (i + length < n && toLower(pattern[i + length].unicode()) == u'y')
                ++length;
            const int y = static_cast<int>(date.year());
            if (length >= 4) {
                appendNumber(out, y, 4);
                i += 4;
            } else if (length >= 2) {
                appendNumber(out, y % 100, 2);
                i += 2;
            } else {
                appendNumber(out, dayOfYear(date), 1);
                i += 1;
            }
            afterHour = false;
            break;
        }
        case u'h': {
            const int length = runOf(u'h', 2);
            int h = value.hour;
            if (twelveHour) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            appendNumber(out, h, length);
            afterHour = true;
            break;
        }
        case u'n':
            appendNumber(out, value.minute, runOf(u'n', 2));
            afterHour = false;
            break;
        case u's':
            appendNumber(out, value.second, runOf(u's', 2));
            afterHour = false;
            break;
        default:
            out.append(c);
            ++i;
            break;
        }
    }
    return out;
}

QString renderDateText(const QString& text, QStringView pattern, DateOrder order, std::optional<year> currentYear)
{
    const auto value = parseDateTime(text, order, currentYear);
    return value ? formatDateTime(*value, pattern) : text;
}

bool isDateText(const QString& text, DateOrder order, std::optional<year> currentYear)
{
    return !text.isEmpty() && renderDateText(text, u"dddd", order, currentYear) != text;
}

DateTimeValue dateValue(year_month_day date)
{
    DateTimeValue value;
    value.date = date;
    value.hasDate = true;
    return value;
}

int dayOfYear(year_month_day date)
{
    const sys_days first{date.year() / January / 1};
    return static_cast<int>((sys_days{date} - first).count()) + 1;
}

} // namespace zp
