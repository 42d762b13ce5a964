#include "views/Reminders.h"

#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord rec(const char* date, const char* time = "", const char* name = "", const char* status = "0")
{
    PlannerRecord r;
    r[Field::StartDate] = QString::fromUtf8(date);
    r[Field::Time] = QString::fromUtf8(time);
    r[Field::Name] = QString::fromUtf8(name);
    r[Field::JobStatus] = QString::fromUtf8(status);
    r[Field::ImagePath] = kNoAttachment;
    r[Field::AudioPath] = kNoAttachment;
    return r;
}

RecordStore storeOf(std::vector<PlannerRecord> records, const QString& style = kEnglishEuro)
{
    RecordStore store;
    store.systemDateStyle = style;
    store.fileDateStyle = style;
    store.replaceAll(std::move(records));
    return store;
}

// --- which records are due ----------------------------------------------------

struct DueCase {
    const char* what;
    QDate today;
    const char* startDate;
    bool listed;
};

class ReminderDueTest : public ::testing::TestWithParam<DueCase> {};

TEST_P(ReminderDueTest, listsOneToSevenDaysAhead)
{
    const DueCase& c = GetParam();
    const RecordStore store = storeOf({rec(c.startDate, "", "Job")});
    const ReminderList list = buildReminderList(store, c.today);
    EXPECT_EQ(list.hasReminders(), c.listed) << c.what << ": " << list.lines.join('|').toStdString();
}

const QDate k10Mar1997(1997, 3, 10);
const QDate k31Dec1997(1997, 12, 31);
const QDate k31Dec1996(1996, 12, 31);

INSTANTIATE_TEST_SUITE_P(DateExamples, ReminderDueTest, ::testing::Values(
    DueCase{"today itself", k10Mar1997, "10/03/1997", false},
    DueCase{"tomorrow", k10Mar1997, "11/03/1997", true},
    DueCase{"seventh day", k10Mar1997, "17/03/1997", true},
    DueCase{"eighth day", k10Mar1997, "18/03/1997", false},
    DueCase{"same day a year on", k10Mar1997, "11/03/1998", false},
    DueCase{"over a year end: first", k31Dec1997, "01/01/1998", true},
    DueCase{"over a year end: seventh", k31Dec1997, "07/01/1998", true},
    DueCase{"over a year end: eighth", k31Dec1997, "08/01/1998", false},
    DueCase{"after a leap year: tomorrow", k31Dec1996, "01/01/1997", true},
    DueCase{"after a leap year: seventh", k31Dec1996, "07/01/1997", true},
    DueCase{"after a leap year: eighth", k31Dec1996, "08/01/1997", false},
    DueCase{"into a leap day", QDate(1996, 2, 27), "29/02/1996", true},
    DueCase{"a word", k10Mar1997, "soon", false},
    DueCase{"a word with a number", k10Mar1997, "5 soon", false},
    DueCase{"a time alone", k10Mar1997, "10:30", false},
    DueCase{"no date", k10Mar1997, "", false},
    DueCase{"not a valid today", QDate(), "11/03/1997", false}));

TEST(RemindersTest, startDatesAreReadInTheStoresDateOrder)
{
    const RecordStore american = storeOf({rec("03/11/1997"), rec("11/03/1997")}, kAmerican);
    const ReminderList list = buildReminderList(american, k10Mar1997);
    EXPECT_EQ(list.index, std::vector<int>{1});
}

// --- lines, rows and index ---------------------------------------------------------

TEST(RemindersTest, linesShowNameDateTimeAndStatus)
{
    EXPECT_EQ(reminderLine(rec("12/11/1996", "10:30", "Smith")), "Smith, 12/11/1996, 10:30  (Pending)");
    EXPECT_EQ(reminderLine(rec("12/11/1996", "", "", "1")), "12/11/1996,  (Done)");
    EXPECT_EQ(reminderLine(rec("12/11/1996", "", "Smith")), "Smith, 12/11/1996,  (Pending)");
    EXPECT_EQ(reminderLine(rec("12/11/1996", "9:00")), "12/11/1996, 9:00  (Pending)");
}

TEST(RemindersTest, buildKeepsStoreOrderAndCopiesTheRecords)
{
    // Out of date order, as a project plan may be; the list keeps it.
    PlannerRecord full = rec("13/03/1997", "10:30", "Smith", "1");
    full[Field::Message] = QStringLiteral("Quote");
    full[Field::AudioPath] = QStringLiteral("/snd/a.wav");
    full[Field::FinishDate] = QStringLiteral("20/03/1997");
    std::vector<PlannerRecord> records(6, rec("01/01/1990"));
    records[1] = rec("15/03/1997", "", "Jones");
    records[3] = rec("12/03/1997");
    records[5] = full;
    RecordStore store = storeOf(records);

    const ReminderList list = buildReminderList(store, k10Mar1997);
    ASSERT_EQ(list.lines.size(), 3);
    EXPECT_EQ(list.lines[0], "Jones, 15/03/1997,  (Pending)");
    // A record without a name after one with a name starts with its date.
    EXPECT_EQ(list.lines[1], "12/03/1997,  (Pending)");
    EXPECT_EQ(list.lines[2], "Smith, 13/03/1997, 10:30  (Done)");
    EXPECT_EQ(list.index, (std::vector<int>{2, 4, 6}));
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(list.rows[2].number, " 6");
    EXPECT_EQ(list.rows[2].column(0), " 6");
    for (int f = 1; f <= Field::Count; ++f)
        EXPECT_EQ(list.rows[2].column(f), full[f]) << "column " << f;
    EXPECT_TRUE(list.rows[2].column(13).isEmpty());

    // The rows are copies: a later change of the plan does not reach them.
    store.setField(Field::Name, 6, QStringLiteral("Changed"));
    EXPECT_EQ(list.rows[2].column(Field::Name), "Smith");
}

