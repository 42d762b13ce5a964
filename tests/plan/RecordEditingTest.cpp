#include "plan/RecordEditing.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

const QString kExpectedDateMessage = QStringLiteral(
    "Date format not correct. Please re-enter.\nNote: Use the control panel to set the date format specific to your country.");
const QString kExpectedGridDateMessage = QStringLiteral(
    "Date format not correct. Please re-enter (e.g. 1/1/98).\nNote: Use the control panel to set the date format specific to your country.");

PlannerRecord rec(const QString& date, const QString& name, const QString& finish = QString())
{
    PlannerRecord r;
    r[Field::StartDate] = date;
    r[Field::Name] = name;
    r[Field::JobStatus] = QStringLiteral("0");
    r[Field::ImagePath] = kNoAttachment;
    r[Field::AudioPath] = kNoAttachment;
    r[Field::FinishDate] = finish;
    return r;
}

EntryFields entry(const QString& date, const QString& name)
{
    EntryFields f;
    f.text2 = date;
    f.text5 = name;
    return f;
}

class RecordEditingTest : public ::testing::Test {
protected:
    // A plan of records named A, B, C ... dated 2, 3, 4 ... January 1996,
    // record 1 current.
    void plan(int count)
    {
        std::vector<PlannerRecord> records;
        for (int i = 0; i < count; ++i)
            records.push_back(rec(QStringLiteral("%1/01/1996").arg(i + 2, 2, 10, QLatin1Char('0')), QString(QChar(u'A' + i))));
        store.replaceAll(std::move(records));
        store.currentRecord = 1;
        editor.setScroll({std::max(1, count), 1});
    }

    QStringList names() const
    {
        QStringList out;
        for (int i = 1; i <= store.recordCount(); ++i)
            out << store.field(Field::Name, i);
        return out;
    }

    RecordStore store;
    FakeMessageBox messages;
    FakeFileDialogs dialogs;
    RecordEditor editor{store, messages};
};

// --- Add ----------------------------------------------------------------------

TEST_F(RecordEditingTest, addToEmptyPlan_createsRecordOne)
{
    EntryFields f = entry(QStringLiteral("05/11/1996"), QStringLiteral("Smith"));
    f.text3 = QStringLiteral("10:30");
    f.text8 = QStringLiteral("120");
    f.text10 = QStringLiteral("Quote");
    f.text11 = QStringLiteral("06/11/1996");
    f.done = true;

    const EditOutcome out = editor.addRecord(f);

    ASSERT_EQ(store.recordCount(), 1);
    EXPECT_TRUE(out.done && out.refreshList);
    EXPECT_FALSE(out.showRecord);
    EXPECT_EQ(out.scroll, (ScrollState{1, 1}));
    EXPECT_TRUE(store.modified);
    EXPECT_EQ(entryFieldsOf(store.record(1)), f);
    EXPECT_EQ(store.field(Field::ImagePath, 1), kNoAttachment);
    EXPECT_EQ(store.field(Field::AudioPath, 1), kNoAttachment);
    EXPECT_TRUE(messages.empty());
}

TEST_F(RecordEditingTest, addWithNonDate_isRefusedWithTheDateMessage)
{
    plan(2);
    const EditOutcome out = editor.addRecord(entry(QStringLiteral("tomorrow"), QStringLiteral("X")));

    EXPECT_FALSE(out.done || out.refreshList);
    EXPECT_EQ(store.recordCount(), 2);
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, kExpectedDateMessage);
    EXPECT_EQ(messages.last().style, MsgStyle::Exclamation);
    EXPECT_EQ(messages.last().title, QStringLiteral("Planner Record"));
}

TEST_F(RecordEditingTest, addGoesToItsDatePosition_andTheBarFollows)
{
    plan(3);
    const EditOutcome out = editor.addRecord(entry(QStringLiteral("03/01/1996"), QStringLiteral("X")));

    EXPECT_EQ(names(), (QStringList{"A", "B", "X", "C"})); // after the equal date
    EXPECT_EQ(out.scroll, (ScrollState{4, 3}));
    EXPECT_EQ(store.currentRecord, 3);
    EXPECT_TRUE(out.showRecord);
}

TEST_F(RecordEditingTest, addToLargePlan_warnsAndStillAdds)
{
    plan(1001);
    editor.addRecord(entry(QStringLiteral("01/01/1996"), QStringLiteral("X")));
    EXPECT_EQ(store.recordCount(), 1002);
    ASSERT_EQ(messages.count(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("Warning, large number of records")));
}

