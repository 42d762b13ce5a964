#include "plan/PlanHistory.h"
#include "plan/RecordRepeat.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

QDate day(const char* text)
{
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("dd/MM/yyyy"));
}

QStringList texts(const std::vector<QDate>& dates)
{
    QStringList out;
    for (const QDate& d : dates)
        out << d.toString(QStringLiteral("dd/MM/yyyy"));
    return out;
}

TEST(RecordRepeat, datesAtMonthEndsLeapDaysAndLimits)
{
    struct Case {
        const char* start;
        RepeatEvery every;
        int count;
        const char* until;
        QStringList expected;
    };
    const Case cases[] = {
        {"31/01/2024", RepeatEvery::Month, 4, nullptr, {"29/02/2024", "31/03/2024", "30/04/2024", "31/05/2024"}},
        {"30/01/2023", RepeatEvery::Month, 3, nullptr, {"28/02/2023", "30/03/2023", "30/04/2023"}},
        {"30/04/2024", RepeatEvery::Month, 3, nullptr, {"31/05/2024", "30/06/2024", "31/07/2024"}},
        {"29/02/2024", RepeatEvery::Month, 2, nullptr, {"31/03/2024", "30/04/2024"}},
        {"15/12/2024", RepeatEvery::Month, 2, nullptr, {"15/01/2025", "15/02/2025"}},
        {"29/02/2024", RepeatEvery::Year, 4, nullptr, {"28/02/2025", "28/02/2026", "28/02/2027", "29/02/2028"}},
        {"27/02/2024", RepeatEvery::Day, 3, nullptr, {"28/02/2024", "29/02/2024", "01/03/2024"}},
        {"19/02/2024", RepeatEvery::TwoWeeks, 2, nullptr, {"04/03/2024", "18/03/2024"}},
        {"01/01/2024", RepeatEvery::Week, 99, "15/01/2024", {"08/01/2024", "15/01/2024"}},
        {"01/01/2024", RepeatEvery::Week, 99, "14/01/2024", {"08/01/2024"}},
        {"01/01/2024", RepeatEvery::Day, 99, "01/01/2024", {}},
        {"01/01/2024", RepeatEvery::Day, 0, nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        RepeatRule rule{c.every, c.until ? std::optional(day(c.until)) : std::nullopt, c.count};
        EXPECT_EQ(texts(repeatDates(day(c.start), rule)), c.expected);
    }
}

TEST(RecordRepeat, neverMoreCopiesThanAPlanHolds)
{
    EXPECT_EQ(repeatDates(day("01/01/2000"), {RepeatEvery::Day, std::nullopt, 50000}).size(), 32767u);
    EXPECT_EQ(repeatDates(day("01/01/2000"), {RepeatEvery::Day, day("01/01/2200"), 1}).size(), 32767u);
}

class RepeatStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.replaceAll({PlannerRecord::fromList({"05/01/2024", "09:00", "Standup", "", "", "", "", "", "0",
                                                   kNoAttachment, kNoAttachment, "06/01/2024"}),
                          PlannerRecord::fromList({"20/01/2024", "", "Other"})});
        store.currentRecord = 1;
    }
    RecordStore store;
    PlanHistory history{store};
    FakeMessageBox messages;
};

TEST_F(RepeatStoreTest, copiesGoInInDateOrderAsOneStep)
{
    const auto copies = repeatCopies(store, 1, {RepeatEvery::Week, std::nullopt, 3});
    ASSERT_EQ(copies.size(), 3u);
    EXPECT_EQ(copies[2][Field::FinishDate], "27/01/2024");
    EXPECT_EQ(addRepeatCopies(store, 1, copies, messages), 3);
    QStringList dates;
    for (int i = 1; i <= store.recordCount(); ++i)
        dates << store.field(Field::StartDate, i);
    EXPECT_EQ(dates, QStringList({"05/01/2024", "12/01/2024", "19/01/2024", "20/01/2024", "26/01/2024"}));
    EXPECT_TRUE(store.modified);
    EXPECT_EQ(history.undoName(), "Repeat 'Standup'");
    history.undo();
    EXPECT_EQ(store.recordCount(), 2);
}

TEST_F(RepeatStoreTest, recordWithoutDate_makesNoCopies)
{
    store.setField(Field::StartDate, 1, QString());
    EXPECT_TRUE(repeatCopies(store, 1, {RepeatEvery::Day, std::nullopt, 3}).empty());
}

// Past the record limit the user is asked, as a calendar import asks.
TEST_F(RepeatStoreTest, copiesPastTheLimit_areAskedAbout)
{
    std::vector<PlannerRecord> full(RecordStore::kMaxRecords - 2, PlannerRecord::fromList({"01/01/2000", "", "x"}));
    full.insert(full.begin(), store.record(1).toRecord());
    store.replaceAll(full);
    const auto copies = repeatCopies(store, 1, {RepeatEvery::Day, std::nullopt, 5});
    messages.script({MsgAnswer::No});
    EXPECT_EQ(addRepeatCopies(store, 1, copies, messages), 0);
    ASSERT_EQ(messages.calls.size(), 1u);
    EXPECT_TRUE(messages.calls[0].text.contains("room for only 1 more"));
    messages.script({MsgAnswer::Yes});
    EXPECT_EQ(addRepeatCopies(store, 1, copies, messages), 1);
    EXPECT_TRUE(store.isFull());
    EXPECT_EQ(addRepeatCopies(store, 1, copies, messages), 0);
    EXPECT_TRUE(messages.calls.back().text.contains("The plan is full"));
}

} // namespace
} // namespace zp
