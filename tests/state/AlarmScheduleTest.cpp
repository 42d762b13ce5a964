#include "state/AlarmSchedule.h"
#include "state/Preferences.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord record(const QString& date, const QString& time, const QString& name = QStringLiteral("Dentist"),
                     const QString& done = QStringLiteral("0"))
{
    PlannerRecord r;
    r.fields[Field::StartDate] = date;
    r.fields[Field::Time] = time;
    r.fields[Field::Name] = name;
    r.fields[Field::JobStatus] = done;
    return r;
}

const QTimeZone kBerlin("Europe/Berlin");

struct AlarmTimeRow {
    const char* what;
    const char* date; // day first
    const char* time;
    const char* done;
    int lead;
    const char* expectedUtc; // empty: never alarms
};

class AlarmTimes : public ::testing::TestWithParam<AlarmTimeRow> {};

TEST_P(AlarmTimes, dueAtTheRecordsTimeLessTheLeadInTheLocalZone)
{
    const AlarmTimeRow& row = GetParam();
    AlarmOptions options;
    options.leadMinutes = row.lead;
    const PlannerRecord r = record(QString::fromLatin1(row.date), QString::fromLatin1(row.time), QStringLiteral("x"),
                                   QString::fromLatin1(row.done));
    const auto due = alarmTime(r, options, DateOrder::DayFirst, kBerlin);
    if (!*row.expectedUtc) {
        EXPECT_FALSE(due.has_value()) << row.what;
        return;
    }
    ASSERT_TRUE(due.has_value()) << row.what;
    EXPECT_EQ(due->toUTC().toString(Qt::ISODate), QString::fromLatin1(row.expectedUtc)) << row.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, AlarmTimes,
    ::testing::Values(
        AlarmTimeRow{"ten minutes before, winter time", "05/11/1996", "10:30", "0", 10, "1996-11-05T09:20:00Z"},
        AlarmTimeRow{"no lead", "05/11/1996", "10:30", "0", 0, "1996-11-05T09:30:00Z"},
        AlarmTimeRow{"an hour", "05/11/1996", "10:30", "0", 60, "1996-11-05T08:30:00Z"},
        AlarmTimeRow{"a day before at the same time", "05/11/1996", "10:30", "0", 1440, "1996-11-04T09:30:00Z"},
        AlarmTimeRow{"no time: nine o'clock less the lead", "05/11/1996", "", "0", 10, "1996-11-05T07:50:00Z"},
        AlarmTimeRow{"a time that is a word counts as none", "05/11/1996", "lunch", "0", 0, "1996-11-05T08:00:00Z"},
        AlarmTimeRow{"afternoon time", "05/11/1996", "10:30 PM", "0", 5, "1996-11-05T21:25:00Z"},
        AlarmTimeRow{"done records never alarm", "05/11/1996", "10:30", "1", 10, ""},
        AlarmTimeRow{"no date", "", "10:30", "0", 10, ""},
        AlarmTimeRow{"a date that is a word", "soon", "10:30", "0", 10, ""},
        AlarmTimeRow{"into the last day of a leap February", "01/03/2024", "00:05", "0", 10, "2024-02-29T22:55:00Z"},
        AlarmTimeRow{"a day back from the first of March", "01/03/2023", "", "0", 1440, "2023-02-28T08:00:00Z"},
        AlarmTimeRow{"back over the turn of the year", "01/01/2027", "00:00", "0", 15, "2026-12-31T22:45:00Z"},
        AlarmTimeRow{"an hour back over the spring change", "29/03/2026", "03:30", "0", 60, "2026-03-29T00:30:00Z"},
        AlarmTimeRow{"a day back over the spring change", "29/03/2026", "10:00", "0", 1440, "2026-03-28T09:00:00Z"},
        AlarmTimeRow{"a day back over the autumn change", "25/10/2026", "10:00", "0", 1440, "2026-10-24T08:00:00Z"},
        AlarmTimeRow{"summer time", "01/07/2026", "12:00", "0", 30, "2026-07-01T09:30:00Z"}));

TEST(AlarmOptions, untimedHourAndOffAreHonoured)
{
    AlarmOptions options;
    options.untimedAt = QTime(7, 15);
    const PlannerRecord r = record(QStringLiteral("05/11/1996"), QString());
    EXPECT_EQ(alarmTime(r, options, DateOrder::DayFirst, kBerlin)->toUTC().toString(Qt::ISODate),
              QStringLiteral("1996-11-05T06:05:00Z"));
    options.on = false;
    EXPECT_FALSE(alarmTime(r, options, DateOrder::DayFirst, kBerlin));
}