TEST_F(RecordEditingTest, addStoresPastedValuesWithoutLineBreaks)
{
    EntryFields f = entry(QStringLiteral("05/11/1996\r\n"), QStringLiteral("Smith\r\nand Jones"));
    f.text10 = QStringLiteral("line one\nline two\r");
    editor.addRecord(f);

    ASSERT_EQ(store.recordCount(), 1);
    EXPECT_EQ(store.field(Field::StartDate, 1), QStringLiteral("05/11/1996"));
    EXPECT_EQ(store.field(Field::Name, 1), QStringLiteral("Smithand Jones"));
    EXPECT_EQ(store.field(Field::Message, 1), QStringLiteral("line oneline two"));
}

struct RecorderCase {
    RecorderState recorderState;
    QString expectedField11;
    QString expectedSoundAfter;
    int expectedDiscardList;
};

class AddRecorderTest : public RecordEditingTest, public ::testing::WithParamInterface<RecorderCase> {};

TEST_P(AddRecorderTest, addStoresTheSoundByRecorderState)
{
    const RecorderCase& c = GetParam();
    store.currentSoundPath = QStringLiteral("/rec/05103000.wav");
    store.recorderState = c.recorderState;
    editor.addRecord(entry(QStringLiteral("05/11/1996"), QStringLiteral("X")));

    EXPECT_EQ(store.field(Field::AudioPath, 1), c.expectedField11);
    EXPECT_EQ(store.currentSoundPath, c.expectedSoundAfter);
    EXPECT_EQ(store.recordingsToDeleteOnDiscard.count(), c.expectedDiscardList);
    EXPECT_EQ(store.recorderState, RecorderState::Untouched);
}

INSTANTIATE_TEST_SUITE_P(States, AddRecorderTest,
                         ::testing::Values(RecorderCase{RecorderState::Untouched, "/rec/05103000.wav", "/rec/05103000.wav", 0},
                                           RecorderCase{RecorderState::ClosedWithoutRecording, "plandefault", "plandefault", 0},
                                           RecorderCase{RecorderState::Recorded, "/rec/05103000.wav", "/rec/05103000.wav", 1}));

// --- Change -------------------------------------------------------------------

TEST_F(RecordEditingTest, changeLastOfThreeToAnEarlierDate_movesItFirst)
{
    plan(3);
    editor.scrollMoved(3);
    const EditOutcome out = editor.change(entry(QStringLiteral("01/01/1996"), QStringLiteral("C2")));

    EXPECT_EQ(names(), (QStringList{"C2", "A", "B"}));
    EXPECT_TRUE(out.done && out.showRecord && out.refreshList);
    EXPECT_EQ(out.scroll, (ScrollState{3, 1}));
    EXPECT_EQ(store.currentRecord, 1);
    EXPECT_FALSE(editor.changeInProgress());
    EXPECT_TRUE(messages.empty());
}

TEST_F(RecordEditingTest, changeRefusals_leaveThePlanAsItWas)
{
    plan(3);
    store.currentRecord = 2; // the bar still shows record 1
    editor.change(entry(QStringLiteral("01/01/1996"), QStringLiteral("X")));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Error changing record"));
    EXPECT_EQ(messages.last().title, QStringLiteral("Zorvik Planner edit"));

    store.currentRecord = 1;
    editor.change(entry(QStringLiteral("soon"), QStringLiteral("X")));
    EXPECT_EQ(messages.last().text, kExpectedDateMessage);

    EXPECT_EQ(names(), (QStringList{"A", "B", "C"}));
    EXPECT_FALSE(store.modified);

    RecordStore empty;
    RecordEditor onEmpty(empty, messages);
    messages.clear();
    EXPECT_FALSE(onEmpty.change(entry(QStringLiteral("01/01/1996"), QStringLiteral("X"))).done);
    EXPECT_EQ(empty.recordCount(), 0);
    EXPECT_TRUE(messages.empty());
}

// --- Remove -------------------------------------------------------------------

TEST_F(RecordEditingTest, removeOnlyRecord_leavesAnEmptyPlanAndEmptyFields)
{
    plan(1);
    store.pendingImagePath = QStringLiteral("/pics/a.bmp");
    const EditOutcome out = editor.removeCurrentRecord();

    EXPECT_EQ(store.recordCount(), 0);
    EXPECT_TRUE(out.clearFields && out.clearPicture && out.refreshList);
    EXPECT_EQ(out.scroll, (ScrollState{1, 1}));
    EXPECT_EQ(store.pendingImagePath, kNoAttachment);
    EXPECT_EQ(store.currentSoundPath, kNoAttachment);
}

