#include "plan/Calendar.h"
#include "plan/DateStyle.h"
#include "plan/FileCommands.h"
#include "plan/HistorySteps.h"
#include "plan/PlanHistory.h"
#include "plan/RecordEditing.h"
#include "support/Fakes.h"
#include "support/Helpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <malloc.h>

namespace zp {
namespace {

PlannerRecord rec(const QString& date, const QString& name, const QString& audio = kNoAttachment)
{
    return PlannerRecord::fromList({date, "10:30", name, "", "", "", "", "", "0", kNoAttachment, audio, "08/01/1996"});
}

std::vector<PlannerRecord> records(const RecordStore& store)
{
    std::vector<PlannerRecord> out;
    for (int i = 1; i <= store.recordCount(); ++i)
        out.push_back(store.record(i).toRecord());
    return out;
}

EntryFields entry(const QString& date, const QString& name)
{
    EntryFields f;
    f.text2 = date;
    f.text5 = name;
    return f;
}

// The table below reaches the fixture's members from its lambdas.
class PlanHistoryTest : public ::testing::Test {
public:
    // Five records in date order (names A ... E, 2 ... 6 January 1996);
    // record 3 current, the entry panel on it, nothing unsaved.
    void SetUp() override
    {
        std::vector<PlannerRecord> plan;
        for (int i = 0; i < 5; ++i)
            plan.push_back(rec(QStringLiteral("%1/01/1996").arg(i + 2, 2, 10, QLatin1Char('0')), QString(QChar(u'A' + i))));
        store.replaceAll(plan);
        store.currentRecord = 3;
        editor.setScroll({5, 3});
        store.modified = false;
        history.markSaved(); // as reading the plan does
    }

