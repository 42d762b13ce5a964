#include "views/RecordDetails.h"

#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord sample()
{
    PlannerRecord r;
    r[Field::StartDate] = QStringLiteral("05/11/1996");
    r[Field::Time] = QStringLiteral("10:30");
    r[Field::Name] = QStringLiteral("Smith");
    r[Field::PhoneAfterHours] = QStringLiteral("432");
    r[Field::PhoneBusinessHours] = QString();
    r[Field::Message] = QStringLiteral("Quote");
    r[Field::Income] = QStringLiteral("120");
    r[Field::Expense] = QStringLiteral("0");
    r[Field::JobStatus] = QStringLiteral("1");
    r[Field::ImagePath] = QStringLiteral("plandefault");
    r[Field::AudioPath] = QStringLiteral("/snd/a.wav");
    r[Field::FinishDate] = QStringLiteral("06/11/1996");
    return r;
}

// The ten lines after the date line, with the default captions.
const QString kTenLines = QStringLiteral(
    "Finish date  06/11/1996\r\n"
    "Name  Smith\r\n"
    "Phone(ah)  432\r\n"
    "Phone(bh)  \r\n"
    "Message  Quote\r\n"
    "Income  120\r\n"
    "Expense  0\r\n"
    "Job status  Done \r\n"
    "Image  plandefault\r\n"
    "Sound  /snd/a.wav\r\n");

RecordStore storeWith(std::vector<PlannerRecord> records)
{
    RecordStore store;
    for (int k = 1; k <= 12; ++k)
        store.fieldLabels[static_cast<std::size_t>(k)] = RecordStore::defaultFieldLabels()[static_cast<std::size_t>(k)];
    store.replaceAll(std::move(records));
    return store;
}

// --- details texts ---------------------------------------------------------------

struct SwitchCase {
    const char* startDateSwitch; // label 14
    const char* timeSwitch;      // label 18
    const char* dateLine;
};

class DetailsDateLineTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(DetailsDateLineTest, dateLineFollowsTheTwoSwitchesTenLinesAlwaysShow)
{
    const SwitchCase& c = GetParam();
    RecordStore store = storeWith({PlannerRecord{}, sample()});
    store.fieldLabels[14] = QString::fromUtf8(c.startDateSwitch);
    store.fieldLabels[18] = QString::fromUtf8(c.timeSwitch);
    // Every other column switched off: the ten lines show regardless.
    for (int k : {13, 15, 16, 17, 19, 20, 21, 22, 23, 24})
        store.fieldLabels[static_cast<std::size_t>(k)] = QStringLiteral("off");
    const QString body = QString::fromUtf8(c.dateLine) + kTenLines;

    EXPECT_EQ(recordDetailsText(store, 2), "Planner Record No. 2\r\n" + body);
    EXPECT_EQ(recordDetailsText(store, ReminderRow{QStringLiteral(" 7"), sample()}),
              "Planner Record Info:\r\nNo.  7\r\n" + body);
}

INSTANTIATE_TEST_SUITE_P(Switches, DetailsDateLineTest, ::testing::Values(
    SwitchCase{"on", "on", "Start date 05/11/1996, 10:30\r\n"},
    SwitchCase{"on", "off", "Start date 05/11/1996\r\n"},
    SwitchCase{"off", "on", "Start date 05/11/1996, 10:30\r\n"},
    SwitchCase{"off", "off", ""},
    // Only the exact word "off" switches a column off.
    SwitchCase{"OFF", "Off", "Start date 05/11/1996, 10:30\r\n"}));

TEST(RecordDetailsTest, statusIsDoneOnlyForExactlyOne)
{
    const RecordStore store = storeWith({});
    PlannerRecord r = sample();
    for (const char* status : {"0", " 1", "", "Done"}) {
        r[Field::JobStatus] = QString::fromUtf8(status);
        EXPECT_TRUE(recordDetailsBody(store.fieldLabels, r).contains("\r\nJob status  Pending\r\n")) << status;
    }
}

TEST(RecordDetailsTest, detailsPage_bringsCurrentRecordIntoRange)
{
    PlannerRecord other = sample();
    other[Field::Name] = QStringLiteral("Jones");
    RecordStore store = storeWith({sample(), other});

    store.currentRecord = 2;
    EXPECT_TRUE(detailsPageText(store).startsWith("Planner Record No. 2\r\n"));
    EXPECT_TRUE(detailsPageText(store).contains("Name  Jones"));
    for (int outside : {0, 3, -4}) {
        store.currentRecord = outside;
        EXPECT_TRUE(detailsPageText(store).startsWith("Planner Record No. 1\r\n")) << outside;
        EXPECT_EQ(store.currentRecord, 1);
    }

    RecordStore empty;
    empty.currentRecord = 5;
    EXPECT_TRUE(detailsPageText(empty).isEmpty());
    EXPECT_EQ(empty.currentRecord, 1);
}