TEST_F(RecordEditingTest, removeOnEmptyPlan_changesNoRecord)
{
    const EditOutcome out = editor.removeCurrentRecord();
    EXPECT_FALSE(out.done || out.refreshList || out.showRecord);
    EXPECT_EQ(store.recordCount(), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(RecordEditingTest, removeShowsTheFollowingRecord_orTheNewLastOne)
{
    plan(3);
    editor.scrollMoved(2);
    EditOutcome out = editor.removeCurrentRecord();
    EXPECT_EQ(names(), (QStringList{"A", "C"}));
    EXPECT_EQ(out.scroll, (ScrollState{2, 2}));
    EXPECT_TRUE(out.showRecord && out.refreshList);

    out = editor.removeCurrentRecord(); // now the last record
    EXPECT_EQ(names(), (QStringList{"A"}));
    EXPECT_EQ(out.scroll, (ScrollState{1, 1}));
    EXPECT_EQ(store.currentRecord, 1);
    EXPECT_TRUE(store.modified);
}

struct RemoveSoundCase {
    RecorderState recorderState;
    QStringList superseded;
    QStringList newRecordings;
};

class RemoveRecorderTest : public RecordEditingTest, public ::testing::WithParamInterface<RemoveSoundCase> {};

TEST_P(RemoveRecorderTest, removeQueuesTheSoundsByRecorderState)
{
    const RemoveSoundCase& c = GetParam();
    plan(2);
    store.currentSoundPath = QStringLiteral("current.wav");
    store.previousSoundPath = QStringLiteral("previous.wav");
    store.recorderState = c.recorderState;
    editor.removeCurrentRecord();

    EXPECT_EQ(store.supersededSounds.paths, c.superseded);
    EXPECT_EQ(store.newRecordings.paths, c.newRecordings);
    EXPECT_EQ(store.recorderState, RecorderState::Untouched);
}

INSTANTIATE_TEST_SUITE_P(States, RemoveRecorderTest,
                         ::testing::Values(RemoveSoundCase{RecorderState::Untouched, {"current.wav"}, {}},
                                           RemoveSoundCase{RecorderState::ClosedWithoutRecording, {"previous.wav"}, {}},
                                           RemoveSoundCase{RecorderState::Recorded, {"previous.wav"}, {"current.wav"}}));

// --- New record, moving, showing -------------------------------------------------

TEST_F(RecordEditingTest, newRecordAndMovingAway_dropAnUnstoredRecording)
{
    plan(2);
    store.currentSoundPath = QStringLiteral("made.wav");
    store.recorderState = RecorderState::Recorded;
    EditOutcome out = editor.scrollMoved(2);
    EXPECT_TRUE(out.showRecord);
    EXPECT_EQ(store.currentRecord, 2);
    EXPECT_EQ(store.newRecordings.paths, QStringList{"made.wav"});

    store.currentSoundPath = QStringLiteral("again.wav");
    store.recorderState = RecorderState::Recorded;
    out = editor.newRecord();
    EXPECT_TRUE(out.clearFields && out.clearPicture);
    EXPECT_EQ(store.newRecordings.paths, (QStringList{"made.wav", "again.wav"}));
    EXPECT_EQ(store.currentSoundPath, kNoAttachment);
    EXPECT_EQ(store.pendingImagePath, kNoAttachment);
    EXPECT_EQ(store.recorderState, RecorderState::Untouched);
    EXPECT_EQ(store.recordCount(), 2);
    EXPECT_TRUE(store.modified);
}

TEST_F(RecordEditingTest, showRecord_forgetsAttachmentsThatCannotBeUsed)
{
    plan(2);
    store.setField(Field::ImagePath, 1, QStringLiteral("/pics/huge.bmp"));
    store.setField(Field::AudioPath, 1, QStringLiteral("/snd/gone.wav"));
    store.currentRecord = 0;

    const RecordDisplay shown = editor.showRecordInEntryFields([](const QString&) { return false; },
                                                              [](const QString&) { return false; });
    EXPECT_FALSE(shown.empty);
    EXPECT_FALSE(shown.pictureShown);
    EXPECT_EQ(shown.fields.text5, QStringLiteral("A"));
    EXPECT_EQ(shown.scroll, (ScrollState{2, 1}));
    EXPECT_EQ(store.pendingImagePath, kNoAttachment);
    EXPECT_EQ(store.field(Field::ImagePath, 1), kNoAttachment);
    EXPECT_EQ(store.currentSoundPath, kNoAttachment);
    EXPECT_EQ(store.field(Field::AudioPath, 1), kNoAttachment);
    EXPECT_FALSE(store.modified);
}

TEST_F(RecordEditingTest, showRecord_usesAttachmentsThatLoad_andSkipsNone)
{
    plan(2);
    store.setField(Field::ImagePath, 2, QStringLiteral("/pics/b.png"));
    store.setField(Field::AudioPath, 2, QString());
    store.currentRecord = 2;
    QStringList asked;
    const RecordDisplay shown = editor.showRecordInEntryFields(
        [&](const QString& p) { asked << p; return true; }, [&](const QString& p) { asked << p; return true; });
    EXPECT_TRUE(shown.pictureShown);
    EXPECT_EQ(asked, QStringList{"/pics/b.png"}); // an empty sound is never handed on
    EXPECT_EQ(store.pendingImagePath, QStringLiteral("/pics/b.png"));
    EXPECT_EQ(store.currentSoundPath, kNoAttachment);

    store.currentRecord = 7; // beyond the plan, e.g. after opening a smaller one
    EXPECT_EQ(editor.showEntryPanel().scroll, (ScrollState{2, 1}));
    EXPECT_EQ(store.currentRecord, 1);

    store.clearStore();
    const RecordDisplay none = editor.showEntryPanel();
    EXPECT_TRUE(none.empty);
    EXPECT_EQ(none.scroll, (ScrollState{1, 1}));
}

// --- Picture attachment ------------------------------------------------------------

TEST_F(RecordEditingTest, attachPicture_asksAndKeepsThePathOnlyOnYes)
{
    plan(1);
    QStringList steps;
    PictureHooks hooks{[&](const QString&) { steps << "load"; return true; }, [&] { steps << "before"; },
                       [&] { steps << "after"; }};

    dialogs.scriptOpen(QStringLiteral("/pics/cat.jpg"));
    EditOutcome out = editor.attachPicture(PictureEntry::ImageButton, dialogs, hooks);
    EXPECT_TRUE(out.done);
    EXPECT_EQ(store.pendingImagePath, QStringLiteral("/pics/cat.jpg"));
    EXPECT_EQ(steps, (QStringList{"load", "before", "after"}));
    EXPECT_EQ(messages.last().text, QStringLiteral("Use this picture, if so remember to click ADD or CHANGE"));
    EXPECT_EQ(messages.last().style, MsgStyle::YesNoQuestion);
    EXPECT_EQ(messages.last().title, QStringLiteral("Add Image"));
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].title, QStringLiteral("Load Image"));
    EXPECT_EQ(dialogs.openRequests[0].filter,
              QStringLiteral("All files (*.*) |*.*|Bitmap Files (*.bmp) |*.BMP|Icon Files (*.ico) |*.ICO|"));
    EXPECT_EQ(dialogs.openRequests[0].filterIndex, 2);

    // No puts the picture the record had back on show.
    steps.clear();
    dialogs.scriptOpen(QStringLiteral("/pics/dog.bmp"));
    messages.script({MsgAnswer::No});
    out = editor.attachPicture(PictureEntry::ImageBox, dialogs, hooks);
    EXPECT_FALSE(out.done);
    EXPECT_FALSE(out.clearPicture);
    EXPECT_EQ(store.pendingImagePath, QStringLiteral("/pics/cat.jpg"));
    EXPECT_EQ(steps, (QStringList{"load", "before", "after", "load"}));
    EXPECT_EQ(messages.last().text, QStringLiteral("Use this picture - if yes, do ADD or CHANGE in EDIT window"));
}

