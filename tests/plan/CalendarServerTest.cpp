#include "plan/CalendarServer.h"

#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

QByteArray multistatus(const QByteArray& responses)
{
    return "<?xml version=\"1.0\"?><D:multistatus xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">" + responses
           + "</D:multistatus>";
}

QByteArray response(const QByteArray& href, const QByteArray& props)
{
    return "<D:response><D:href>" + href + "</D:href><D:propstat><D:prop>" + props
           + "</D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>";
}

TEST(DavMultiStatus, readsTheNeededPropertiesWhateverThePrefixes)
{
    const DavMultiStatus ms = readMultiStatus(multistatus(
        response("/a/", "<D:resourcetype><D:collection/><C:calendar/></D:resourcetype><D:displayname>Work</D:displayname>"
                        "<D:current-user-principal><D:href>/p/alice/</D:href></D:current-user-principal>"
                        "<C:calendar-home-set><D:href>/home/alice/</D:href></C:calendar-home-set>")
        + response("/a/x.ics", "<D:getetag>\"e7\"</D:getetag><C:calendar-data>BEGIN:VCALENDAR</C:calendar-data>")
        + "<D:response><D:href>/a/gone.ics</D:href><D:status>HTTP/1.1 404 Not Found</D:status></D:response>"
          "<D:sync-token>http://x/sync/5</D:sync-token>"));
    ASSERT_TRUE(ms.readable);
    ASSERT_EQ(ms.resources.size(), 3u);
    EXPECT_TRUE(ms.resources[0].isCalendar);
    EXPECT_EQ(ms.resources[0].displayName, QStringLiteral("Work"));
    EXPECT_EQ(ms.resources[0].principal, QStringLiteral("/p/alice/"));
    EXPECT_EQ(ms.resources[0].calendarHome, QStringLiteral("/home/alice/"));
    EXPECT_EQ(ms.resources[1].etag, "\"e7\"");
    EXPECT_EQ(ms.resources[1].calendarData, "BEGIN:VCALENDAR");
    EXPECT_EQ(ms.resources[2].status, 404);
    EXPECT_EQ(ms.syncToken, "http://x/sync/5");
}

TEST(DavMultiStatus, garbageOrOtherXmlIsUnreadable)
{
    for (const QByteArray& text : {QByteArray("<html><body>Login</body></html>"), QByteArray("not xml at all"),
                                  multistatus("<D:response><D:href>/a</D:href>").left(90)})
        EXPECT_FALSE(readMultiStatus(text).readable) << text.constData();
}

struct Discovering : ::testing::Test {
    FakeHttp http;
    std::map<QString, HttpReply> answers; // by path
    DavConnection connection{http, {QUrl(QStringLiteral("https://dav.test/")), QStringLiteral("alice"), QStringLiteral("pw")}};

    CalendarDiscovery discover()
    {
        http.server = [this](const HttpRequest& r) {
            const auto it = answers.find(r.url.path());
            return it == answers.end() ? HttpReply(404) : it->second;
        };
        std::optional<CalendarDiscovery> found;
        discoverCalendars(connection, [&](const CalendarDiscovery& d) { found = d; });
        http.deliverAll();
        EXPECT_TRUE(found.has_value());
        return found.value_or(CalendarDiscovery());
    }
};

TEST_F(Discovering, followsThePrincipalToTheHomeAndListsItsCalendars)
{
    answers[QStringLiteral("/")] = HttpReply(207, {}, multistatus(response("/", "<D:current-user-principal><D:href>/alice/"
                                                                                 "</D:href></D:current-user-principal>")));
    answers[QStringLiteral("/alice/")] = HttpReply(207, {}, multistatus(response("/alice/", "<C:calendar-home-set><D:href>"
                                                                                            "/cal/alice/</D:href></C:calendar-home-set>")));
    answers[QStringLiteral("/cal/alice/")] = HttpReply(
        207, {},
        multistatus(response("/cal/alice/", "<D:resourcetype><D:collection/></D:resourcetype>")
                    + response("/cal/alice/work/", "<D:resourcetype><D:collection/><C:calendar/></D:resourcetype>"
                                                   "<D:displayname>Work</D:displayname>")
                    + response("/cal/alice/contacts/", "<D:resourcetype><D:collection/></D:resourcetype>")));
    const CalendarDiscovery d = discover();
    ASSERT_TRUE(d.error.isEmpty()) << d.error.toStdString();
    ASSERT_EQ(d.calendars.size(), 1u);
    EXPECT_EQ(d.calendars[0].url, QUrl(QStringLiteral("https://dav.test/cal/alice/work/")));
    EXPECT_EQ(d.calendars[0].name, QStringLiteral("Work"));
    EXPECT_EQ(http.sent[2].headers.value(0), qMakePair(QByteArray("Depth"), QByteArray("1")));
    EXPECT_EQ(discoveryReport(d), QStringLiteral("The server answered: the user has 1 calendar."));
}

