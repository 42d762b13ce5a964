// The calendar server menu items against a calendar in memory: settings,
// passwords, publish with its summary, conflicts, publish after save and
// import.
#include "app/windows/CalendarCommands.h"
#include "app/windows/CalendarServerCommands.h"
#include "support/Fakes.h"
#include "support/MemoryCalDav.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zp {
namespace {

struct FakePrompt : PasswordPrompt {
    std::deque<std::optional<QString>> answers;
    QStringList asked;
    std::optional<QString> askPassword(const QString&, const QString& text) override
    {
        asked << text;
        if (answers.empty())
            return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct ServerCommands : ::testing::Test {
    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    FakeHttp http;
    MemoryCalDav server;
    FakePasswordStore passwords;
    FakePrompt prompt;
    std::deque<std::optional<CalendarServerChoice>> settingsAnswers;
    int settingsShown = 0;
    std::vector<bool> progressShown;
    QStringList hints;
    QByteArray password = "secret";
    CalendarCommands calendar{state, test.platform(), [] {}, [this](const QString& t) { hints << t; }};
    std::unique_ptr<CalendarServerCommands> commands;

    void SetUp() override
    {
        for (int i = 1; i <= 3; ++i)
            state.store.insertInDateOrder(
                PlannerRecord::fromList({QStringLiteral("0%1/03/2027").arg(i), "09:00", QStringLiteral("Meeting %1").arg(i)}));
        state.store.planFileName = dir.filePath(QStringLiteral("plan.pln"));
        test.clock.current = QDateTime(QDate(2026, 12, 8), QTime(7, 0));
        http.server = [this](const HttpRequest& r) {
            if (!r.headers.contains(qMakePair(QByteArray("Authorization"), "Basic " + ("alice:" + password).toBase64())))
                return HttpReply(401);
            return server(r);
        };
        auto edit = [this](const CalendarServerChoice&) -> std::optional<CalendarServerChoice> {
            ++settingsShown;
            if (settingsAnswers.empty())
                return std::nullopt;
            auto a = settingsAnswers.front();
            settingsAnswers.pop_front();
            return a;
        };
        commands = std::make_unique<CalendarServerCommands>(
            state, test.platform(),
            CalendarServerCommands::Services{http, passwords, prompt, edit,
                                             [this](bool shown, const QString&, int, int) { progressShown.push_back(shown); }},
            calendar, [this](const QString& t) { hints << t; });
        commands->setStateFolder(dir.path());
    }
    void settle()
    {
        for (int i = 0; i < 1000 && (http.deliver() || commands->busy() || i < 3); ++i)
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void setUp(bool afterSave = false)
    {
        state.preferences.setCalendarServer(state.store.planFileName,
                                            {QStringLiteral("http://dav.test/alice/plan/"), QStringLiteral("alice"), afterSave, {}});
        passwords.kept[QStringLiteral("caldav:alice@dav.test")] = QStringLiteral("secret");
    }
    QString lastMessage() const { return test.messages.calls.empty() ? QString() : test.messages.calls.back().text; }
};

TEST_F(ServerCommands, theFirstPublishAsksForTheServerKeepsThePasswordInTheKeyringAndSaysWhatItDid)
{
    settingsAnswers.push_back(CalendarServerChoice{"http://dav.test/alice/plan/", "alice", "secret", false});
    commands->publish();
    settle();
    EXPECT_EQ(settingsShown, 1);
    EXPECT_EQ(passwords.kept[QStringLiteral("caldav:alice@dav.test")], QStringLiteral("secret"));
    EXPECT_FALSE(state.preferences.value(QStringLiteral("CalendarServer/%1/password")
                                             .arg(calendarServerPlanKey(state.store.planFileName))).isValid());
    EXPECT_EQ(server.items.size(), 3u);
    EXPECT_EQ(lastMessage(), QStringLiteral("Added: 3\nChanged: 0\nDeleted: 0\nLeft as they were: 0"));
    ASSERT_FALSE(progressShown.empty());
    EXPECT_TRUE(progressShown.front());
    EXPECT_FALSE(progressShown.back());
}

TEST_F(ServerCommands, withoutAKeyringThePasswordIsAskedOnceASessionAndKeptNowhere)
{
    setUp();
    passwords.kept.clear();
    passwords.working = false;
    prompt.answers = {QStringLiteral("secret")};
    commands->publish();
    settle();
    commands->publish();
    settle();
    EXPECT_EQ(prompt.asked.size(), 1);
    EXPECT_TRUE(passwords.kept.empty());
    EXPECT_EQ(server.items.size(), 3u);
}

TEST_F(ServerCommands, aRefusedPasswordIsAskedAgainAndTheNewOneKept)
{
    setUp();
    passwords.kept[QStringLiteral("caldav:alice@dav.test")] = QStringLiteral("old");
    prompt.answers = {QStringLiteral("secret")};
    commands->publish();
    settle();
    ASSERT_EQ(prompt.asked.size(), 1);
    EXPECT_TRUE(prompt.asked[0].contains(QStringLiteral("refused")));
    EXPECT_EQ(passwords.kept[QStringLiteral("caldav:alice@dav.test")], QStringLiteral("secret"));
    EXPECT_EQ(server.items.size(), 3u);
}

TEST_F(ServerCommands, aChangeOnTheServerIsImportedAsANewRecordWhenTheUserSaysNo)
{
    setUp();
    commands->publish();
    settle();
    auto& [path, item] = *server.items.begin();
    server.put(path, QByteArray(item.text).replace("SUMMARY:Meeting 1", "SUMMARY:Meeting on the phone"));
    test.messages.answers = {MsgAnswer::No, MsgAnswer::Ok};
    commands->publish();
    settle();
    ASSERT_GE(test.messages.calls.size(), 3u);
    EXPECT_TRUE(test.messages.calls[1].text.contains(QStringLiteral("Meeting on the phone")));
    EXPECT_EQ(state.store.recordCount(), 4);
    // The plan's own record goes back to the server on the next publish.
    commands->publish();
    settle();
    EXPECT_FALSE(server.items[path].text.contains("Meeting on the phone"));
}

TEST_F(ServerCommands, aChangeOnTheServerIsOverwrittenWhenTheUserSaysYes)
{
    setUp();
    commands->publish();
    settle();
    auto& [path, item] = *server.items.begin();
    server.put(path, QByteArray(item.text).replace("SUMMARY:Meeting 1", "SUMMARY:Meeting on the phone"));
    test.messages.answers = {MsgAnswer::Yes};
    commands->publish();
    settle();
    EXPECT_FALSE(server.items[path].text.contains("Meeting on the phone"));
    EXPECT_EQ(state.store.recordCount(), 3);
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("Added: 0\nChanged: 1"))) << lastMessage().toStdString();
}

TEST_F(ServerCommands, aSaveWithPublishChosenPublishesAndSaysSoInTheHintLine)
{
    setUp(true);
    commands->planSaved();
    settle();
    EXPECT_EQ(server.items.size(), 3u);
    EXPECT_TRUE(test.messages.calls.empty());
    EXPECT_EQ(hints.last(), QStringLiteral("Published: 3 added, 0 changed, 0 deleted"));
    setUp(false);
    commands->planSaved();
    settle();
    EXPECT_EQ(http.methodCount("REPORT"), 1);
}

TEST_F(ServerCommands, importBringsTheServersEventsThroughTheCalendarImport)
{
    setUp();
    server.put(QStringLiteral("/alice/plan/x.ics"),
               "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nUID:x\r\nDTSTAMP:20261201T000000Z\r\n"
               "DTSTART:20270105T100000Z\r\nSUMMARY:From the phone\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    test.numberDialog.answers = {6};
    commands->importFromServer();
    settle();
    EXPECT_EQ(state.store.recordCount(), 4);
    EXPECT_TRUE(http.sent.back().body.contains("start=\"20261208T000000Z\" end=\"20270608T000000Z\""));
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("Records added: 1"))) << lastMessage().toStdString();
}

TEST_F(ServerCommands, aRedirectToAnotherHostIsAskedAndOnceAgreedKeptForThePlan)
{
    setUp();
    auto moved = http.server;
    http.server = [moved](const HttpRequest& r) {
        if (r.url.host() == QStringLiteral("dav.test"))
            return HttpReply(301, {{"Location", "https://new.test/alice/plan/"}});
        return moved(r);
    };
    test.messages.answers = {MsgAnswer::No};
    commands->publish();
    settle();
    EXPECT_TRUE(test.messages.calls[0].text.contains(QStringLiteral("https://new.test/alice/plan/")));
    EXPECT_TRUE(server.items.empty());
    test.messages.answers = {MsgAnswer::Yes};
    commands->publish();
    settle();
    EXPECT_EQ(server.items.size(), 3u);
    EXPECT_EQ(state.preferences.calendarServer(state.store.planFileName).url, QStringLiteral("https://new.test/alice/plan/"));
}

TEST_F(ServerCommands, aRefusedCertificateIsTrustedOnlyWhenTheUserSaysSoAndThatIsRemembered)
{
    setUp();
    auto checked = http.server;
    http.server = [this, checked](const HttpRequest& r) {
        if (!http.accepted.empty())
            return checked(r);
        HttpReply refused(0, {}, {}, QStringLiteral("the server's certificate was refused: self-signed"));
        refused.refusedCertificate = "ab12";
        return refused;
    };
    test.messages.answers = {MsgAnswer::No};
    commands->publish();
    settle();
    EXPECT_TRUE(test.messages.calls[0].text.contains(QStringLiteral("self-signed")));
    EXPECT_TRUE(server.items.empty());
    test.messages.answers = {MsgAnswer::Yes};
    commands->publish();
    settle();
    EXPECT_EQ(server.items.size(), 3u);
    EXPECT_EQ(state.preferences.calendarServer(state.store.planFileName).certificates,
              QStringList{QStringLiteral("dav.test ab12")});
    http.accepted.clear();
    commands->publish(); // the remembered certificate is trusted again, unasked
    settle();
    EXPECT_EQ(http.accepted.size(), 1u);
}

TEST_F(ServerCommands, cancelStopsThePublishAndTheNextOneSendsTheRest)
{
    setUp();
    commands->publish();
    http.deliver(); // the sync report
    http.deliver(); // one PUT
    commands->cancel();
    settle();
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("cancelled"))) << lastMessage().toStdString();
    EXPECT_LE(server.items.size(), 2u);
    commands->publish();
    settle();
    EXPECT_EQ(server.items.size(), 3u);
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("Left as they were: 1"))) << lastMessage().toStdString();
}

} // namespace
} // namespace zp