TEST_F(RecordEditingTest, attachPicture_cancelledOrUnreadable_keepsThePictureAndAsksNothing_noPictureRemovesIt)
{
    plan(1);
    store.pendingImagePath = QStringLiteral("/pics/old.bmp");
    EditOutcome out = editor.attachPicture(PictureEntry::ImageBox, dialogs, {}); // cancelled
    EXPECT_EQ(store.pendingImagePath, QStringLiteral("/pics/old.bmp"));
    EXPECT_FALSE(out.clearPicture);

    dialogs.scriptOpen(QStringLiteral("/pics/not-a-picture.bmp"));
    out = editor.attachPicture(PictureEntry::ImageBox, dialogs, {[](const QString&) { return false; }, {}, {}});
    EXPECT_EQ(store.pendingImagePath, QStringLiteral("/pics/old.bmp"));
    EXPECT_TRUE(out.clearPicture); // the old one cannot be shown either
    EXPECT_TRUE(messages.empty());

    out = editor.removePicture();
    EXPECT_TRUE(out.done);
    EXPECT_TRUE(out.clearPicture);
    EXPECT_EQ(store.pendingImagePath, kNoAttachment);
}

// --- Entry grid ----------------------------------------------------------------------

TEST_F(RecordEditingTest, gridRows_holdHeadersAndOneRowPerRecordInColumnOrder)
{
    PlannerRecord r;
    for (int f = 1; f <= Field::Count; ++f)
        r[f] = QStringLiteral("f%1").arg(f);
    store.replaceAll({r});
    store.fieldLabels[13] = QStringLiteral("off");

    const QList<QStringList> rows = entryGridRows(store);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].mid(0, 3), (QStringList{"", "off", "on"}));
    EXPECT_EQ(rows[1], (QStringList{"No.", "Name", "Start date", "Finish date", "Income", "Expense", "Time",
                                    "Phone(ah)", "Phone(bh)", "Job status", "Message", "Image", "Sound"}));
    EXPECT_EQ(rows[2], (QStringList{" 1", "f3", "f1", "f12", "f7", "f8", "f2", "f4", "f5", "f9", "f6", "f10", "f11"}));
    EXPECT_EQ(gridColumnField(0), 0);
    EXPECT_EQ(gridColumnField(13), 0);
}

