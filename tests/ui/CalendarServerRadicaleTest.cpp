// The network layer and the calendar server logic against a real Radicale
// (tests/app/radicale_server.py starts it on a free port and stops it when
// its standard input closes): import round trip, a calendar of 10,000
// events, a self-signed certificate, an address that is no calendar.
// Skipped with a message when Radicale cannot start.
#include "plan/CalendarPublish.h"
#include "ui/QtHttp.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace zp {
namespace {

class RadicaleProcess {
public:
    explicit RadicaleProcess(const QStringList& options)
    {
        process_.start(QStringLiteral("/usr/bin/python3"),
                       QStringList{QStringLiteral(ZORVIK_TEST_SOURCE_DIR "/app/radicale_server.py"), QStringLiteral("serve"),
                                   folder_.path()} + options);
        const QDeadlineTimer enough(120000);
        while (process_.state() != QProcess::NotRunning && !process_.canReadLine() && !enough.hasExpired())
            process_.waitForReadyRead(1000);
        if (!process_.canReadLine()) {
            problem_ = QStringLiteral("python3 or radicale did not start");
            return;
        }
        const QString line = QString::fromUtf8(process_.readLine()).trimmed();
        if (!line.startsWith(QLatin1String("port ")))
            problem_ = line;
        port_ = line.mid(5).toInt();
    }
    ~RadicaleProcess()
    {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(10000))
            process_.kill();
    }
    QString problem() const { return problem_; }
    QUrl url(const QString& path, bool tls = false) const
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2%3").arg(tls ? "https" : "http").arg(port_).arg(path));
    }

private:
    QTemporaryDir folder_;
    QProcess process_;
    QString problem_;
    int port_ = 0;
};