TEST(RemindersTest, nothingDue_showsTheNoRemindersLineAlone)
{
    for (const RecordStore& store : {storeOf({}), storeOf({rec("10/03/1997"), rec("soon")})}) {
        const ReminderList list = buildReminderList(store, k10Mar1997);
        EXPECT_EQ(list.lines, QStringList{"No reminders for the coming week !"});
        EXPECT_TRUE(list.rows.empty());
        EXPECT_TRUE(list.index.empty());
        EXPECT_FALSE(list.hasReminders());
    }
}

// --- pressing a line ------------------------------------------------------------------

TEST(RemindersTest, pressOnNoRemindersLine_doesNothing)
{
    RecordStore store = storeOf({rec("10/03/1997")});
    store.pendingImagePath = QStringLiteral("/keep.bmp");
    store.currentSoundPath = QStringLiteral("/keep.wav");
    const ReminderList list = buildReminderList(store, k10Mar1997);

    EXPECT_FALSE(reminderRecordForLine(list, 0));
    EXPECT_FALSE(pressReminderLine(store, list, 0, 1));
    EXPECT_FALSE(pressReminderLine(store, list, -1, 1));
    EXPECT_EQ(store.pendingImagePath, "/keep.bmp");
    EXPECT_EQ(store.currentSoundPath, "/keep.wav");
}

TEST(RemindersTest, pressOnReminder_takesAttachmentsAndShowsTheRow)
{
    PlannerRecord withSound = rec("12/03/1997", "9:00", "Smith");
    withSound[Field::ImagePath] = QStringLiteral("/pics/s.bmp");
    withSound[Field::AudioPath] = QStringLiteral("/snd/s.wav");
    RecordStore store = storeOf({rec("11/03/1997"), rec("01/01/1990"), withSound});
    const ReminderList list = buildReminderList(store, k10Mar1997);
    ASSERT_EQ(list.index, (std::vector<int>{1, 3}));

    EXPECT_EQ(reminderRecordForLine(list, 1), 3);
    EXPECT_FALSE(reminderRecordForLine(list, 2));

    const auto press = pressReminderLine(store, list, 1, 1);
    ASSERT_TRUE(press);
    EXPECT_EQ(press->row, 1);
    EXPECT_EQ(press->record, 3);
    EXPECT_EQ(press->sound, "/snd/s.wav");
    EXPECT_EQ(press->soundProblem, "The sound /snd/s.wav cannot be played: The file does not exist.");
    EXPECT_EQ(store.pendingImagePath, "/pics/s.bmp");
    EXPECT_EQ(store.currentSoundPath, "/snd/s.wav");
    EXPECT_TRUE(press->infoText.startsWith("Planner Record Info:\r\nNo.  3\r\nStart date 12/03/1997, 9:00\r\n"))
        << press->infoText.toStdString();
    EXPECT_TRUE(press->infoText.contains("\r\nName  Smith\r\n"));

    // Sound off: the same, but nothing plays.
    EXPECT_FALSE(pressReminderLine(store, list, 1, 0)->sound);

    // A record without a sound ("plandefault") plays nothing, even with sound on.
    const auto quiet = pressReminderLine(store, list, 0, 1);
    ASSERT_TRUE(quiet);
    EXPECT_FALSE(quiet->sound);
    EXPECT_EQ(store.currentSoundPath, kNoAttachment);
    EXPECT_EQ(store.pendingImagePath, kNoAttachment);
}

struct DetailsPlaceCase {
    const char* what;
    QRect reminders;
    QPoint expected;
};

class DetailsWindowPlaceTest : public ::testing::TestWithParam<DetailsPlaceCase> {};

// A 200 x 150 details window on a 1024 x 768 screen.
TEST_P(DetailsWindowPlaceTest, standsBesideTheRemindersWindow)
{
    const DetailsPlaceCase& c = GetParam();
    const QRect screen(0, 0, 1024, 768);
    const QPoint at = detailsWindowPlace(c.reminders, QSize(200, 150), screen);
    EXPECT_EQ(at, c.expected) << c.what;
    EXPECT_TRUE(screen.contains(QRect(at, QSize(200, 150)))) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DetailsWindowPlaceTest,
    ::testing::Values(DetailsPlaceCase{"right", QRect(100, 100, 300, 200), QPoint(402, 100)},
                      DetailsPlaceCase{"left, no room right", QRect(700, 100, 300, 200), QPoint(498, 100)},
                      DetailsPlaceCase{"kept above the screen's bottom", QRect(100, 700, 300, 60), QPoint(402, 618)},
                      DetailsPlaceCase{"below, no room beside", QRect(10, 0, 1000, 300), QPoint(10, 302)},
                      DetailsPlaceCase{"above, no room beside or below", QRect(10, 500, 1000, 268), QPoint(10, 348)},
                      DetailsPlaceCase{"no room anywhere", QRect(100, 0, 924, 768), QPoint(0, 0)}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace
} // namespace zp