TEST_F(RecordEditingTest, insertRow_onCaptionRowDoesNothing_onARecordRowInsertsABlankRecordBeforeIt)
{
    plan(3);
    EXPECT_FALSE(editor.insertRow(1, QDate(1996, 11, 5)).done);
    EXPECT_EQ(store.recordCount(), 3);

    const EditOutcome out = editor.insertRow(4, QDate(1996, 11, 5)); // record 3's row
    EXPECT_TRUE(out.fillGrid);
    EXPECT_EQ(names(), (QStringList{"A", "B", "", "C"}));
    EXPECT_EQ(store.currentRecord, 3);
    const PlannerRecord blank = store.record(3).toRecord();
    EXPECT_EQ(blank[Field::StartDate], QStringLiteral("05/11/1996"));
    EXPECT_EQ(blank[Field::FinishDate], QStringLiteral("05/11/1996"));
    EXPECT_EQ(blank[Field::JobStatus], QStringLiteral("0"));
    EXPECT_EQ(blank[Field::ImagePath], kNoAttachment);
    EXPECT_EQ(blank[Field::AudioPath], kNoAttachment);
}

TEST_F(RecordEditingTest, insertRow_intoEmptyPlan_datesRecordOneInTheSystemPattern)
{
    store.systemDateStyle = kAmerican;
    const EditOutcome out = editor.insertRow(1, QDate(1996, 11, 5));
    ASSERT_EQ(store.recordCount(), 1);
    EXPECT_EQ(store.field(Field::StartDate, 1), QStringLiteral("11/05/1996"));
    EXPECT_EQ(out.text4, QStringLiteral("11/05/1996"));
    EXPECT_TRUE(store.modified);
}

TEST_F(RecordEditingTest, deleteRow_neverDeletesHeaders_andOnTheLastRowRemovesTheLastRecord)
{
    plan(3);
    EXPECT_FALSE(editor.deleteRow(1).done);
    EXPECT_FALSE(editor.deleteRow(0).done);
    EXPECT_EQ(store.recordCount(), 3);

    EXPECT_TRUE(editor.deleteRow(4).fillGrid);
    EXPECT_EQ(names(), (QStringList{"A", "B"}));
    EXPECT_EQ(store.currentRecord, 2);
    EXPECT_EQ(entryGridCurrentRow(store), 3);

    editor.deleteRow(2);
    EXPECT_EQ(names(), QStringList{"B"});
    EXPECT_EQ(store.currentRecord, 1);
}

TEST_F(RecordEditingTest, commitStartDateLaterThanFinish_warnsAndStillStores)
{
    store.replaceAll({rec(QStringLiteral("01/11/1996"), QStringLiteral("A"), QStringLiteral("04/11/1996"))});
    const EditOutcome out = editor.commitGridCell(2, 2, QStringLiteral("5/11/96"));

    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Warning, start date is greater than finish date"));
    EXPECT_EQ(messages.last().title, QStringLiteral("Zorvik Planner Edit"));
    EXPECT_EQ(store.field(Field::StartDate, 1), QStringLiteral("05/11/1996"));
    EXPECT_EQ(out.cellText, QStringLiteral("05/11/1996"));
    EXPECT_EQ(out.text4, QStringLiteral("05/11/1996"));
    EXPECT_TRUE(store.modified); // a committed cell is an unsaved change
}