TEST(RecordDetailsTest, recordInfoText_onlyForRowsWithinThePlan)
{
    RecordStore store = storeWith({sample()});
    ReminderList reminders;
    reminders.lines = {QStringLiteral("x")};
    reminders.rows = {ReminderRow{QStringLiteral(" 1"), sample()}};
    reminders.index = {1};
    EXPECT_TRUE(recordInfoText(store, reminders, 0));
    EXPECT_FALSE(recordInfoText(store, reminders, 1));
    EXPECT_FALSE(recordInfoText(store, reminders, -1));
    store.clearStore();
    EXPECT_FALSE(recordInfoText(store, reminders, 0));
}

// --- phone book ----------------------------------------------------------------------

PlannerRecord contact(const char* name, const char* afterHours, const char* business)
{
    PlannerRecord r;
    r[Field::Name] = QString::fromUtf8(name);
    r[Field::PhoneAfterHours] = QString::fromUtf8(afterHours);
    r[Field::PhoneBusinessHours] = QString::fromUtf8(business);
    return r;
}

std::vector<PhoneBookRow> rows(std::initializer_list<std::pair<const char*, const char*>> cells)
{
    std::vector<PhoneBookRow> out;
    for (const auto& [name, phone] : cells)
        out.push_back({QString::fromUtf8(name), QString::fromUtf8(phone)});
    return out;
}

TEST(PhoneBookTest, entryAndRow_noneForEmptyFields)
{
    EXPECT_EQ(phoneBookEntry(contact("Smith", "432", "")), "Smith      *(AH) 432 (BH) None");
    EXPECT_EQ(phoneBookEntry(contact("", "", "")), "None      *(AH) None (BH) None");
    EXPECT_EQ(phoneBookRows("Smith      *(AH) 432 (BH) None"), rows({{"Smith      ", "(AH) 432 (BH) None"}}));
}

TEST(PhoneBookTest, starsSplitEntriesExceptInTheLastFourCharacters)
{
    // A "*" in the name cuts the entry there as well as at its own "*".
    EXPECT_EQ(phoneBookRows(phoneBookEntry(contact("Tom*Cat", "1", "2"))),
              rows({{"Tom", "Cat      *(AH) 1 (BH) 2"}, {"Tom*Cat      ", "(AH) 1 (BH) 2"}}));
    // So does one in a phone number ...
    EXPECT_EQ(phoneBookRows(phoneBookEntry(contact("Bob", "*61", "2"))),
              rows({{"Bob      ", "(AH) *61 (BH) 2"}, {"Bob      *(AH) ", "61 (BH) 2"}}));
    // ... unless it is among the last four characters.
    EXPECT_EQ(phoneBookRows(phoneBookEntry(contact("Bob", "1", "55*"))),
              rows({{"Bob      ", "(AH) 1 (BH) 55*"}}));
    EXPECT_EQ(phoneBookRows(phoneBookEntry(contact("Bob", "1", "5*555"))).size(), 1u);
    EXPECT_EQ(phoneBookRows(phoneBookEntry(contact("Bob", "1", "5*5555"))).size(), 2u);
    EXPECT_TRUE(phoneBookRows(QStringLiteral("a*bcd")).empty());
    EXPECT_EQ(phoneBookRows(QStringLiteral("*abcd")), rows({{"", "abcd"}}));
    EXPECT_TRUE(phoneBookRows(QString()).empty());
}

TEST(PhoneBookTest, build_sortsByWholeEntryIgnoringCase)
{
    const RecordStore store = storeWith({
        contact("smith", "1", ""),
        contact("", "", "77"),
        contact("Adams", "", ""),
        contact("Smith", "1", ""),
        contact("Tom*Cat", "5", ""),
        contact("", "9", ""),
        contact("Smith Jones", "3", ""),
        contact("Smithers", "4", ""),
    });
    const PhoneBook book = buildPhoneBook(store);
    EXPECT_EQ(book.heading, (PhoneBookRow{"Name", "Phone"}));
    EXPECT_EQ(book.rows, rows({
        {"Adams      ", "(AH) None (BH) None"},
        // Both unnamed records stand under "None", ordered by their phones.
        {"None      ", "(AH) 9 (BH) None"},
        {"None      ", "(AH) None (BH) 77"},
        // Equal but for letter case: store order. A name's blanks sort before
        // letters, so "Smith" comes before "Smith Jones" and "Smithers".
        {"smith      ", "(AH) 1 (BH) None"},
        {"Smith      ", "(AH) 1 (BH) None"},
        {"Smith Jones      ", "(AH) 3 (BH) None"},
        {"Smithers      ", "(AH) 4 (BH) None"},
        {"Tom", "Cat      *(AH) 5 (BH) None"},
        {"Tom*Cat      ", "(AH) 5 (BH) None"},
    }));
    // The records themselves are left as they were.
    EXPECT_TRUE(store.field(Field::Name, 2).isEmpty());
}

TEST(PhoneBookTest, emptyPlanGivesTheHeadingAlone)
{
    EXPECT_TRUE(buildPhoneBook(RecordStore{}).rows.empty());
}

TEST(PhoneBookTest, columnWidthsFollowTheGrid)
{
    EXPECT_EQ(phoneBookColumnWidth(0), 2000);
    EXPECT_EQ(phoneBookColumnWidth(12399), 2000);
    EXPECT_EQ(phoneBookColumnWidth(12400), 3875);
    EXPECT_EQ(phoneBookColumnWidth(16000), 5000);
}

} // namespace
} // namespace zp