TEST(AlarmOptions, keptInThePreferencesAndOddValuesFallBack)
{
    Preferences prefs;
    EXPECT_EQ(readAlarmOptions(prefs), AlarmOptions());
    AlarmOptions chosen{false, 1440, QTime(8, 30), true};
    writeAlarmOptions(prefs, chosen);
    EXPECT_EQ(readAlarmOptions(prefs), chosen);
    prefs.setValue(PreferenceKey::AlarmLeadMinutes, 7);
    prefs.setValue(PreferenceKey::AlarmUntimedAt, QStringLiteral("noon"));
    EXPECT_EQ(readAlarmOptions(prefs).leadMinutes, 10);
    EXPECT_EQ(readAlarmOptions(prefs).untimedAt, QTime(9, 0));
}

class AlarmScheduleTest : public ::testing::Test {
protected:
    qint64 at(const char* local) const
    {
        return QDateTime::fromString(QString::fromLatin1(local), Qt::ISODate).toMSecsSinceEpoch();
    }
    RecordStore store;
    AlarmSchedule schedule;
    AlarmOptions options;
    QTimeZone zone = QTimeZone::utc();
};

TEST_F(AlarmScheduleTest, sortedByDueTimeWhateverTheStoreOrder)
{
    store.replaceAll({record("06/11/1996", "09:00", "b"), record("05/11/1996", "", "a"),
                      record("05/11/1996", "10:00", "c", "1"), record("05/11/1996", "08:00", "d")});
    schedule.arm(store, options, zone);
    ASSERT_EQ(schedule.size(), 3u);
    EXPECT_EQ(schedule.all()[0].record, 4); // 07:50
    EXPECT_EQ(schedule.all()[1].record, 2); // 08:50
    EXPECT_EQ(schedule.all()[2].record, 1);
}

TEST_F(AlarmScheduleTest, nextAfterAndDueBetweenUseHalfOpenRanges)
{
    store.replaceAll({record("05/11/1996", "10:10"), record("05/11/1996", "10:10"), record("05/11/1996", "11:10")});
    schedule.arm(store, options, zone);
    const qint64 ten = at("1996-11-05T10:00:00Z");
    EXPECT_EQ(schedule.dueBetween(ten - 1, ten).size(), 2u);
    EXPECT_EQ(schedule.dueBetween(ten, ten + 60 * 60 * 1000).size(), 1u);
    ASSERT_NE(schedule.nextAfter(ten), nullptr);
    EXPECT_EQ(schedule.nextAfter(ten)->record, 3);
    EXPECT_EQ(schedule.nextAfter(at("1996-11-05T11:00:00Z")), nullptr);
}

TEST_F(AlarmScheduleTest, offArmsNothing)
{
    store.replaceAll({record("05/11/1996", "10:10")});
    options.on = false;
    schedule.arm(store, options, zone);
    EXPECT_TRUE(schedule.empty());
}

TEST(AlarmText, timeAndNameAndTheFirst200CharactersOfTheMessage)
{
    PlannerRecord r = record("05/11/1996", " 10:30 ", "Dentist");
    r.fields[Field::Message] = QString(250, QLatin1Char('m'));
    const AlarmText text = alarmText(r);
    EXPECT_EQ(text.summary, QStringLiteral("10:30 Dentist"));
    EXPECT_EQ(text.body.size(), 200);
    EXPECT_EQ(alarmText(record("05/11/1996", "", "Dentist")).summary, QStringLiteral("Dentist"));
    EXPECT_EQ(alarmText(record("05/11/1996", "", "")).summary, QStringLiteral("05/11/1996"));
}

TEST(AlarmText, summariesCountAndListWithinTheBodyLength)
{
    EXPECT_EQ(missedAlarmsText({"a", "b", "c"}).summary, QStringLiteral("3 reminders missed"));
    EXPECT_EQ(missedAlarmsText({"a", "b", "c"}).body, QStringLiteral("a, b, c"));
    EXPECT_EQ(missedAlarmsText({"a"}).summary, QStringLiteral("1 reminder missed"));
    QStringList many;
    for (int i = 0; i < 32767; ++i)
        many << QStringLiteral("10:30 Record %1").arg(i);
    const AlarmText summary = alarmSummaryText(many);
    EXPECT_EQ(summary.summary, QStringLiteral("32767 reminders"));
    EXPECT_LE(summary.body.size(), 200 + 5);
    EXPECT_TRUE(summary.body.endsWith(QStringLiteral(", ...")));
}

TEST(AlarmLines, theNext24HoursInOrder)
{
    RecordStore store;
    store.replaceAll({record("06/11/1996", "09:00", "Tomorrow"), record("05/11/1996", "09:00", "Gone"),
                      record("05/11/1996", "12:00", "Lunch"), record("07/11/1996", "09:00", "Too late")});
    const QDateTime now(QDate(1996, 11, 5), QTime(9, 30), QTimeZone::utc());
    EXPECT_EQ(alarmLines(store, AlarmOptions(), now),
              QStringList({"1996-11-05 11:50  12:00 Lunch", "1996-11-06 08:50  09:00 Tomorrow"}));
}

} // namespace
} // namespace zp