TEST_F(RecordEditingTest, commitCells_checkDatesKeepStatusAndRenameCaptions)
{
    store.replaceAll({rec(QStringLiteral("01/11/1996"), QStringLiteral("A"), QStringLiteral("04/11/1996"))});

    EXPECT_FALSE(editor.commitGridCell(2, 3, QStringLiteral("later")).done);
    EXPECT_EQ(messages.last().text, kExpectedGridDateMessage);
    EXPECT_EQ(store.field(Field::FinishDate, 1), QStringLiteral("04/11/1996"));

    editor.commitGridCell(2, 3, QStringLiteral("1/12/96"));
    EXPECT_EQ(store.field(Field::FinishDate, 1), QStringLiteral("01/12/1996"));

    // The status cell keeps its value whatever is typed; a bad one is pending.
    EXPECT_EQ(editor.commitGridCell(2, 9, QStringLiteral("done")).cellText, QStringLiteral("0"));
    store.setField(Field::JobStatus, 1, QStringLiteral("x"));
    EXPECT_EQ(editor.commitGridCell(2, 9, QStringLiteral("1")).text4, QStringLiteral("0"));
    EXPECT_EQ(store.field(Field::JobStatus, 1), QStringLiteral("0"));

    editor.commitGridCell(2, 1, QStringLiteral("Smith\r\n& Jones"));
    EXPECT_EQ(store.field(Field::Name, 1), QStringLiteral("Smith& Jones"));

    // Captions are settings, not part of the plan.
    EXPECT_TRUE(store.modified);
    store.modified = false;
    const PlannerRecord before = store.record(1).toRecord();
    const EditOutcome caption = editor.commitGridCell(1, 1, QStringLiteral("Who\n"));
    EXPECT_TRUE(caption.applyLabels);
    EXPECT_EQ(store.fieldLabels[1], QStringLiteral("Who"));
    EXPECT_EQ(store.record(1), before);
    EXPECT_FALSE(store.modified);
}

TEST_F(RecordEditingTest, doubleClickStatus_togglesTheRecordDone)
{
    plan(2);
    const EditOutcome out = editor.doubleClickGrid(3, 9, dialogs);
    EXPECT_EQ(out.cellText, QStringLiteral("1"));
    EXPECT_TRUE(store.record(2).isDone());
    EXPECT_EQ(store.currentRecord, 2);
    EXPECT_EQ(out.gridColumn, 1);
    EXPECT_TRUE(out.focusText4);
    EXPECT_TRUE(store.modified);

    editor.doubleClickGrid(3, 9, dialogs);
    EXPECT_FALSE(store.record(2).isDone());
}

// The record of the double-clicked row becomes current whatever the row: the
// caption row names record 0, which the grid and the panel show as record 1.
TEST_F(RecordEditingTest, doubleClickOnTheCaptionRow_makesRecordZeroCurrent)
{
    plan(3);
    store.currentRecord = 3;
    const EditOutcome out = editor.doubleClickGrid(1, 2, dialogs);
    EXPECT_EQ(store.currentRecord, 0);
    EXPECT_EQ(out.text4, store.fieldLabels[2]);
    EXPECT_TRUE(store.modified);
    EXPECT_EQ(entryGridCurrentRow(store), 2);
    EXPECT_EQ(names(), (QStringList{"A", "B", "C"}));
}

TEST_F(RecordEditingTest, doubleClickAttachmentColumns_chooseAFile_cancelKeepsIt_noSoundRemovesIt)
{
    plan(1);
    dialogs.scriptOpen(QStringLiteral("/pics/a.ico"));
    EditOutcome out = editor.doubleClickGrid(2, 11, dialogs);
    EXPECT_EQ(store.field(Field::ImagePath, 1), QStringLiteral("/pics/a.ico"));
    EXPECT_EQ(store.pendingImagePath, QStringLiteral("/pics/a.ico"));
    EXPECT_EQ(out.text4, QStringLiteral("/pics/a.ico"));

    store.currentSoundPath = QStringLiteral("/snd/old.wav");
    store.setField(Field::AudioPath, 1, QStringLiteral("/snd/old.wav"));
    out = editor.doubleClickGrid(2, 12, dialogs); // cancelled
    EXPECT_EQ(store.field(Field::AudioPath, 1), QStringLiteral("/snd/old.wav"));
    EXPECT_EQ(store.currentSoundPath, QStringLiteral("/snd/old.wav"));
    EXPECT_EQ(out.cellText, std::nullopt);

    store.modified = false;
    out = editor.removeGridAttachment(2, 12);
    EXPECT_EQ(store.field(Field::AudioPath, 1), kNoAttachment);
    EXPECT_EQ(out.cellText, kNoAttachment);
    EXPECT_TRUE(store.modified);
    EXPECT_EQ(store.supersededSounds.paths, QStringList{"/snd/old.wav"}); // gone at the next save
    EXPECT_FALSE(editor.removeGridAttachment(2, 3).done); // not an attachment column
    ASSERT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_EQ(dialogs.openRequests[1].title, QStringLiteral("Load Sound"));
    EXPECT_EQ(dialogs.openRequests[1].filter, QStringLiteral("All files (*.*) |*.*|Wave Files (*.wav) |*.WAV|"));

    editor.doubleClickGrid(1, 11, dialogs); // caption row: no dialog
    EXPECT_EQ(dialogs.openRequests.size(), 2u);
}

