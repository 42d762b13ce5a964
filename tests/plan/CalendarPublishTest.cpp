#include "plan/CalendarPublish.h"

#include "support/Fakes.h"
#include "support/MemoryCalDav.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimeZone>

namespace zp {
namespace {

const QDateTime kStamp(QDate(2026, 12, 8), QTime(7, 0), QTimeZone::utc());
const QUrl kCalendar(QStringLiteral("http://dav.test/alice/plan/"));

RecordStore planOf(int count, const QString& changedMessage = QString())
{
    RecordStore store;
    for (int i = 1; i <= count; ++i)
        store.insertInDateOrder(PlannerRecord::fromList(
            {QStringLiteral("%1/03/2027").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("09:00"),
             QStringLiteral("Meeting %1").arg(i), "", "", i == 1 && !changedMessage.isEmpty() ? changedMessage : "Room 4",
             "", "", "0", "", "", ""}));
    return store;
}

std::vector<CalendarEntry> entriesOf(const RecordStore& store)
{
    return calendarEntries(store, DateOrder::DayFirst, kStamp);
}

struct Publishing : ::testing::Test {
    FakeHttp http;
    MemoryCalDav server;
    PublishState state;
    DavConnection connection{http, {kCalendar, QStringLiteral("alice"), QStringLiteral("secret")}};
    int saves = 0;
    CalendarPublish publisher{connection, kCalendar, state, [this] { return ++saves > 0; }};

    void SetUp() override
    {
        http.server = [this](const HttpRequest& r) { return server(r); };
    }
    PublishSummary publish(const RecordStore& store)
    {
        std::optional<PublishSummary> result;
        http.sent.clear();
        publisher.publish(entriesOf(store), [&](const PublishSummary& s) { result = s; });
        http.deliverAll();
        EXPECT_TRUE(result.has_value());
        return result.value_or(PublishSummary());
    }
    QString pathOf(const RecordStore& store, int record)
    {
        return QStringLiteral("/alice/plan/%1.ics").arg(calendarUids(store, DateOrder::DayFirst)[std::size_t(record - 1)]);
    }
};

TEST_F(Publishing, firstPublishCreatesOneEntryPerRecordOnlyWhereNoneIs)
{
    const PublishSummary s = publish(planOf(3));
    EXPECT_TRUE(s.ok()) << s.error.toStdString();
    EXPECT_EQ(s.added, 3);
    EXPECT_EQ(server.items.size(), 3u);
    EXPECT_EQ(state.entries.size(), 3u);
    for (const HttpRequest& r : http.sent) {
        if (r.method != "PUT")
            continue;
        EXPECT_TRUE(r.headers.contains(qMakePair(QByteArray("If-None-Match"), QByteArray("*"))));
    }
    EXPECT_TRUE(http.sent.front().headers.contains(
        qMakePair(QByteArray("Authorization"), "Basic " + QByteArray("alice:secret").toBase64())));
}

TEST_F(Publishing, anUnchangedPlanSendsOnlyTheSyncReport)
{
    publish(planOf(3));
    const QByteArray token = state.syncToken;
    ASSERT_FALSE(token.isEmpty());
    const PublishSummary s = publish(planOf(3));
    EXPECT_EQ(s.unchanged, 3);
    ASSERT_EQ(http.sent.size(), 1u);
    EXPECT_EQ(http.sent.front().method, "REPORT");
    EXPECT_TRUE(http.sent.front().body.contains(token));
}

TEST_F(Publishing, oneEditSendsOnePutConditionalOnTheLastEtag)
{
    publish(planOf(3));
    const QByteArray etag = state.entries.begin()->second.etag;
    const PublishSummary s = publish(planOf(3, QStringLiteral("Room 9")));
    EXPECT_EQ(s.changed, 1);
    EXPECT_EQ(s.unchanged, 2);
    EXPECT_EQ(http.methodCount("PUT"), 1);
    EXPECT_TRUE(server.items[pathOf(planOf(3), 1)].text.contains("Room 9"));
    EXPECT_NE(state.entries[calendarUids(planOf(3), DateOrder::DayFirst)[0]].etag, etag);
}

TEST_F(Publishing, removedRecordsAreDeletedButEntriesOthersPutThereStay)
{
    server.put(QStringLiteral("/alice/plan/someone-else.ics"), "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    publish(planOf(3));
    const PublishSummary s = publish(planOf(1));
    EXPECT_EQ(s.deleted, 2);
    EXPECT_EQ(server.items.size(), 2u);
    EXPECT_TRUE(server.items.count(QStringLiteral("/alice/plan/someone-else.ics")));
    EXPECT_EQ(state.entries.size(), 1u);
}

TEST_F(Publishing, anEntryChangedOnTheServerIsListedNotOverwrittenUntilTheUserSaysSo)
{
    const RecordStore plan = planOf(2);
    publish(plan);
    const QString path = pathOf(plan, 2);
    server.put(path, server.items[path].text.replace("Room 4", "Room 7"));
    const PublishSummary s = publish(planOf(2, QStringLiteral("Room 9"))); // record 1 edited in the plan too
    EXPECT_EQ(s.changed, 1);
    ASSERT_EQ(s.conflicts.size(), 1u);
    EXPECT_EQ(s.conflicts[0].summary, QStringLiteral("Meeting 2"));
    EXPECT_TRUE(s.conflicts[0].serverText.contains("Room 7"));
    EXPECT_TRUE(server.items[path].text.contains("Room 7"));

    std::optional<PublishSummary> over;
    publisher.overwrite(s.conflicts, entriesOf(planOf(2, QStringLiteral("Room 9"))), [&](const PublishSummary& o) { over = o; });
    http.deliverAll();
    ASSERT_TRUE(over && over->ok());
    EXPECT_FALSE(server.items[path].text.contains("Room 7"));
    EXPECT_EQ(publish(planOf(2, QStringLiteral("Room 9"))).unchanged, 2);
}

TEST_F(Publishing, editedInBothPlacesIsAConflictAndItsServerVersionImportsAsANewRecord)
{
    const RecordStore plan = planOf(1);
    publish(plan);
    const QString path = pathOf(plan, 1);
    server.put(path, server.items[path].text.replace("Meeting 1", "Meeting moved"));
    const PublishSummary s = publish(planOf(1, QStringLiteral("Room 9")));
    ASSERT_EQ(s.conflicts.size(), 1u);

    const QByteArray calendar = takeServerVersions(state, s.conflicts);
    EXPECT_FALSE(calendar.contains("UID"));
    CalendarImportOptions options;
    options.today = QDate(2026, 1, 1);
    const CalendarImport read = readCalendar(calendar, planOf(1, QStringLiteral("Room 9")), options);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].fields[Field::Name], QStringLiteral("Meeting moved"));
    // The plan's own version goes back in the server's place next time.
    const PublishSummary again = publish(planOf(1, QStringLiteral("Room 9")));
    EXPECT_EQ(again.changed, 1);
    EXPECT_TRUE(server.items[path].text.contains("Room 9"));
}

TEST_F(Publishing, aServerFailingMidwayKeepsWhatWasSentAndTheNextPublishSendsTheRest)
{
    server.failWith = 507;
    server.failAfter = 3; // the sync report and two PUTs go through
    const PublishSummary s = publish(planOf(5));
    EXPECT_FALSE(s.ok());
    EXPECT_TRUE(s.error.contains(QStringLiteral("507"))) << s.error.toStdString();
    EXPECT_EQ(state.entries.size(), 2u);
    EXPECT_GE(saves, 1);
    server.failWith.reset();
    const PublishSummary rest = publish(planOf(5));
    EXPECT_TRUE(rest.ok());
    EXPECT_EQ(rest.added, 3);
    EXPECT_EQ(server.items.size(), 5u);
}

TEST_F(Publishing, cancelStopsAfterTheRequestUnderWayAndNothingIsLost)
{
    std::optional<PublishSummary> result;
    publisher.publish(entriesOf(planOf(5)), [&](const PublishSummary& s) { result = s; });
    http.deliver(); // the sync report
    http.deliver(); // one PUT
    publisher.cancel();
    http.deliverAll();
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->cancelled);
    EXPECT_EQ(state.entries.size(), 1u);
    EXPECT_TRUE(state.syncToken.isEmpty()); // the next publish looks at everything again
    EXPECT_EQ(publish(planOf(5)).added, 4);
}

