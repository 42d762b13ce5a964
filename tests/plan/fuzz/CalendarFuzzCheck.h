#pragma once
// What must hold for any bytes given to the calendar reader, shared by the
// fuzzer and the corpus test. Header only, so the fuzzer needs no test
// framework.

#include "plan/Calendar.h"
#include "plan/RecordStore.h"

#include <QDateTime>
#include <QFile>
#include <QTimeZone>

namespace zp::fuzzcheck {

inline QByteArray calendarFileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline CalendarImportOptions calendarOptions(DateOrder order)
{
    CalendarImportOptions o;
    o.order = order;
    o.today = QDate(2026, 1, 1);
    o.recurrenceMonths = 12;
    o.localZone = QTimeZone("Europe/Berlin");
    return o;
}

// Imports `bytes` into an empty plan under one date order. Returns an empty
// text when all is well, else what went wrong:
// - a refused file says why and brings nothing;
// - no imported field holds a line break;
// - the imported records (the first thousand), exported and imported
//   again, are the same records, none skipped or not understood.
inline QString checkCalendarBytes(const QByteArray& bytes, DateOrder order)
{
    const CalendarImportOptions options = calendarOptions(order);
    const CalendarImport first = readCalendar(bytes, RecordStore(), options);
    if (!first.readable) {
        if (first.error.isEmpty())
            return QStringLiteral("a refused file has no message");
        if (!first.records.empty())
            return QStringLiteral("a refused file brings records");
        return {};
    }
    // Each record travels on its own: the first thousand show what an
    // export keeps as well as all of a repeating entry's 32768 would.
    std::vector<PlannerRecord> kept(first.records.begin(),
                                    first.records.begin()
                                        + std::min<std::ptrdiff_t>(std::ptrdiff_t(first.records.size()), 1000));
    for (const PlannerRecord& r : kept)
        for (int f = 1; f <= Field::Count; ++f)
            if (r[f].contains(QLatin1Char('\r')) || r[f].contains(QLatin1Char('\n')))
                return QStringLiteral("an imported field holds a line break");
    RecordStore plan;
    plan.replaceAll(kept);
    const QByteArray text = calendarText(plan, order, QDateTime(QDate(2026, 12, 7), QTime(8, 0), QTimeZone::utc()));
    const CalendarImport second = readCalendar(text, RecordStore(), options);
    if (!second.readable)
        return QStringLiteral("an export is not readable: ") + second.error;
    if (second.skipped != 0 || second.notUnderstood != 0)
        return QStringLiteral("an export has entries skipped or not understood");
    if (second.records.size() != kept.size())
        return QStringLiteral("an export brings another number of records");
    for (std::size_t i = 0; i < kept.size(); ++i)
        if (!(second.records[i] == kept[i])) {
            QString why = QStringLiteral("record %1 differs after export and import:").arg(i + 1);
            for (int f = 1; f <= Field::Count; ++f)
                if (second.records[i][f] != kept[i][f])
                    why += QStringLiteral(" field %1 [%2] became [%3]").arg(f).arg(kept[i][f], second.records[i][f]);
            return why;
        }
    return {};
}

} // namespace zp::fuzzcheck
