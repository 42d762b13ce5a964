#include "plan/DateStyle.h"

#include "plan/RecordStore.h"

namespace zp {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Length of the run of digits starting at `from`.
qsizetype digitRun(const QString& text, qsizetype from)
{
    qsizetype i = from;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i - from;
}

bool hasDayMonthYearShape(const QString& text)
{
    const qsizetype first = digitRun(text, 0);
    if (first < 1 || first > 2 || text.size() <= first || text[first] != u'/')
        return false;
    const qsizetype secondStart = first + 1;
    const qsizetype second = digitRun(text, secondStart);
    if (second < 1 || second > 2 || text.size() <= secondStart + second || text[secondStart + second] != u'/')
        return false;
    const qsizetype yearStart = secondStart + second + 1;
    return digitRun(text, yearStart) == 4 && text.size() == yearStart + 4;
}

} // namespace

QString dateStyleFor(DateOrder order)
{
    return order == DateOrder::MonthFirst ? kAmerican : kEnglishEuro;
}

DateOrder dateOrderFor(const QString& style)
{
    return style == kAmerican ? DateOrder::MonthFirst : DateOrder::DayFirst;
}

QString datePatternFor(const QString& style)
{
    return dateOrderFor(style) == DateOrder::MonthFirst ? QStringLiteral("mm/dd/yyyy")
                                                        : QStringLiteral("dd/mm/yyyy");
}

bool isKnownDateStyle(const QString& style)
{
    return style == kAmerican || style == kEnglishEuro;
}

std::optional<QString> detectDateStyle(DateOrder order)
{
    const QString weekday = renderDateText(QStringLiteral("6/9/94"), u"dddd", order);
    if (weekday == QLatin1String("Thursday"))
        return kAmerican;
    if (weekday == QLatin1String("Tuesday"))
        return kEnglishEuro;
    return std::nullopt;
}

// The year is the last four characters; the first component ends at the
// first "/", the second is what lies between the two "/". Only texts of the
// exact shape are touched, so the character positions below are always
// those of the shape.
QString swapDayMonth(const QString& text)
{
    if (!hasDayMonthYearShape(text))
        return text;
    const qsizetype n = text.size();
    const QStringView view(text);
    const QStringView year = view.right(4);
    const QStringView first = text[1] == u'/' ? view.left(1) : view.left(2);
    const QStringView second = text[n - 7] == u'/' ? view.mid(n - 6, 1) : view.mid(n - 7, 2);
    QString out;
    out.reserve(n);
    out.append(second).append(u'/').append(first).append(u'/').append(year);
    return out;
}

bool breaksStartFinishRule(const QString& start, const QString& finish, DateOrder order)
{
    return sortKey(start, start, order) > sortKey(finish, finish, order);
}

int convertStoreDates(RecordStore& store, const QString& fromStyle, const QString& toStyle)
{
    if (fromStyle == toStyle)
        return 0;
    int changed = 0;
    for (int i = 1; i <= store.recordCount(); ++i) {
        for (const int f : {Field::StartDate, Field::FinishDate}) {
            const QString& before = store.field(f, i);
            QString after = swapDayMonth(before);
            if (after != before) {
                store.setField(f, i, after);
                ++changed;
            }
        }
    }
    return changed;
}

} // namespace zp
