#include "app/windows/MainWindow.h"
#include "plan/Calendar.h"
#include "support/Fakes.h"

#include <QAction>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace zp {
namespace {

class CalendarMenuTest : public ::testing::Test {
protected:
    CalendarMenuTest()
    {
        test.clock.set(2026, 12, 7, 9, 0);
        window = std::make_unique<MainWindow>(state, test.platform());
        window->initialise();
    }
    void addRecord(const char* date, const char* name)
    {
        state.store.insertInDateOrder(PlannerRecord::fromList(
            {QString::fromLatin1(date), "10:00", QString::fromLatin1(name), "", "", "", "", "", "0", kNoAttachment,
             kNoAttachment, ""}));
    }
    int listRows() { return window->findChild<QListView*>("Viewlist")->model()->rowCount(); }
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void importFile(const QString& file)
    {
        test.fileDialogs.scriptOpen(file);
        window->menuAction("Importcalendar")->trigger();
    }

    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    std::unique_ptr<MainWindow> window;
};

TEST_F(CalendarMenuTest, exportThenImportIntoANewPlanThroughTheMenus)
{
    addRecord("05/11/1996", "Smith");
    addRecord("01/02/1997", "Jones");
    test.fileDialogs.scriptSave(path("work")); // no extension given
    window->menuAction("Exportcalendar")->trigger();
    EXPECT_EQ(test.fileDialogs.saveRequests.back().filter, kCalendarFileFilter);
    QFile written(path("work.ics"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().count("BEGIN:VEVENT"), 2);

    const std::vector<PlannerRecord> before = {state.store.record(1).toRecord(), state.store.record(2).toRecord()};
    test.messages.script({MsgAnswer::No}); // no saving of the old plan
    window->menuAction("Newplan")->trigger();
    state.store.modified = false;
    importFile(path("work.ics"));
    EXPECT_EQ(test.messages.last().text, calendarImportSummary(2, 0, 0));
    EXPECT_EQ(test.messages.last().title, "Calendar Import");
    ASSERT_EQ(state.store.recordCount(), 2);
    EXPECT_EQ(state.store.record(1), before[0]);
    EXPECT_EQ(state.store.record(2), before[1]);
    EXPECT_TRUE(state.store.modified);
    EXPECT_EQ(listRows(), 2);

    importFile(path("work.ics")); // a second time: both already there
    EXPECT_EQ(test.messages.last().text, calendarImportSummary(0, 2, 0));
    EXPECT_EQ(state.store.recordCount(), 2);
}

TEST_F(CalendarMenuTest, repeatingEventsAreAddedForTheMonthsChosen)
{
    QFile file(path("rent.ics"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//EN\r\nBEGIN:VEVENT\r\nUID:r\r\n"
               "DTSTART;VALUE=DATE:20200115\r\nRRULE:FREQ=MONTHLY\r\nSUMMARY:Rent\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    file.close();
    test.numberDialog.answers = {std::nullopt, 3};
    importFile(path("rent.ics")); // cancelled: nothing at all
    EXPECT_EQ(state.store.recordCount(), 0);
    EXPECT_TRUE(test.messages.empty());
    importFile(path("rent.ics"));
    EXPECT_EQ(test.numberDialog.requests.back().label, calendarRecurrenceQuestion(1));
    EXPECT_EQ(test.numberDialog.requests.back().value, 12);
    ASSERT_EQ(state.store.recordCount(), 3); // 15 December 2026 to 15 February 2027
    EXPECT_EQ(state.store.field(Field::StartDate, 1), "15/12/2026");
    EXPECT_EQ(test.messages.last().text, calendarImportSummary(3, 0, 0));
}

TEST_F(CalendarMenuTest, damagedFileOrFullPlanChangesNothing)
{
    QFile bad(path("bad.ics"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20260101\r\n");
    bad.close();
    addRecord("05/11/1996", "Smith");
    importFile(path("bad.ics"));
    EXPECT_EQ(test.messages.last().style, MsgStyle::Exclamation);
    EXPECT_TRUE(test.messages.last().text.startsWith("Nothing was imported from bad.ics."));
    EXPECT_EQ(state.store.recordCount(), 1);
    EXPECT_FALSE(state.store.modified);

    // A calendar of three new records into a plan with room for two: the
    // question, and on Yes the two earliest go in.
    QFile three(path("three.ics"));
    ASSERT_TRUE(three.open(QIODevice::WriteOnly));
    three.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//EN\r\n"
                "BEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20270103\r\nSUMMARY:c\r\nEND:VEVENT\r\n"
                "BEGIN:VEVENT\r\nUID:b\r\nDTSTART;VALUE=DATE:20270101\r\nSUMMARY:a\r\nEND:VEVENT\r\n"
                "BEGIN:VEVENT\r\nUID:c\r\nDTSTART;VALUE=DATE:20270102\r\nSUMMARY:b\r\nEND:VEVENT\r\n"
                "END:VCALENDAR\r\n");
    three.close();
    std::vector<PlannerRecord> full(std::size_t(RecordStore::kMaxRecords - 2), state.store.record(1).toRecord());
    state.store.replaceAll(full);
    for (int answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        test.messages.script({answer});
        importFile(path("three.ics"));
    }
    const auto& calls = test.messages.calls;
    EXPECT_EQ(calls[calls.size() - 3].text, calendarImportLimitQuestion(3, 2));
    EXPECT_EQ(calls[calls.size() - 3].style, MsgStyle::YesNoQuestion);
    EXPECT_EQ(calls.back().text, calendarImportSummary(2, 0, 0));
    EXPECT_EQ(state.store.recordCount(), RecordStore::kMaxRecords);
    EXPECT_EQ(state.store.field(Field::Name, RecordStore::kMaxRecords), "b");
}

// A link to the open plan and a pipe are refused with a message, and
// neither is touched.
TEST_F(CalendarMenuTest, exportToALinkToThePlanOrToAPipe_isRefusedWithAMessage)
{
    addRecord("05/11/1996", "Smith");
    state.store.planFileName = path("work.pln");
    QFile plan(state.store.planFileName);
    ASSERT_TRUE(plan.open(QIODevice::WriteOnly));
    plan.write("the plan");
    plan.close();
    ASSERT_TRUE(QFile::link(state.store.planFileName, path("link.ics")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.ics")).constData(), 0600), 0);
    const struct {
        const char* target;
        const char* reason;
    } cases[] = {{"link.ics", "open plan"}, {"pipe.ics", "not a regular file"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        test.fileDialogs.scriptSave(path(c.target));
        window->menuAction("Exportcalendar")->trigger();
        ASSERT_FALSE(test.messages.empty());
        EXPECT_TRUE(test.messages.last().text.startsWith("The calendar cannot be written to " + path(c.target)));
        EXPECT_TRUE(test.messages.last().text.contains(c.reason));
        EXPECT_EQ(test.messages.last().style, MsgStyle::Exclamation);
    }
    ASSERT_TRUE(plan.open(QIODevice::ReadOnly));
    EXPECT_EQ(plan.readAll(), "the plan");
    struct stat pipe = {};
    ASSERT_EQ(::stat(QFile::encodeName(path("pipe.ics")).constData(), &pipe), 0);
    EXPECT_TRUE(S_ISFIFO(pipe.st_mode));
}

} // namespace
} // namespace zp