template <typename T>
T waitFor(std::optional<T>& result)
{
    const QDeadlineTimer enough(300000); // a stuck server must not hold the run for ever
    while (!result && !enough.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    EXPECT_TRUE(result.has_value());
    return result.value_or(T());
}

CalendarDiscovery discover(DavConnection& connection)
{
    std::optional<CalendarDiscovery> found;
    discoverCalendars(connection, [&](const CalendarDiscovery& d) { found = d; });
    return waitFor(found);
}

#define NEED_RADICALE(server)                                                                                            \
    if (!(server).problem().isEmpty())                                                                                   \
    GTEST_SKIP() << "no Radicale: " << (server).problem().toStdString()

TEST(CalendarServerRadicale, publishedRecordsComeBackAsTheSameRecordsThroughTheImport)
{
    RadicaleProcess server({});
    NEED_RADICALE(server);
    RecordStore plan;
    for (const QStringList& r : {QStringList{"05/01/2027", "10:30", "Smith, kitchen; quote", "", "", "Tab\there", "120.50"},
                                 QStringList{"06/01/2027", "", "All day", "", "", "", "", "", "1"},
                                 QStringList{"07/01/2027", "8:00", "Zoë Müller", "", "", "", "", "", "", "", "", "09/01/2027"}})
        plan.insertInDateOrder(PlannerRecord::fromList(r));
    QtHttp http;
    DavConnection connection(http, {server.url("/alice/plan/"), QStringLiteral("alice"), QStringLiteral("secret")});
    PublishState state;
    CalendarPublish publish(connection, connection.account().url, state, [] { return true; });
    std::optional<PublishSummary> published;
    publish.publish(calendarEntries(plan, DateOrder::DayFirst, QDateTime::currentDateTimeUtc()),
                    [&](const PublishSummary& s) { published = s; });
    ASSERT_TRUE(waitFor(published).ok()) << published->error.toStdString();

    std::optional<FetchedCalendar> fetched;
    fetchCalendarSpan(connection, connection.account().url, QDate(2026, 12, 1), QDate(2027, 2, 1),
                      [&](const FetchedCalendar& f) { fetched = f; });
    const FetchedCalendar got = waitFor(fetched);
    ASSERT_TRUE(got.error.isEmpty()) << got.error.toStdString();
    CalendarImportOptions options;
    options.today = QDate(2026, 12, 8);
    const CalendarImport into = readCalendar(got.text, RecordStore(), options);
    ASSERT_TRUE(into.readable) << into.error.toStdString();
    ASSERT_EQ(into.records.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const PlannerRecord back = into.records[std::size_t(i)];
        const PlannerRecord sent = plan.record(i + 1).toRecord();
        EXPECT_EQ(QStringList(back.fields.begin(), back.fields.end()).join(u'|').toStdString(),
                  QStringList(sent.fields.begin(), sent.fields.end()).join(u'|').toStdString())
            << got.text.constData();
    }
    EXPECT_EQ(readCalendar(got.text, plan, options).skipped, 3); // already in the plan, by UID
}

TEST(CalendarServerRadicale, aCalendarOfTenThousandEventsImportsWhole)
{
    RadicaleProcess server({QStringLiteral("--events"), QStringLiteral("10000")});
    NEED_RADICALE(server);
    QtHttp http;
    DavConnection connection(http, {server.url("/alice/big/"), QStringLiteral("alice"), QStringLiteral("secret")});
    std::optional<FetchedCalendar> fetched;
    fetchCalendarSpan(connection, connection.account().url, QDate(2027, 1, 1), QDate(2028, 1, 1),
                      [&](const FetchedCalendar& f) { fetched = f; });
    const FetchedCalendar got = waitFor(fetched);
    ASSERT_TRUE(got.error.isEmpty()) << got.error.toStdString();
    EXPECT_EQ(got.events, 10000);
    CalendarImportOptions options;
    options.today = QDate(2026, 12, 8);
    const CalendarImport into = readCalendar(got.text, RecordStore(), options);
    EXPECT_EQ(into.newRecords, 10000);
}

TEST(CalendarServerRadicale, aSelfSignedCertificateIsRefusedWithTheReasonUntilTheUserAcceptsIt)
{
    RadicaleProcess server({QStringLiteral("--tls")});
    NEED_RADICALE(server);
    QtHttp http;
    DavConnection connection(http, {server.url("/alice/", true), QStringLiteral("alice"), QStringLiteral("secret")});
    const CalendarDiscovery refused = discover(connection);
    EXPECT_TRUE(refused.error.contains(QStringLiteral("certificate"))) << refused.error.toStdString();
    ASSERT_FALSE(refused.refusedCertificate.isEmpty());
    http.acceptCertificate(QStringLiteral("127.0.0.1"), refused.refusedCertificate);
    const CalendarDiscovery accepted = discover(connection);
    EXPECT_FALSE(accepted.error.contains(QStringLiteral("certificate"))) << accepted.error.toStdString();
}

TEST(CalendarServerRadicale, anAddressThatIsNoCalendarAndAWrongPasswordAreSaidSo)
{
    RadicaleProcess server({});
    NEED_RADICALE(server);
    QtHttp http;
    DavConnection nowhere(http, {server.url("/alice/nothing/"), QStringLiteral("alice"), QStringLiteral("secret")});
    EXPECT_EQ(discover(nowhere).error, QStringLiteral("There is nothing at that address on the server (404)."));
    DavConnection wrong(http, {server.url("/alice/plan/"), QStringLiteral("alice"), QStringLiteral("wrong")});
    EXPECT_EQ(discover(wrong).error, QStringLiteral("The server refused the user name or password (401)."));
    DavConnection root(http, {server.url("/"), QStringLiteral("alice"), QStringLiteral("secret")});
    const CalendarDiscovery found = discover(root);
    EXPECT_TRUE(found.error.isEmpty()) << found.error.toStdString();
    EXPECT_EQ(found.calendars.size(), 2u); // plan and bare
}

} // namespace
} // namespace zp