TEST_F(Publishing, anEntryAlreadyOnTheServerAsThePlanHasItIsTakenAsPublished)
{
    // A publish cut off after the server took a PUT, before its answer came.
    const RecordStore plan = planOf(2);
    server.put(pathOf(plan, 1), entriesOf(plan)[0].text.replace("DTSTAMP:20261208", "DTSTAMP:20261101"));
    const PublishSummary s = publish(plan);
    EXPECT_TRUE(s.conflicts.empty());
    EXPECT_EQ(s.added, 1);
    EXPECT_EQ(s.unchanged, 1);
    EXPECT_EQ(state.entries.size(), 2u);
}

TEST_F(Publishing, aTokenTheServerForgotGivesTheWholeListingInstead)
{
    publish(planOf(2));
    state.syncToken = "expired";
    const PublishSummary s = publish(planOf(2));
    EXPECT_TRUE(s.ok());
    EXPECT_EQ(http.methodCount("REPORT"), 2);
    EXPECT_TRUE(state.syncToken.startsWith("token-"));
}

TEST_F(Publishing, garbageInsteadOfTheSyncReportStopsBeforeAnythingIsSent)
{
    http.server = [](const HttpRequest&) { return HttpReply{207, {}, "<html>not dav"}; };
    const PublishSummary s = publish(planOf(2));
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(http.methodCount("PUT"), 0);
}

TEST(PublishStateFile, comesBackAsWrittenAndAMissingFileIsEmpty)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/state.json"));
    PublishState state;
    EXPECT_TRUE(readPublishState(path, state));
    EXPECT_TRUE(state.entries.empty());
    state.calendarUrl = kCalendar.toString();
    state.syncToken = "token-9";
    state.entries[QStringLiteral("a@zorvik-planner")] = {QStringLiteral("http://x/a.ics"), "\"e1\"", "abc"};
    ASSERT_TRUE(writePublishState(path, state));
    PublishState back;
    ASSERT_TRUE(readPublishState(path, back));
    EXPECT_EQ(back.syncToken, state.syncToken);
    EXPECT_EQ(back.entries.at(QStringLiteral("a@zorvik-planner")).etag, "\"e1\"");
    EXPECT_EQ(back.entries.at(QStringLiteral("a@zorvik-planner")).href, QStringLiteral("http://x/a.ics"));
}

TEST(PublishDigest, ignoresTheTimeStampOnly)
{
    const QByteArray a = "BEGIN:VEVENT\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:x\r\n";
    EXPECT_EQ(entryDigest(a), entryDigest(QByteArray(a).replace("20260101", "20270101")));
    EXPECT_NE(entryDigest(a), entryDigest(QByteArray(a).replace("SUMMARY:x", "SUMMARY:y")));
}

} // namespace
} // namespace zp