// --- Date entry checks ------------------------------------------------------------------

struct DateCheckCase {
    const char* what;
    bool finishField;
    QString text2;
    QString text11;
    QString style;
    bool valid;
    QString text;
    QString message; // empty: none
};

class DateFieldCheckTest : public ::testing::TestWithParam<DateCheckCase> {};

TEST_P(DateFieldCheckTest, checksAndReRenders)
{
    const DateCheckCase& c = GetParam();
    FakeMessageBox messages;
    const QDate today(2026, 12, 10);
    const DateFieldCheck r = c.finishField ? checkFinishDateField(c.text2, c.text11, c.style, messages, today)
                                           : checkStartDateField(c.text2, c.text11, c.style, messages, today);
    EXPECT_EQ(r.valid, c.valid) << c.what;
    EXPECT_EQ(r.text, c.text) << c.what;
    EXPECT_EQ(messages.empty() ? QString() : messages.last().text, c.message) << c.what;
}

const QString kWarn = QStringLiteral("Warning, start date is greater than finish date");

INSTANTIATE_TEST_SUITE_P(
    Cases, DateFieldCheckTest,
    ::testing::Values(
        DateCheckCase{"in pattern", false, "31/12/1996", "", kEnglishEuro, true, "31/12/1996", ""},
        DateCheckCase{"short form", false, "1/2/96", "", kEnglishEuro, true, "01/02/1996", ""},
        DateCheckCase{"month first", false, "2/13/96", "", kAmerican, true, "02/13/1996", ""},
        DateCheckCase{"not a date", false, "tomorrow", "", kEnglishEuro, false, "tomorrow", kExpectedDateMessage},
        DateCheckCase{"start after finish", false, "05/11/1996", "04/11/1996", kEnglishEuro, true, "05/11/1996", kWarn},
        DateCheckCase{"equal dates", false, "05/11/1996", "05/11/1996", kEnglishEuro, true, "05/11/1996", ""},
        DateCheckCase{"finish before start", true, "05/11/1996", "4/11/96", kEnglishEuro, true, "04/11/1996", kWarn},
        // An empty finish date is a record without one.
        DateCheckCase{"empty finish", true, "05/11/1996", "", kEnglishEuro, true, "", ""},
        DateCheckCase{"empty finish, no start", true, "", "", kEnglishEuro, true, "", ""},
        DateCheckCase{"blank finish", true, "05/11/1996", " ", kEnglishEuro, false, " ", kExpectedDateMessage},
        DateCheckCase{"wrong finish", true, "05/11/1996", "soon", kEnglishEuro, false, "soon", kExpectedDateMessage},
        DateCheckCase{"empty start", false, "", "05/11/1996", kEnglishEuro, false, "", kExpectedDateMessage},
        // A date without a year takes the current one.
        DateCheckCase{"no year", false, "25/12", "", kEnglishEuro, true, "25/12/2026", ""},
        DateCheckCase{"no year, month first typed", false, "12/25", "", kEnglishEuro, true, "25/12/2026", ""},
        DateCheckCase{"no year, american", false, "12/25", "", kAmerican, true, "12/25/2026", ""},
        DateCheckCase{"no year, finish", true, "", "1/2", kEnglishEuro, true, "01/02/2026", ""},
        DateCheckCase{"no year, after finish", false, "25/12", "01/12/2026", kEnglishEuro, true, "25/12/2026", kWarn}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(RecordEditingTest, datesWithoutAYear_takeTheCurrentYearWhereverTheyAreTyped)
{
    FakeClock clock;
    clock.set(2026, 12, 10);
    RecordEditor dated{store, messages, &clock};

    EntryFields f = entry(QStringLiteral("25/12"), QStringLiteral("Party"));
    f.text11 = QStringLiteral("26/12");
    ASSERT_TRUE(dated.addRecord(f).done);
    EXPECT_EQ(store.field(Field::StartDate, 1), QStringLiteral("25/12/2026"));
    EXPECT_EQ(store.field(Field::FinishDate, 1), QStringLiteral("26/12/2026"));
    f.text2 = QStringLiteral("12/24");
    ASSERT_TRUE(dated.change(f).done);
    EXPECT_EQ(store.field(Field::StartDate, 1), QStringLiteral("24/12/2026"));
    // Typed with a year, a date is kept as it was typed.
    f.text2 = QStringLiteral("1/2/96");
    ASSERT_TRUE(dated.change(f).done);
    EXPECT_EQ(store.field(Field::StartDate, 1), QStringLiteral("1/2/96"));

    EXPECT_EQ(dated.commitGridCell(2, 2, QStringLiteral("3/1")).cellText, QStringLiteral("03/01/2026"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(RecordEditingTest, emptyFinishDateCell_isARecordWithoutOne)
{
    store.replaceAll({rec(QStringLiteral("02/01/1996"), QStringLiteral("A"), QStringLiteral("03/01/1996"))});
    const EditOutcome out = editor.commitGridCell(2, 3, QString());
    EXPECT_TRUE(out.done);
    EXPECT_EQ(store.field(Field::FinishDate, 1), QString());
    EXPECT_TRUE(messages.empty());
    // The start date cannot be emptied.
    EXPECT_FALSE(editor.commitGridCell(2, 2, QString()).done);
    EXPECT_EQ(messages.last().text, kExpectedGridDateMessage);
}

// --- Edit style, labels, edit records ----------------------------------------------------

TEST_F(RecordEditingTest, switchingToHomeAndOffice_asksBeforeReSorting)
{
    plan(3);
    store.setField(Field::StartDate, 1, QStringLiteral("09/01/1996"));
    store.editStyle = EditStyle::ProjectPlanning;

    messages.script({MsgAnswer::No});
    EXPECT_FALSE(editor.switchToHomeAndOffice().done);
    EXPECT_EQ(store.editStyle, EditStyle::ProjectPlanning);
    EXPECT_FALSE(store.modified);
    EXPECT_EQ(names(), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(messages.last().text, QStringLiteral("This style of editing will re-sort your records list into "
                                                   "chronological order.\n\rDo you wish to continue..."));
    EXPECT_EQ(messages.last().style, 36);
    EXPECT_EQ(messages.last().title, QStringLiteral("Zorvik Planner Edit Style"));

    const EditOutcome out = editor.switchToHomeAndOffice();
    EXPECT_TRUE(out.applyEditStyle && out.relayout && out.refreshList);
    EXPECT_EQ(store.editStyle, EditStyle::HomeAndOffice);
    EXPECT_EQ(names(), (QStringList{"B", "C", "A"}));
    EXPECT_TRUE(store.modified); // the style is part of the plan file

    store.modified = false;
    messages.clear();
    EXPECT_TRUE(editor.switchToHomeAndOffice().applyEditStyle); // already: no question
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(store.modified);

    EXPECT_TRUE(editor.switchToProjectPlanning().fillGrid);
    EXPECT_EQ(store.editStyle, EditStyle::ProjectPlanning);
    EXPECT_TRUE(store.modified);
    store.modified = false;
    editor.switchToProjectPlanning();
    EXPECT_FALSE(store.modified);
    EXPECT_EQ(names(), (QStringList{"B", "C", "A"}));
}

TEST_F(RecordEditingTest, setLabelsToDefault_restoresCaptionsOnly_andEditRecordsTakesTheListLine)
{
    store.fieldLabels[5] = QStringLiteral("Costs");
    store.fieldLabels[12] = QStringLiteral("Voice");
    store.fieldLabels[17] = QStringLiteral("off");
    EXPECT_TRUE(editor.setLabelsToDefault().applyLabels);
    EXPECT_EQ(store.fieldLabels[5], QStringLiteral("Expense"));
    EXPECT_EQ(store.fieldLabels[12], QStringLiteral("Audio"));
    EXPECT_EQ(store.fieldLabels[17], QStringLiteral("off"));

    EXPECT_EQ(editor.editRecords(2).recordPage, 3);
    EXPECT_EQ(store.currentRecord, 3);
    editor.editRecords(-1);
    EXPECT_EQ(store.currentRecord, 1);
}

} // namespace
} // namespace zp
