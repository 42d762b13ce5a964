#include "views/AlarmWatch.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord record(const QString& date, const QString& time, const QString& name)
{
    PlannerRecord r;
    r.fields[Field::StartDate] = date;
    r.fields[Field::Time] = time;
    r.fields[Field::Name] = name;
    r.fields[Field::Message] = QStringLiteral("Bring the card");
    r.fields[Field::JobStatus] = QStringLiteral("0");
    return r;
}

class AlarmWatchTest : public ::testing::Test {
protected:
    AlarmWatchTest()
    {
        clock.set(1996, 11, 5, 10, 0);
        state.store.replaceAll({record("05/11/1996", "10:30", "Dentist"), record("05/11/1996", "12:00", "Lunch")});
        watch.setHooks({[this](int i) { opened.push_back(i); }, [this](int i) { details.push_back(i); },
                        [this](const QString& p) { played.push_back(p); },
                        [this](const QDateTime& t) { checkedUpTo = t; }});
    }
    void at(int h, int m, int s = 0)
    {
        clock.set(1996, 11, 5, h, m, s);
        watch.check();
    }
    QStringList summaries() const
    {
        QStringList out;
        for (const Notification& n : notifications.shown)
            out << n.summary;
        return out;
    }

    ProgramState state;
    FakeClock clock;
    FakeNotifications notifications;
    AlarmWatch watch{state, clock, notifications};
    std::vector<int> opened, details;
    QStringList played;
    QDateTime checkedUpTo;
};

TEST_F(AlarmWatchTest, anAlarmShowsOnceWithTheRecordsTextAndTheTwoButtons)
{
    watch.start(QDateTime());
    at(10, 19, 59);
    EXPECT_TRUE(notifications.shown.empty());
    at(10, 20);
    at(10, 21);
    ASSERT_EQ(notifications.shown.size(), 1u);
    const Notification& n = notifications.shown[0];
    EXPECT_EQ(n.summary, QStringLiteral("10:30 Dentist"));
    EXPECT_EQ(n.body, QStringLiteral("Bring the card"));
    QStringList labels;
    for (const auto& action : n.actions)
        labels << action.first + QLatin1Char('=') + action.second;
    EXPECT_TRUE(labels.contains(QStringLiteral("open=Open")) && labels.contains(QStringLiteral("snooze=Snooze")));
    EXPECT_EQ(checkedUpTo, QDateTime(QDate(1996, 11, 5), QTime(10, 20), QTimeZone::utc()));
}

TEST_F(AlarmWatchTest, theTimerWaitsForTheNextAlarmButNeverMoreThanAMinute)
{
    watch.start(QDateTime());
    EXPECT_EQ(watch.timerInterval(), 60000);
    at(10, 19, 30);
    EXPECT_EQ(watch.timerInterval(), 30000);
    state.store.replaceAll({});
    watch.rearm();
    EXPECT_EQ(watch.timerInterval(), -1); // nothing to wait for: no wake-ups at all
}

TEST_F(AlarmWatchTest, aForwardJumpShowsWhatItSkippedOnce_manyAsOneSummary)
{
    state.store.replaceAll({record("05/11/1996", "10:30", "a"), record("05/11/1996", "10:40", "b"),
                            record("05/11/1996", "10:50", "c"), record("05/11/1996", "11:00", "d")});
    watch.start(QDateTime());
    at(13, 0); // resumed from suspend
    at(13, 1);
    EXPECT_EQ(summaries(), QStringList({"4 reminders"}));
    EXPECT_EQ(notifications.shown[0].body, QStringLiteral("10:30 a, 10:40 b, 10:50 c, 11:00 d"));
}

TEST_F(AlarmWatchTest, aWholePlanDueInOneMinuteIsOneNotification)
{
    std::vector<PlannerRecord> plan(RecordStore::kMaxRecords, record("05/11/1996", "10:30", "x"));
    state.store.replaceAll(plan);
    watch.start(QDateTime());
    at(10, 20);
    EXPECT_EQ(summaries(), QStringList({"32767 reminders"}));
}

TEST_F(AlarmWatchTest, aBackwardJumpShowsNothingTwice)
{
    watch.start(QDateTime());
    at(10, 25);
    at(10, 5); // the clock was set back
    at(10, 25);
    at(11, 55);
    EXPECT_EQ(summaries(), QStringList({"10:30 Dentist", "12:00 Lunch"}));
}