TEST_F(Discovering, whatFailsIsSaidInASentence)
{
    const std::pair<HttpReply, QString> cases[] = {
        {HttpReply(401), QStringLiteral("The server refused the user name or password (401).")},
        {HttpReply(0, {}, {}, QStringLiteral("Connection refused")),
         QStringLiteral("The server could not be reached: Connection refused")},
        {HttpReply(207, {}, "<html/>"), QStringLiteral("The server's answer could not be read as WebDAV.")},
        {HttpReply(207, {}, multistatus(response("/", "<D:displayname>x</D:displayname>"))),
         QStringLiteral("The address is not a calendar, and the server named no calendars for the user.")},
        {HttpReply(200, {}, "<html/>"),
         QStringLiteral("The address is not a calendar, and the server named no calendars for the user.")},
    };
    for (const auto& [reply, said] : cases) {
        answers[QStringLiteral("/")] = reply;
        EXPECT_EQ(discover().error, said);
    }
}

TEST_F(Discovering, aRedirectOnTheSameServerIsFollowedOneToAnotherHostIsNot)
{
    answers[QStringLiteral("/")] = HttpReply(301, {{"Location", "/dav/"}});
    answers[QStringLiteral("/dav/")] = HttpReply(
        207, {}, multistatus(response("/dav/", "<D:resourcetype><D:collection/><C:calendar/></D:resourcetype>")));
    EXPECT_TRUE(discover().urlIsCalendar);
    answers[QStringLiteral("/")] = HttpReply(302, {{"Location", "https://elsewhere.test/dav/"}});
    const CalendarDiscovery d = discover();
    EXPECT_TRUE(d.error.contains(QStringLiteral("elsewhere.test"))) << d.error.toStdString();
    EXPECT_EQ(http.sent.back().url.host(), QStringLiteral("dav.test"));
}

TEST(CalendarFetch, asksForTheSpanAndMergesTheEntriesIntoOneCalendar)
{
    FakeHttp http;
    DavConnection connection(http, {QUrl(QStringLiteral("http://dav.test/c/")), QStringLiteral("a"), QStringLiteral("b")});
    const QByteArray one = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nUID:1\r\nSUMMARY:One\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    http.server = [&](const HttpRequest&) {
        return HttpReply(207, {}, multistatus(response("/c/1.ics", "<C:calendar-data>" + one + "</C:calendar-data>")
                                              + response("/c/2.ics", "<C:calendar-data>" + QByteArray(one).replace("One", "Two")
                                                                         + "</C:calendar-data>")));
    };
    std::optional<FetchedCalendar> got;
    fetchCalendarSpan(connection, connection.account().url, QDate(2026, 1, 1), QDate(2027, 1, 1),
                      [&](const FetchedCalendar& f) { got = f; });
    http.deliverAll();
    ASSERT_TRUE(got && got->error.isEmpty());
    EXPECT_TRUE(http.sent[0].body.contains("start=\"20260101T000000Z\" end=\"20270101T000000Z\""));
    EXPECT_EQ(got->events, 2);
    EXPECT_EQ(got->text.count("BEGIN:VCALENDAR"), 1);
    EXPECT_EQ(got->text.count("BEGIN:VEVENT"), 2);
    EXPECT_FALSE(got->text.contains("PRODID:x"));
    EXPECT_FALSE(mergedCalendar({one}, true).contains("UID:"));
}

} // namespace
} // namespace zp
