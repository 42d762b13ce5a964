#include "app/SystemInfo.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace zp {
namespace {

SystemFacts facts()
{
    return SystemFacts{QStringLiteral("Linux"), 6, 1, 76, QStringLiteral("12"), QSize(1280, 1024),
                       QStringLiteral("/opt/zorvik/bin"), std::int64_t{2345678}};
}

const ProgramVersion kVersion{3, 2, 0, 412};

// Twelve fields: start, time, name, AH, BH, message, income, expense, status, image, audio, finish.
PlannerRecord record(const QString& income, const QString& expense, const QString& status,
                     const QString& name = QStringLiteral("Smith"))
{
    return PlannerRecord::fromList({"05/11/1996", "10:30", name, "432", "", "Quote", income, expense, status,
                                    "plandefault", "plandefault", ""});
}

QStringList lines(const QString& text)
{
    EXPECT_TRUE(text.endsWith(QLatin1String("\r\n")));
    QStringList l = text.split(QStringLiteral("\r\n"));
    l.removeLast();
    return l;
}

TEST(SystemInfoTest, everyLineInOrderFromFixedFactsAndAPlan)
{
    RecordStore store;
    store.planFileName = QStringLiteral("/home/ann/jobs.pln");
    store.replaceAll({record("120 dollars", "20", "1"), record("1,250", "", "0", "Jones")});
    const QStringList expected = {
        "SYSTEM INFORMATION",
        "Platform: Linux",
        "Version:  6. 1. 76",
        "CSDVersion:  12",
        "Screen Mode:  1280x 1024",
        "",
        "APPLICATION INFORMATION",
        "Application Path: /opt/zorvik/bin",
        "Application Size: 2345678",
        "Application Version: 3.2.0.412",
        "Product Version: 3.2.0.412",
        "Structure Version: 1.0",
        "",
        "FILE INFORMATION",
        "Current file: /home/ann/jobs.pln",
        "Total records:  2",
        // 10+5+5+3+0+5+11+2+1+11, then 10+5+5+3+0+5+5+0+1+11
        "Total characters:  98",
        "Total income: $1,370.00",
        "Total expenses: $20.00",
        "Balance: $1,350.00",
        "Completed records:  1",
        "Outstanding records:  1",
    };
    EXPECT_EQ(lines(systemInfoText(facts(), kVersion, store)), expected);
    EXPECT_EQ(systemInfoText(facts(), kVersion, store, QStringLiteral("\n")).count(u'\n'), expected.size());
}

TEST(SystemInfoTest, emptyPlanShowsTheFixedFileSectionWhateverItsName)
{
    const QStringList fixed = {"Current file: New Plan ", "Total records: 0",      "Total characters: 0",
                               "Total income: $0.00",     "Total expenses: $0.00", "Balance: $ 0",
                               "Completed records: 0",    "Outstanding records: 0"};
    for (const char* name : {"", "/home/ann/empty.pln"}) {
        RecordStore store;
        store.planFileName = QString::fromLatin1(name);
        EXPECT_EQ(lines(systemInfoText(facts(), kVersion, store)).mid(14), fixed) << name;
    }
}

TEST(SystemInfoTest, statisticsCountAsThePageSays)
{
    struct Case {
        std::vector<PlannerRecord> records;
        const char* characters;
        const char* income;
        const char* expenses;
        const char* balance;
        const char* completed;
        const char* outstanding;
    };
    PlannerRecord withAttachments = record("", "", "yes");
    withAttachments[Field::AudioPath] = QStringLiteral("/very/long/path/of/a/recording.wav");
    withAttachments[Field::FinishDate] = QStringLiteral("31/12/1996");
    const Case cases[] = {
        {{record("120 dollars", "20", "1")}, " 53", "120.00", "20.00", "100.00", " 1", " 0"},
        // "yes" is neither done nor pending; the audio path and finish date add nothing.
        {{withAttachments}, " 42", "0.00", "0.00", "0.00", " 0", " 0"},
        {{record("1.005", "", "1"), record("1.005", "0.3", "1")}, " 93", "2.01", "0.30", "1.71", " 2", " 0"},
        {{record("0.1", "0.3", "0"), record("0.2", "", "0")}, " 89", "0.30", "0.30", "0.00", " 0", " 2"},
        {{record("abc", "1e3", "0")}, " 46", "0.00", "1,000.00", "-1,000.00", " 0", " 1"},
        // A character outside the basic plane counts once.
        {{record("", "", "1", QStringLiteral("Zoë 😀"))}, " 40", "0.00", "0.00", "0.00", " 1", " 0"},
    };
    for (const Case& c : cases) {
        RecordStore store;
        store.replaceAll(c.records);
        const QStringList l = lines(systemInfoText(facts(), kVersion, store));
        ASSERT_EQ(l.size(), 22);
        EXPECT_EQ(l[14], "Current file: None");
        EXPECT_EQ(l[16], QStringLiteral("Total characters: ") + c.characters);
        EXPECT_EQ(l[17], QStringLiteral("Total income: $") + c.income);
        EXPECT_EQ(l[18], QStringLiteral("Total expenses: $") + c.expenses);
        EXPECT_EQ(l[19], QStringLiteral("Balance: $") + c.balance);
        EXPECT_EQ(l[20], QStringLiteral("Completed records: ") + c.completed);
        EXPECT_EQ(l[21], QStringLiteral("Outstanding records: ") + c.outstanding);
    }
}

TEST(SystemInfoTest, systemAndApplicationLinesFollowTheFacts)
{
    const RecordStore empty;
    auto withFacts = [&](auto change, ProgramVersion version = kVersion) {
        SystemFacts f = facts();
        change(f);
        return lines(systemInfoText(f, version, empty));
    };
    // No platform name: no platform line.
    EXPECT_EQ(withFacts([](SystemFacts& f) { f.platformName.clear(); })[1], "Version:  6. 1. 76");
    for (const auto& [level, shown] : {std::pair{"12.3", " 12.3"}, {"", " 0"}, {"rolling", " 0"}, {"24.04 LTS", " 24.04"}})
        EXPECT_EQ(withFacts([&](SystemFacts& f) { f.serviceLevel = QString::fromLatin1(level); })[3],
                  QStringLiteral("CSDVersion: ") + shown);
    EXPECT_EQ(withFacts([](SystemFacts& f) { f.screenPixels.reset(); })[4], "Screen Mode: none");

    // The program file cannot be read: one line instead of four, the rest as usual.
    const QStringList unreadable = withFacts([](SystemFacts& f) { f.programFileSize.reset(); });
    EXPECT_EQ(unreadable.mid(7, 4), (QStringList{"Application Path: /opt/zorvik/bin", "Application info not available",
                                                 "", "FILE INFORMATION"}));
    EXPECT_EQ(unreadable.size(), 19);

    // Version parts are signed 16-bit halves.
    const QStringList big = withFacts([](SystemFacts&) {}, ProgramVersion{3, 2, 40000, 65535});
    EXPECT_EQ(big[9], "Application Version: 3.2.-25536.-1");
    EXPECT_EQ(big[10], "Product Version: 3.2.-25536.-1");
}

} // namespace
} // namespace zp