TEST_F(AlarmWatchTest, anEditedRecordsAlarmFollowsIt_aRemovedOrDoneOneIsDropped)
{
    watch.start(QDateTime());
    state.store.setField(Field::Time, 1, QStringLiteral("11:00"));
    watch.rearm();
    at(10, 25);
    EXPECT_TRUE(notifications.shown.empty());
    at(10, 50);
    EXPECT_EQ(summaries(), QStringList({"11:00 Dentist"}));
    state.store.setField(Field::JobStatus, 2, QStringLiteral("1"));
    watch.rearm();
    at(12, 0);
    EXPECT_EQ(notifications.shown.size(), 1u);
}

TEST_F(AlarmWatchTest, snoozeShowsItAgainTenMinutesLater_openShowsTheRecord)
{
    watch.start(QDateTime());
    at(10, 20);
    notifications.invoke(notifications.lastId(), kSnoozeAction);
    EXPECT_EQ(watch.timerInterval(), 60000);
    at(10, 29);
    EXPECT_EQ(notifications.shown.size(), 1u);
    at(10, 30);
    ASSERT_EQ(summaries(), QStringList({"10:30 Dentist", "10:30 Dentist"}));
    state.store.insertRecordAt(1, record("01/01/1996", "", "Earlier")); // the Dentist is now record 2
    notifications.invoke(notifications.lastId(), kOpenAction);
    EXPECT_EQ(opened, std::vector<int>({2}));
}

TEST_F(AlarmWatchTest, withoutTheServiceTheDetailsWindowShowsOnce_andNotificationsComeBackWithIt)
{
    watch.start(QDateTime());
    notifications.setAvailable(false);
    at(10, 20);
    at(10, 21);
    EXPECT_EQ(details, std::vector<int>({1}));
    notifications.setAvailable(true);
    notifications.refuse = true; // gone without saying so
    at(11, 50);
    EXPECT_EQ(details, std::vector<int>({1, 2}));
    notifications.refuse = false;
    state.store.setField(Field::Time, 1, QStringLiteral("12:30"));
    watch.rearm();
    at(12, 20);
    EXPECT_EQ(summaries(), QStringList({"12:30 Dentist"}));
}

TEST_F(AlarmWatchTest, missedAlarmsOfTheLast24HoursComeAsOneNotificationAtStart)
{
    state.store.replaceAll({record("03/11/1996", "10:00", "Too old"), record("04/11/1996", "16:00", "Yesterday"),
                            record("05/11/1996", "08:00", "Early"), record("05/11/1996", "09:00", "Nine"),
                            record("05/11/1996", "12:00", "Later")});
    watch.start(QDateTime(QDate(1996, 11, 3), QTime(0, 0), QTimeZone::utc()));
    ASSERT_EQ(summaries(), QStringList({"3 reminders missed"}));
    EXPECT_EQ(notifications.shown[0].body, QStringLiteral("16:00 Yesterday, 08:00 Early, 09:00 Nine"));
    notifications.invoke(notifications.lastId(), kOpenAction);
    EXPECT_EQ(opened, std::vector<int>({2}));
}

TEST_F(AlarmWatchTest, aFirstStartOrAShortBreakMissesNothingShownBefore)
{
    watch.start(QDateTime());
    EXPECT_TRUE(notifications.shown.empty());
    AlarmWatch second(state, clock, notifications);
    second.start(QDateTime(QDate(1996, 11, 5), QTime(8, 55), QTimeZone::utc()));
    EXPECT_TRUE(notifications.shown.empty());
}

TEST_F(AlarmWatchTest, withSoundOnTheRecordsVoiceNotePlays)
{
    state.store.setField(Field::AudioPath, 1, QStringLiteral("/notes/dentist.wav"));
    state.store.setField(Field::AudioPath, 2, QStringLiteral("plandefault"));
    state.settings.soundOn = 1;
    watch.start(QDateTime());
    at(11, 50);
    EXPECT_EQ(played, QStringList({"/notes/dentist.wav"}));
}

TEST_F(AlarmWatchTest, upcomingListsTheNextAlarmsWithSnoozesInPlace)
{
    watch.start(QDateTime());
    at(10, 20);
    notifications.invoke(notifications.lastId(), kSnoozeAction);
    const auto next = watch.upcoming(3);
    ASSERT_EQ(next.size(), 2u);
    EXPECT_EQ(next[0].first.time(), QTime(10, 30));
    EXPECT_EQ(next[1].second, QStringLiteral("12:00 Lunch"));
}

} // namespace
} // namespace zp