    RecordStore store;
    PlanHistory history{store};
    FakeMessageBox messages;
    FakeFileDialogs dialogs;
    RecordEditor editor{store, messages};
};

// Every kind of change the plan knows: undo gives back exactly the records,
// the current line and the modified mark it had; redo exactly the changed plan.
TEST_F(PlanHistoryTest, everyChangeKind_undoesAndRedoesExactly)
{
    struct Case {
        const char* what;
        QString stepName;
        std::function<void(PlanHistoryTest&)> change;
    };
    const Case cases[] = {
        {"Add", "Add 'Zed'", [](PlanHistoryTest& t) { t.editor.addRecord(entry("04/01/1996", "Zed")); }},
        {"Change", "Change 'C'", [](PlanHistoryTest& t) { t.editor.change(entry("09/01/1996", "C2")); }},
        {"Remove", "Remove 'C'", [](PlanHistoryTest& t) { t.editor.removeCurrentRecord(); }},
        {"Remove the last record", "Remove 'C'",
         [](PlanHistoryTest& t) {
             for (int i : {5, 4, 2, 1})
                 t.store.removeRecord(i);
             t.store.currentRecord = 1;
             t.editor.setScroll({1, 1});
             t.history.clear();
             t.editor.removeCurrentRecord();
         }},
        {"Insert row", "Insert row", [](PlanHistoryTest& t) { t.editor.insertRow(3, QDate(1996, 1, 9)); }},
        {"Delete row", "Delete row 'B'", [](PlanHistoryTest& t) { t.editor.deleteRow(3); }},
        {"grid cell", "Edit 'D'", [](PlanHistoryTest& t) { t.editor.commitGridCell(5, 1, "Dora"); }},
        {"status", "Job status of 'A'", [](PlanHistoryTest& t) { t.editor.doubleClickGrid(2, 9, t.dialogs); }},
        {"picture", "Picture of 'E'",
         [](PlanHistoryTest& t) {
             t.dialogs.scriptOpen("/pictures/e.png");
             t.editor.doubleClickGrid(6, 11, t.dialogs);
         }},
        {"no sound", "No sound for 'B'",
         [](PlanHistoryTest& t) {
             t.store.setField(Field::AudioPath, 2, QStringLiteral("/s/b.wav"));
             t.history.clear();
             t.editor.removeGridAttachment(3, 12);
         }},
        {"re-sort", "Re-sort by date",
         [](PlanHistoryTest& t) {
             t.store.setField(Field::StartDate, 1, QStringLiteral("01/02/1996"));
             t.store.editStyle = EditStyle::ProjectPlanning;
             t.history.clear();
             t.messages.script({MsgAnswer::Yes});
             t.editor.switchToHomeAndOffice();
         }},
        {"date style", "Date style",
         [](PlanHistoryTest& t) {
             const HistoryStep step(&t.history, kDateStyleStep);
             t.history.keepFileDateStyle();
             convertStoreDates(t.store, kEnglishEuro, kAmerican);
             t.store.fileDateStyle = kAmerican;
         }},
        {"calendar import", "Import calendar",
         [](PlanHistoryTest& t) {
             const std::vector<PlannerRecord> in = {rec("03/01/1996", "I1"), rec("01/01/1990", "I2"),
                                                    rec("01/01/2000", "I3")};
             addImportedRecords(t.store, in, 3);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.change(*this);
        store.modified = false;
        history.markSaved();
        ASSERT_EQ(history.undoCount(), 1);
        EXPECT_EQ(history.undoName(), c.stepName);
        // Back to the state before the step, which was saved, then forward.
        history.undo();
        store.modified = true; // as any edit would leave it
        const auto before = records(store);
        const QString styleBefore = store.fileDateStyle;
        const int lineBefore = store.currentRecord;
        history.redo();
        const auto after = records(store);
        const int lineAfter = store.currentRecord;
        EXPECT_NE(before, after);
        EXPECT_FALSE(store.modified);
        history.undo();
        EXPECT_EQ(records(store), before);
        EXPECT_EQ(store.fileDateStyle, styleBefore);
        EXPECT_EQ(store.currentRecord, lineBefore);
        EXPECT_TRUE(store.modified);
        history.redo();
        EXPECT_EQ(records(store), after);
        EXPECT_EQ(store.currentRecord, lineAfter);
    }
}

TEST_F(PlanHistoryTest, stepsUndoInOrder_andTheFirstUndoneToTheStartClearsTheMark)
{
    const auto start = records(store);
    editor.removeCurrentRecord();
    const auto afterRemove = records(store);
    editor.commitGridCell(2, 1, "Ann");
    EXPECT_TRUE(store.modified);
    EXPECT_EQ(history.undoName(), "Edit 'A'");
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(records(store), afterRemove);
    EXPECT_TRUE(store.modified);
    EXPECT_EQ(history.redoName(), "Edit 'A'");
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(records(store), start);
    EXPECT_FALSE(store.modified);
    EXPECT_FALSE(history.undo());
}

TEST_F(PlanHistoryTest, refusedCommand_leavesNoStep)
{
    messages.script({MsgAnswer::Ok});
    editor.addRecord(entry("not a date", "X"));
    editor.deleteRow(40);
    {
        // As Change puts a record back when the changed one finds no place.
        const HistoryStep step(&history, kChangeUnnamedStep);
        const PlannerRecord record = store.record(3).toRecord();
        store.removeRecord(3);
        store.insertRecordAt(3, record);
    }
    EXPECT_FALSE(history.canUndo());
}

TEST_F(PlanHistoryTest, newChangeAfterUndo_dropsTheRedoSteps)
{
    editor.removeCurrentRecord();
    history.undo();
    editor.commitGridCell(2, 1, "Ann");
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undoCount(), 1);
}

TEST_F(PlanHistoryTest, anotherPlan_clearsTheHistory)
{
    editor.removeCurrentRecord();
    store.replaceAll({rec("01/01/1996", "Other")});
    EXPECT_FALSE(history.canUndo());
    editor.removeCurrentRecord();
    store.clearStore(); // File > New
    EXPECT_FALSE(history.canUndo());
}

TEST_F(PlanHistoryTest, copyOfTheStore_keepsNoHistory_andAssigningAPlanEmptiesIt)
{
    RecordStore copy = store;
    copy.removeRecord(1);
    EXPECT_FALSE(history.canUndo());
    editor.removeCurrentRecord();
    store = copy;
    EXPECT_FALSE(history.canUndo());
    store.removeRecord(1); // still told
    EXPECT_EQ(store.journal(), &history);
}

TEST_F(PlanHistoryTest, savedInTheMiddle_markFollowsUndoAndRedo)
{
    editor.commitGridCell(2, 1, "Ann");
    history.markSaved();
    store.modified = false;
    editor.commitGridCell(3, 1, "Bob");
    history.undo();
    EXPECT_FALSE(store.modified);
    history.undo();
    EXPECT_TRUE(store.modified);
    history.redo();
    EXPECT_FALSE(store.modified);
    // A new step while the saved plan lies ahead: nothing leads back to it.
    history.undo();
    editor.commitGridCell(4, 1, "Cy");
    history.undo();
    EXPECT_TRUE(store.modified);
}

TEST_F(PlanHistoryTest, planNeverSaved_undoToItsStartKeepsTheMark)
{
    store.modified = true; // File > New
    history.clear();
    editor.commitGridCell(2, 1, "Ann");
    history.undo();
    EXPECT_TRUE(store.modified);
}

TEST_F(PlanHistoryTest, stepsFullOfRecords_namesLongRecordsShort)
{
    store.setField(Field::Name, 3, QString(200, u'x'));
    history.clear();
    editor.removeCurrentRecord();
    EXPECT_EQ(history.undoName(), "Remove '" + QString(39, u'x') + QChar(0x2026) + "'");
}

// A thousand edits of single records keep what changed, not the plan.
TEST_F(PlanHistoryTest, thousandSingleRecordEdits_takeUnderTwoMegabytes)
{
    std::vector<PlannerRecord> big;
    for (int i = 0; i < 32767; ++i)
        big.push_back(rec("05/11/1996", QStringLiteral("Record %1 with a message of some length").arg(i)));
    store.replaceAll(big);
    const std::size_t heapBefore = mallinfo2().uordblks;
    for (int i = 1; i <= 1000; ++i)
        editor.commitGridCell(i * 30 + 1, 1, QStringLiteral("Edited %1").arg(i));
    const std::size_t heapAfter = mallinfo2().uordblks;
    EXPECT_EQ(history.undoCount(), 1000);
    EXPECT_LT(history.memoryBytes(), 2u << 20);
    EXPECT_LT(heapAfter - heapBefore, 2u << 20);
}

// --- recordings and saving ---------------------------------------------------------

class FakeView : public FileCommandsView {
public:
    void showPlanName() override {}
    void refreshAfterPlanChange() override {}
    ProgressSink* progress() override { return nullptr; }
    void planFileUsed(const QString&) override {}
};

class HistoryFilesTest : public PlanHistoryTest {
protected:
    void SetUp() override
    {
        PlanHistoryTest::SetUp();
        ASSERT_TRUE(QDir(temp.path()).mkpath("rec"));
        store.recordingsFolder = temp.filePath("rec");
    }
    QString touch(const QString& relative)
    {
        writeBytes(temp.filePath(relative), "RIFF");
        return temp.filePath(relative);
    }
    QTemporaryDir temp;
    FakeDateOrder order;
    FakeView view;
    FileCommands files{store, messages, dialogs, order, view};
};

// A removed record's recording stays on disk through saves while an undo can
// bring the record back; leaving the plan lets it go.
TEST_F(HistoryFilesTest, recordingOfARemovedRecord_staysWhileTheHistoryNamesIt)
{
    const QString sound = touch("rec/07091200.WAV");
    store.setField(Field::AudioPath, 3, sound);
    editor.showEntryPanel();
    editor.removeCurrentRecord();
    dialogs.scriptSave(temp.filePath("plan.pln"));
    ASSERT_TRUE(files.savePlan());
    EXPECT_TRUE(QFile::exists(sound));
    EXPECT_FALSE(store.modified);

    history.undo();
    EXPECT_EQ(store.field(Field::AudioPath, 3), sound);
    EXPECT_TRUE(store.modified);
    history.redo();
    EXPECT_FALSE(store.modified);
    ASSERT_TRUE(files.confirmDiscard(ExitVariant::MenuExit));
    EXPECT_FALSE(QFile::exists(sound));
}

// A recording attached and then undone stays for redo, and goes with the plan.
TEST_F(HistoryFilesTest, undoneRecording_staysForRedo)
{
    const QString sound = touch("rec/07091300.WAV");
    dialogs.scriptOpen(sound);
    editor.doubleClickGrid(4, 12, dialogs);
    store.newRecordings.add(sound); // as the recorder lists what it made
    history.undo();
    dialogs.scriptSave(temp.filePath("plan.pln"));
    ASSERT_TRUE(files.savePlan());
    EXPECT_TRUE(QFile::exists(sound));
    history.redo();
    EXPECT_EQ(store.field(Field::AudioPath, 3), sound);
}

// A failed save keeps every step, and nothing claims the plan saved.
TEST_F(HistoryFilesTest, failedSave_keepsTheHistoryAndTheMark)
{
    history.clear(); // a plan never saved
    editor.removeCurrentRecord();
    writeBytes(temp.filePath("afile"), "not a folder");
    dialogs.scriptSave(temp.filePath("afile/plan.pln"));
    messages.script({MsgAnswer::Ok});
    EXPECT_FALSE(files.savePlan());
    EXPECT_TRUE(store.modified);
    ASSERT_TRUE(history.canUndo());
    history.undo();
    EXPECT_TRUE(store.modified);
    history.redo();
    EXPECT_TRUE(store.modified);
}

} // namespace
} // namespace zp
