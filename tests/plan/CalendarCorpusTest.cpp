#include "plan/fuzz/CalendarFuzzCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace zp {
namespace {

// Every input the calendar fuzzer keeps in its corpus, the hostile files
// among them, is replayed here: each is read or refused, and what it
// brings comes back the same through an export.
TEST(CalendarCorpus, everyInputIsReadOrRefusedAndSurvivesAnExportRoundTrip)
{
    const QDir corpus(QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("fuzz/calendar-corpus")));
    const QStringList inputs = corpus.entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    ASSERT_GE(inputs.size(), 10) << corpus.path().toStdString();
    for (const QString& name : inputs) {
        if (name == QLatin1String(".gitattributes"))
            continue;
        const QByteArray bytes = fuzzcheck::calendarFileBytes(corpus.filePath(name));
        for (const DateOrder order : {DateOrder::DayFirst, DateOrder::MonthFirst})
            EXPECT_EQ(fuzzcheck::checkCalendarBytes(bytes, order).toStdString(), "")
                << name.toStdString() << (order == DateOrder::DayFirst ? " day first" : " month first");
    }
}

} // namespace
} // namespace zp
