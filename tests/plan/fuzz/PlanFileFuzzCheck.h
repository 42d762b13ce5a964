#pragma once
// What must hold for any bytes given to the plan file reader, shared by the
// fuzzer and the corpus test. Header only, so the fuzzer needs no test
// framework.

#include "plan/DateText.h"
#include "plan/PlanFile.h"
#include "plan/RecordStore.h"

#include <QDir>
#include <QFile>
#include <QString>

namespace zp::fuzzcheck {

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool sameRecords(const RecordStore& a, const RecordStore& b)
{
    if (a.recordCount() != b.recordCount() || a.editStyle != b.editStyle)
        return false;
    for (int i = 1; i <= a.recordCount(); ++i)
        if (!(a.record(i) == b.record(i)))
            return false;
    return true;
}

// The same records, where a start or finish date may be written another way
// for the same day (5/11/1996 and 05/11/1996): reading renders dates afresh.
inline bool sameRecordsButDateForm(const RecordStore& a, const RecordStore& b, DateOrder order)
{
    if (a.recordCount() != b.recordCount() || a.editStyle != b.editStyle)
        return false;
    for (int i = 1; i <= a.recordCount(); ++i) {
        for (int f = 1; f <= Field::Count; ++f) {
            const QString& x = a.field(f, i);
            const QString& y = b.field(f, i);
            if (x == y)
                continue;
            if (f != Field::StartDate && f != Field::FinishDate)
                return false;
            const auto dx = parseDateTime(x, order);
            const auto dy = parseDateTime(y, order);
            if (!dx || !dy || dx->date != dy->date)
                return false;
        }
    }
    return true;
}

// Reads `bytes` as a plan file in `folder` under one date order. Returns an
// empty text when all is well, else what went wrong:
// - a refused file leaves the store as it was;
// - a loaded plan has at most 32767 records, no field holds a line break;
// - a loaded plan saves, and after one save and read (which settles dates
//   and encoding) saving and reading again changes nothing, byte for byte.
inline QString checkPlanBytes(const QByteArray& bytes, const QString& folder, DateOrder order)
{
    const QDir dir(folder);
    const QString in = dir.filePath(QStringLiteral("in.pln"));
    {
        QFile f(in);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            return QStringLiteral("cannot write the input file");
    }

    RecordStore first;
    first.replaceAll({PlannerRecord::fromList({QStringLiteral("01/01/2000"), QString(), QStringLiteral("Before")})});
    const PlanReadResult r1 = readPlanFile(in, first, order);
    if (!r1.loaded()) {
        if (first.recordCount() != 1 || first.field(Field::Name, 1) != QLatin1String("Before"))
            return QStringLiteral("a refused file changed the store");
        if (r1.status != PlanReadStatus::Ignored && r1.message.isEmpty())
            return QStringLiteral("a refused file has no message");
        return {};
    }
    if (first.recordCount() != r1.recordCount || first.recordCount() > RecordStore::kMaxRecords)
        return QStringLiteral("record count");
    for (int i = 1; i <= first.recordCount(); ++i)
        for (int f = 1; f <= Field::Count; ++f)
            if (first.field(f, i).contains(QLatin1Char('\r')) || first.field(f, i).contains(QLatin1Char('\n')))
                return QStringLiteral("a field holds a line break");

    // Save and read three times; the second and third round must agree.
    RecordStore stores[3];
    QByteArray written[3];
    const RecordStore* from = &first;
    for (int round = 0; round < 3; ++round) {
        const QString out = dir.filePath(QStringLiteral("out%1.pln").arg(round));
        if (!writePlanFile(out, *from).ok())
            return QStringLiteral("save failed");
        written[round] = fileBytes(out);
        if (!readPlanFile(out, stores[round], order).loaded())
            return QStringLiteral("a saved plan does not load");
        if (stores[round].recordCount() != first.recordCount())
            return QStringLiteral("a saved plan loads with another record count");
        from = &stores[round];
    }
    if (!sameRecordsButDateForm(first, stores[0], order))
        return QStringLiteral("a plan read, saved and read again has other records");
    if (!sameRecords(stores[1], stores[2]))
        return QStringLiteral("saving and reading again changes the records");
    if (written[1] != written[2])
        return QStringLiteral("saving an unchanged plan changes the file");
    return {};
}

} // namespace zp::fuzzcheck
