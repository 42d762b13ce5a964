#pragma once
// Small helpers that several test files share.
#include "plan/RecordStore.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace zp {

// A file's bytes; a file that cannot be read gives a text no test expects,
// so the comparison that follows fails and says why.
inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size()) << path.toStdString();
}

// The records' names in store order.
inline QStringList names(const RecordStore& store)
{
    QStringList out;
    for (int i = 1; i <= store.recordCount(); ++i)
        out << store.field(Field::Name, i);
    return out;
}

} // namespace zp
