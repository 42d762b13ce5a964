#include "app/PublishCommand.h"

#include "state/Preferences.h"
#include "support/Fakes.h"
#include "support/MemoryCalDav.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace zp {
namespace {

struct PublishCommand : ::testing::Test {
    QTemporaryDir dir;
    FakeHttp http;
    FakePasswordStore passwords;
    Preferences preferences;
    MemoryCalDav server;
    QString plan;
    QString out, err;

    void SetUp() override
    {
        http.server = [this](const HttpRequest& r) { return server(r); };
        plan = dir.filePath(QStringLiteral("p.pln"));
        QFile f(plan);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Zorvik Planner 3.2 0\r\nenglisheuro\r\n"
                "05/11/1996\r\n10:30\r\nSmith\r\n432\r\n\r\nQuote\r\n120\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\n"
                "13/02/1997\r\n\r\nJones\r\n\r\n555 1234\r\n\r\n\r\n40\r\n1\r\nplandefault\r\nplandefault\r\n\r\n"
                "plannerend\r\n");
    }
    int run(const QStringList& args, std::optional<QString> envPassword = std::nullopt)
    {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        PublishCommandServices services{http, passwords, preferences,
                                        [this](const std::function<bool()>& finished) {
                                            while (!finished() && http.deliver()) {
                                            }
                                        },
                                        envPassword, dir.filePath(QStringLiteral("state.json")),
                                        QDateTime(QDate(2026, 12, 8), QTime(7, 0), QTimeZone::utc())};
        const CommandLine c = parseCommandLine(args);
        EXPECT_EQ(c.command, CommandLine::Command::Publish) << c.error.toStdString();
        const int status = runPublishCommand(c, DateOrder::DayFirst, services, o, e);
        o.flush();
        e.flush();
        return status;
    }
    QByteArray planBytes()
    {
        QFile f(plan);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(PublishCommand, publishesWithThePlansSettingsAndThePasswordFromTheKeyring)
{
    preferences.setCalendarServer(plan, {QStringLiteral("http://dav.test/alice/plan/"), QStringLiteral("alice"), false, {}});
    passwords.kept[QStringLiteral("caldav:alice@dav.test")] = QStringLiteral("secret");
    const QByteArray before = planBytes();
    EXPECT_EQ(run({"--publish", plan}), 0) << err.toStdString();
    EXPECT_EQ(out, QStringLiteral("Added: 2\nChanged: 0\nDeleted: 0\nLeft as they were: 0\n"));
    EXPECT_EQ(server.items.size(), 2u);
    EXPECT_EQ(planBytes(), before);
    EXPECT_EQ(run({"--publish", plan}), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("Left as they were: 2")));
}

TEST_F(PublishCommand, theCalendarAndUserGivenAndTheEnvironmentsPasswordWin)
{
    EXPECT_EQ(run({"--publish", "--calendar", "http://dav.test/alice/plan/", "--user", "bob", plan}, QStringLiteral("pw")), 0);
    EXPECT_EQ(http.sent.front().url.host(), QStringLiteral("dav.test"));
    EXPECT_TRUE(http.sent.front().headers.contains(qMakePair(QByteArray("Authorization"), "Basic " + QByteArray("bob:pw").toBase64())));
}

TEST_F(PublishCommand, failuresGiveStatus1AndNoCalendarStatus2)
{
    EXPECT_EQ(run({"--publish", plan}), 2);
    EXPECT_TRUE(err.contains(QStringLiteral("no calendar server is set")));
    EXPECT_EQ(run({"--publish", "--calendar", "http://dav.test/alice/plan/", "--user", "bob", plan}), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("ZORVIK_CALDAV_PASSWORD")));
    server.failWith = 401;
    EXPECT_EQ(run({"--publish", "--calendar", "http://dav.test/alice/plan/", "--user", "bob", plan}, QStringLiteral("x")), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("(401)")));
}

TEST(PublishCommandLine, badArgumentsAreRefused)
{
    const QStringList bad[] = {{"--publish", "--calendar"},
                               {"--publish", "--calendar", "ftp://x/", "p.pln"},
                               {"--list", "--user", "bob", "p.pln"},
                               {"--publish", "--export", "p.pln"}};
    for (const QStringList& args : bad)
        EXPECT_EQ(parseCommandLine(args).command, CommandLine::Command::Error) << args.join(' ').toStdString();
}

} // namespace
} // namespace zp
