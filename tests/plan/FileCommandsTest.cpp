#include "plan/FileCommands.h"
#include "state/Settings.h"

#include "app/MainLayout.h"
#include "plan/PlanFile.h"
#include "plan/RecordStore.h"
#include "plan/Trash.h"
#include "support/Fakes.h"
#include "support/Helpers.h"

#include <gtest/gtest.h>
#include <csignal>
#include <QCoreApplication>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zp {
namespace {

PlannerRecord rec(const QString& name, const QString& audio = kNoAttachment, const QString& date = "05/11/1996")
{
    return PlannerRecord::fromList({date, "10:30", name, "", "", "", "", "", "0", kNoAttachment, audio, ""});
}

// The window's part: shows the name as the caption and panel 4 would.
class FakeView : public FileCommandsView {
public:
    explicit FakeView(const RecordStore& s) : store(s) {}
    void showPlanName() override
    {
        title = planWindowTitle(store.planFileName);
        panel = planPanelText(store.planFileName);
    }
    void refreshAfterPlanChange() override { ++refreshes; }
    ProgressSink* progress() override { return nullptr; }
    void planFileUsed(const QString& path) override { used << path; }

    const RecordStore& store;
    QString title = QStringLiteral("<not shown>");
    QString panel;
    int refreshes = 0;
    QStringList used; // plans opened or saved, for the recent lists
};

// One running copy of the planner.
struct Copy {
    RecordStore store;
    FakeMessageBox messages;
    FakeFileDialogs dialogs;
    FakeDateOrder order;
    FakeView view{store};
    FileCommands commands{store, messages, dialogs, order, view};
};

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        ASSERT_TRUE(QDir(temp.path()).mkpath("rec"));
        ASSERT_TRUE(QDir(temp.path()).mkpath("elsewhere"));
        a.store.recordingsFolder = b.store.recordingsFolder = temp.filePath("rec");
        // Deleted plans go to a trash of the test's own, never the user's.
        savedHome = qgetenv("HOME");
        savedDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("HOME", temp.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", temp.filePath("data").toLocal8Bit());
    }
    void TearDown() override
    {
        qputenv("HOME", savedHome);
        if (savedDataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", savedDataHome);
    }
    QString trashed(const QString& name) const { return temp.filePath("data/Trash/files/" + name); }
    QByteArray trashInfo(const QString& name) const { return readBytes(temp.filePath("data/Trash/info/" + name + ".trashinfo")); }

    QString path(const QString& relative) const { return temp.filePath(relative); }
    QString touch(const QString& relative)
    {
        writeBytes(path(relative), "RIFF");
        return path(relative);
    }
    // A plan saved under `relative` in copy `c`, holding the given records.
    void savedPlan(Copy& c, const QString& relative, std::vector<PlannerRecord> records)
    {
        c.store.replaceAll(std::move(records));
        c.store.modified = true;
        c.dialogs.scriptSave(path(relative));
        ASSERT_TRUE(c.commands.savePlanAs());
        c.messages.clear();
        c.dialogs.saveRequests.clear();
    }

    QTemporaryDir temp;
    QByteArray savedHome;
    QByteArray savedDataHome;
    Copy a;
    Copy b;
};

// --- names ---------------------------------------------------------------------

TEST(FileCommandsNames, backupNameReplacesTheFileNamesOwnExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/home/a/work.pln", "/home/a/work.BAK"},
        {"/home/a/work.2024.pln", "/home/a/work.2024.BAK"},
        {"/home/u/.config/plans/work", "/home/u/.config/plans/work.BAK"}, // never a folder's dot
        {"/home/a/work", "/home/a/work.BAK"},
        {"/home/a/.pln", "/home/a/.pln.BAK"},
        {"a.", "a.BAK"},
        {"", ""},
    };
    for (const auto& [plan, backup] : cases)
        EXPECT_EQ(FileCommands::backupName(plan), QString::fromLatin1(backup)) << plan;
}

TEST(FileCommandsNames, windowTitle)
{
    EXPECT_EQ(planWindowTitle(""), "Zorvik Planner 3.2 ");
    EXPECT_EQ(planWindowTitle("/p/work.pln"), "Zorvik Planner 3.2  -  /p/work.pln");
    EXPECT_EQ(startUpWindowTitle(""), "Zorvik Planner 3.2  -  ");
    EXPECT_EQ(startUpWindowTitle("/p/work.pln"), "Zorvik Planner 3.2  -  /p/work.pln");
}

// --- the plans reported for the recent lists -----------------------------------------

TEST_F(FileCommandsTest, everyOpenAndSave_reportsThePlanFile_failuresAndCancelsDoNot)
{
    savedPlan(a, "one.pln", {rec("One")});
    EXPECT_EQ(a.view.used, QStringList{path("one.pln")}); // Save As
    a.store.modified = true;
    ASSERT_TRUE(a.commands.savePlan());
    a.dialogs.scriptOpen(path("one.pln"));
    a.commands.openPlan();
    a.commands.openPlanNamed(path("one.pln")); // File > Recent plans
    EXPECT_EQ(a.view.used, QStringList(4, path("one.pln")));

    writeBytes(path("bad.pln"), QByteArray(100, 'x'));
    a.commands.openPlanNamed(path("bad.pln")); // not a plan: the reader says so
    a.dialogs.scriptOpen(std::nullopt);
    a.commands.openPlan();
    a.dialogs.scriptSave(std::nullopt);
    a.commands.savePlanAs();
    EXPECT_EQ(a.view.used.size(), 4);
    EXPECT_EQ(a.store.planFileName, path("one.pln"));

    a.commands.release(); // the plan is not in use when the next run starts
    b.commands.openPlanAtStartup(path("one.pln"));
    b.commands.openPlanAtStartup(path("missing.pln"));
    EXPECT_EQ(b.view.used, QStringList{path("one.pln")});
}

TEST_F(FileCommandsTest, openPlanNamed_asksAboutUnsavedChangesFirst)
{
    savedPlan(a, "one.pln", {rec("One")});
    a.store.replaceAll({rec("Changed")});
    a.store.modified = true;
    a.messages.script({MsgAnswer::No});
    a.commands.openPlanNamed(path("one.pln"));
    EXPECT_EQ(a.messages.last().text, "Save changes to the Current file ?");
    EXPECT_EQ(names(a.store), QStringList{"One"});
    EXPECT_FALSE(a.store.modified);
}

// --- Save, Save As, backups --------------------------------------------------------

TEST_F(FileCommandsTest, saveUntitled_asksSavePlan_thenNamedSaveWritesWithoutDialog)
{
    a.store.replaceAll({rec("One")});
    a.store.modified = true;
    a.dialogs.scriptSave(path("work.pln"));
    ASSERT_TRUE(a.commands.savePlan());

    ASSERT_EQ(a.dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(a.dialogs.saveRequests[0].title, "Save Plan");
    EXPECT_EQ(a.dialogs.saveRequests[0].filter, "All files (*.*) |*.*|Pln Files (*.pln) |*.pln|");
    EXPECT_EQ(a.dialogs.saveRequests[0].filterIndex, 2);
    EXPECT_EQ(a.store.planFileName, path("work.pln"));
    EXPECT_FALSE(a.store.modified);
    EXPECT_EQ(a.view.title, "Zorvik Planner 3.2  -  " + path("work.pln"));
    EXPECT_EQ(a.view.panel, "work.pln");

    a.store.replaceAll({rec("One"), rec("Two")});
    a.store.modified = true;
    ASSERT_TRUE(a.commands.savePlan());
    EXPECT_EQ(a.dialogs.saveRequests.size(), 1u);
    EXPECT_TRUE(a.messages.empty());
    RecordStore check;
    ASSERT_TRUE(readPlanFile(path("work.pln"), check, DateOrder::DayFirst).loaded());
    EXPECT_EQ(names(check), QStringList({"One", "Two"}));
}

TEST_F(FileCommandsTest, keepBackups_writesIdenticalCopyBesideThePlan)
{
    ASSERT_TRUE(QDir(temp.path()).mkpath("MY.DIR"));
    ASSERT_TRUE(QDir(temp.path()).mkpath("plans"));
    touch("plans/OLD");
    struct Case {
        const char* chosen; // in the save dialog
        const char* plan;   // the file written
        const char* backup; // empty: none anywhere
    } const cases[] = {{"plans/WORK.PLN", "plans/WORK.PLN", "plans/WORK.BAK"},
                       {"MY.DIR/WORK", "MY.DIR/WORK.pln", "MY.DIR/WORK.BAK"},
                       {"plans/OLD", "plans/OLD", "plans/OLD.BAK"}};
    for (const Case& c : cases) {
        Copy copy;
        copy.store.keepBackups = "1";
        savedPlan(copy, c.chosen, {rec("One")});
        EXPECT_EQ(copy.store.planFileName, path(c.plan));
        if (*c.backup) {
            ASSERT_TRUE(QFile::exists(path(c.backup))) << c.plan;
            EXPECT_EQ(readBytes(path(c.backup)), readBytes(path(c.plan))) << c.plan;
            QFile::remove(path(c.backup));
        } else {
            EXPECT_TRUE(QDir(path("plans")).entryList({"*.BAK"}, QDir::Files).isEmpty()) << c.plan;
        }
    }

    Copy off; // "&Keep backups" not ticked
    savedPlan(off, "plans/OFF.PLN", {rec("One")});
    EXPECT_FALSE(QFile::exists(path("plans/OFF.BAK")));
}

TEST_F(FileCommandsTest, saveDeletesRemovedSoundsNoLongerNamed_saveAsLeavesThem)
{
    const QString removed = touch("rec/07101530.WAV");
    const QString stillNamed = touch("rec/07101531.WAV");
    const QString unattached = touch("rec/07101532.WAV");
    savedPlan(a, "work.pln", {rec("Keeps its sound", stillNamed)});
    for (const QString& p : {removed, stillNamed})
        a.store.supersededSounds.add(p);
    a.store.newRecordings.add(unattached);
    a.store.modified = true;

    a.dialogs.scriptSave(path("copy.pln"));
    ASSERT_TRUE(a.commands.savePlanAs());
    EXPECT_FALSE(QFile::exists(unattached));
    EXPECT_TRUE(QFile::exists(removed));
    EXPECT_EQ(a.store.supersededSounds.count(), 2);

    ASSERT_TRUE(a.commands.savePlan());
    EXPECT_FALSE(QFile::exists(removed));
    EXPECT_TRUE(QFile::exists(stillNamed));
    EXPECT_EQ(a.store.supersededSounds.count(), 0);
}

TEST_F(FileCommandsTest, toolbarSave_renamesWithoutBackupAndKeepsUnsavedMark)
{
    a.store.keepBackups = "1";
    a.store.replaceAll({rec("One")});
    a.store.modified = true;
    a.dialogs.scriptSave(path("tool.pln"));
    ASSERT_TRUE(a.commands.saveFromToolbar());
    EXPECT_EQ(a.dialogs.saveRequests.at(0).title, "Save Plan as");
    EXPECT_TRUE(QFile::exists(path("tool.pln")));
    EXPECT_FALSE(QFile::exists(path("tool.BAK")));
    EXPECT_EQ(a.store.planFileName, path("tool.pln"));
    EXPECT_EQ(a.view.panel, "tool.pln");
    EXPECT_TRUE(a.store.modified);
}

// --- the unsaved-changes question, New, Delete -----------------------------------

TEST_F(FileCommandsTest, newOnModifiedAnsweredNo_deletesRecordingsSinceLastSave)
{
    const QString savedSound = touch("rec/07091200.WAV");
    savedPlan(a, "work.pln", {rec("Saved", savedSound)});
    const QString attached = touch("rec/07101530.WAV");
    const QString unattached = touch("rec/07101531.WAV");
    const QString usersOwn = touch("elsewhere/07101532.WAV");
    a.store.insertInDateOrder(rec("New", attached));
    a.store.recordingsToDeleteOnDiscard.add(attached);
    a.store.recordingsToDeleteOnDiscard.add(usersOwn);
    a.store.newRecordings.add(unattached);
    a.store.modified = true;

    a.messages.script({MsgAnswer::No});
    a.commands.newPlan();

    ASSERT_EQ(a.messages.count(), 1);
    EXPECT_EQ(a.messages.last().text, "Save changes to the Current file ?");
    EXPECT_EQ(a.messages.last().title, "Zorvik Planner Save");
    EXPECT_EQ(a.messages.last().style, MsgStyle::YesNoQuestion);
    EXPECT_FALSE(QFile::exists(attached));
    EXPECT_FALSE(QFile::exists(unattached));
    EXPECT_TRUE(QFile::exists(savedSound));
    EXPECT_TRUE(QFile::exists(usersOwn));
    EXPECT_TRUE(a.store.planFileName.isEmpty());
    EXPECT_EQ(a.store.recordCount(), 0);
    EXPECT_TRUE(a.store.modified);
    EXPECT_EQ(a.view.title, "Zorvik Planner 3.2 ");
    EXPECT_EQ(a.view.panel, "New Plan");
    EXPECT_GE(a.view.refreshes, 1);
    EXPECT_FALSE(QFile::exists(FileCommands::lockFilePath(path("work.pln"))));

    a.messages.clear();
    a.store.modified = false;
    a.commands.newPlan();
    EXPECT_TRUE(a.messages.empty());
}

TEST_F(FileCommandsTest, recordingsOfASavedPlanSurviveDiscardingLaterChanges)
{
    const QString attached = touch("rec/07101530.WAV");
    a.store.replaceAll({rec("With sound", attached)});
    a.store.recordingsToDeleteOnDiscard.add(attached);
    a.store.modified = true;
    a.dialogs.scriptSave(path("work.pln"));
    ASSERT_TRUE(a.commands.savePlan());

    a.store.insertInDateOrder(rec("Later change"));
    a.store.modified = true;
    a.messages.script({MsgAnswer::No});
    a.commands.newPlan();
    EXPECT_TRUE(QFile::exists(attached));
}

// A removal dropped with No never happened: the saved plan still names the
// removed record's recording, so no later save or delete may take it.
TEST_F(FileCommandsTest, removalDiscardedWithNo_keepsTheSavedPlansRecording)
{
    const QString sound = touch("rec/07091200.WAV");
    savedPlan(a, "work.pln", {rec("Kept", sound), rec("Other")});
    a.store.supersededSounds.add(sound); // as Remove queues it
    a.store.removeRecord(1);
    a.store.modified = true;

    a.messages.script({MsgAnswer::No});
    a.commands.newPlan();
    a.store.insertInDateOrder(rec("Next plan"));
    a.dialogs.scriptSave(path("next.pln"));
    ASSERT_TRUE(a.commands.savePlan());
    EXPECT_TRUE(QFile::exists(sound));

    a.messages.script({MsgAnswer::Yes});
    a.commands.deletePlan();
    EXPECT_FALSE(QFile::exists(path("next.pln")));
    EXPECT_TRUE(QFile::exists(sound));
    RecordStore check;
    ASSERT_TRUE(readPlanFile(path("work.pln"), check, DateOrder::DayFirst).loaded());
    EXPECT_EQ(check.field(Field::AudioPath, 1), sound);
}

// Which save a Yes runs: Save for File > Exit, Save As for the others.
TEST_F(FileCommandsTest, promptAnsweredYes_savesThenGoesOn)
{
    const QString removed = touch("rec/07101530.WAV");
    savedPlan(a, "work.pln", {rec("One")});
    a.store.insertInDateOrder(rec("Two"));
    a.store.supersededSounds.add(removed);
    a.store.modified = true;

    a.messages.script({MsgAnswer::Yes});
    EXPECT_TRUE(a.commands.confirmDiscard(ExitVariant::MenuExit));
    EXPECT_TRUE(a.dialogs.saveRequests.empty());
    EXPECT_FALSE(a.store.modified);
    EXPECT_FALSE(QFile::exists(removed));

    a.store.insertInDateOrder(rec("Three"));
    a.store.modified = true;
    a.messages.script({MsgAnswer::Yes});
    a.dialogs.scriptSave(path("other.pln"));
    a.commands.newPlan();
    ASSERT_EQ(a.dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(a.dialogs.saveRequests[0].title, "Save Plan as");
    RecordStore check;
    ASSERT_TRUE(readPlanFile(path("other.pln"), check, DateOrder::DayFirst).loaded());
    EXPECT_EQ(check.recordCount(), 3);
    EXPECT_EQ(a.store.recordCount(), 0);
    EXPECT_TRUE(a.store.planFileName.isEmpty());
}

TEST_F(FileCommandsTest, deleteAnsweredYes_removesPlanAndOwnRecordings)
{
    const QString own = touch("rec/07101530.WAV");
    const QString usersOwn = touch("elsewhere/song.wav");
    const QString picture = touch("elsewhere/photo.bmp");
    PlannerRecord withPicture = rec("Picture");
    withPicture[Field::ImagePath] = picture;
    savedPlan(a, "work.pln", {rec("Own", own), rec("User's", usersOwn), withPicture});
    a.store.modified = true;

    a.messages.script({MsgAnswer::No});
    a.commands.deletePlan();
    EXPECT_TRUE(QFile::exists(path("work.pln")));
    EXPECT_EQ(a.store.recordCount(), 3);

    a.messages.clear();
    a.messages.script({MsgAnswer::Yes});
    a.commands.deletePlan();
    ASSERT_EQ(a.messages.count(), 1);
    EXPECT_EQ(a.messages.last().text, "Really delete current file ?");
    EXPECT_EQ(a.messages.last().title, "Zorvik Planner Delete");
    EXPECT_EQ(a.messages.last().style, MsgStyle::YesNoQuestion | MsgStyle::DefaultButton2);
    EXPECT_FALSE(QFile::exists(path("work.pln")));
    EXPECT_FALSE(QFile::exists(own));
    EXPECT_TRUE(QFile::exists(trashed("work.pln")));
    EXPECT_TRUE(QFile::exists(trashed("07101530.WAV")));
    EXPECT_TRUE(QFile::exists(usersOwn));
    EXPECT_TRUE(QFile::exists(picture));
    EXPECT_FALSE(QFile::exists(FileCommands::lockFilePath(path("work.pln"))));
    EXPECT_EQ(a.view.panel, "New Plan");
    EXPECT_EQ(a.view.title, "Zorvik Planner 3.2 ");
    EXPECT_EQ(a.store.recordCount(), 0);
    EXPECT_FALSE(a.store.modified);
}

TEST_F(FileCommandsTest, deleteOfAFileThatCannotBeDeleted_reportsAndClearsAnyway)
{
    a.store.replaceAll({rec("One")});
    a.store.planFileName = path("gone.pln");
    a.messages.script({MsgAnswer::Yes});
    a.commands.deletePlan();
    ASSERT_EQ(a.messages.count(), 2);
    EXPECT_EQ(a.messages.last().text, "Trouble deleteting file");
    EXPECT_EQ(a.messages.last().style, MsgStyle::Exclamation);
    EXPECT_TRUE(a.messages.last().title.isEmpty());
    EXPECT_EQ(a.store.recordCount(), 0);
    EXPECT_TRUE(a.store.planFileName.isEmpty());
}

// Enter alone answers the delete question with its default, No.
TEST_F(FileCommandsTest, deleteAnsweredWithEnter_keepsThePlan)
{
    savedPlan(a, "work.pln", {rec("One")});
    a.commands.deletePlan();
    EXPECT_TRUE(QFile::exists(path("work.pln")));
    EXPECT_EQ(a.store.recordCount(), 1);
}

// The plan, its records' recordings and the recordings the lists hold all
// land in the home trash, each with the note that lets it be put back.
TEST_F(FileCommandsTest, deletedPlanAndRecordings_canBeRestoredFromTheTrash)
{
    const QString own = touch("rec/07101530.WAV");
    const QString unattached = touch("rec/07111200.WAV");
    savedPlan(a, "work.pln", {rec("Own", own)});
    a.store.newRecordings.add(unattached);
    const QByteArray saved = readBytes(path("work.pln"));

    a.messages.script({MsgAnswer::Yes});
    a.commands.deletePlan();
    ASSERT_EQ(a.messages.count(), 1);
    EXPECT_EQ(readBytes(trashed("work.pln")), saved);
    for (const QString& file : {path("work.pln"), own, unattached}) {
        const QString name = QFileInfo(file).fileName();
        EXPECT_FALSE(QFile::exists(file)) << name.toStdString();
        EXPECT_TRUE(QFile::exists(trashed(name))) << name.toStdString();
        EXPECT_TRUE(trashInfo(name).contains("Path=" + QFile::encodeName(file))) << name.toStdString();
    }
}

// A trash that cannot take the file never turns into a deletion for good.
TEST_F(FileCommandsTest, deleteIntoATrashThatCannotBeWritten_keepsThePlanAndSaysWhy)
{
    const QString own = touch("rec/07101530.WAV");
    savedPlan(a, "work.pln", {rec("Own", own)});
    ASSERT_TRUE(QDir().mkpath(path("data/Trash/info")));
    writeBytes(path("data/Trash/files"), "a file where the trash keeps its files");

    a.messages.script({MsgAnswer::Yes});
    a.commands.deletePlan();
    EXPECT_TRUE(QFile::exists(path("work.pln")));
    EXPECT_TRUE(QFile::exists(own));
    ASSERT_EQ(a.messages.count(), 2);
    EXPECT_TRUE(a.messages.last().text.startsWith("Trouble deleteting file\n" + path("work.pln")))
        << a.messages.last().text.toStdString();
    EXPECT_EQ(a.messages.last().style, MsgStyle::Exclamation);
    EXPECT_EQ(a.store.recordCount(), 0);
    EXPECT_EQ(a.view.panel, "New Plan");
}

// A disk without a trash: the question warns, and Yes deletes as it always has.
TEST_F(FileCommandsTest, deleteOnADiskWithoutTrash_warnsThenDeletes)
{
    struct NoTrash : DesktopTrash {
        QString folderFor(const QString&) const override { return {}; }
    } noTrash;
    a.commands.useTrash(noTrash);
    const QString own = touch("rec/07101530.WAV");
    savedPlan(a, "work.pln", {rec("Own", own)});

    a.messages.script({MsgAnswer::Yes});
    a.commands.deletePlan();
    ASSERT_EQ(a.messages.count(), 1);
    EXPECT_EQ(a.messages.last().text, "Really delete current file ?\n" + path("work.pln")
                                          + " is on a disk without a trash: it will be deleted permanently.");
    EXPECT_EQ(a.messages.last().title, "Zorvik Planner Delete");
    EXPECT_FALSE(QFile::exists(path("work.pln")));
    EXPECT_FALSE(QFile::exists(own));
    EXPECT_FALSE(QFile::exists(path("data/Trash")));
}

// Which trash a file on another disk goes to.
TEST(TrashFolder, followsTheDesktopsRulesForEachDisk)
{
    QTemporaryDir top;
    const QString uid = "1000";
    const QString home = "/home/u/.local/share/Trash";
    EXPECT_EQ(trashFolderOn(top.path(), true, home, 1000), home);
    // Nothing there yet: the user's own trash, made on first use.
    EXPECT_EQ(trashFolderOn(top.path(), false, home, 1000), top.filePath(".Trash-" + uid));
    // An administrator's .Trash counts only when sticky.
    ASSERT_TRUE(QDir(top.path()).mkdir(".Trash"));
    EXPECT_EQ(trashFolderOn(top.path(), false, home, 1000), top.filePath(".Trash-" + uid));
    ASSERT_EQ(::chmod(QFile::encodeName(top.filePath(".Trash")).constData(), 01777), 0);
    EXPECT_EQ(trashFolderOn(top.path(), false, home, 1000), top.filePath(".Trash/" + uid));
    // Something else in the place of the user's trash: none.
    writeBytes(top.filePath(".Trash-1001"), "not a folder");
    EXPECT_EQ(trashFolderOn(top.path(), false, home, 1001), top.filePath(".Trash/1001"));
    ASSERT_TRUE(QDir(top.path()).rmdir(".Trash"));
    EXPECT_EQ(trashFolderOn(top.path(), false, home, 1001), QString());
    EXPECT_EQ(trashFolderOn(top.filePath("no such disk"), false, home, 1000), QString());
}

// --- write errors -----------------------------------------------------------------

// Every way of saving: a failed write is reported, the plan stays modified
// and under its name, and no sound file goes.
TEST_F(FileCommandsTest, writeError_isReportedAndKeepsChangesAndSounds)
{
    writeBytes(path("afile"), "not a folder");
    const QString bad = path("afile/plan.pln");
    enum Start { Untitled, Named, NamedBad };
    struct Case {
        const char* branch;
        Start start;
        std::function<bool(Copy&)> run;
    };
    const Case cases[] = {
        {"Save with a name", NamedBad, [&](Copy& c) { return c.commands.savePlan(); }},
        {"Save's dialog", Untitled, [&](Copy& c) { c.dialogs.scriptSave(bad); return c.commands.savePlan(); }},
        {"Save As", Named, [&](Copy& c) { c.dialogs.scriptSave(bad); return c.commands.savePlanAs(); }},
        {"toolbar save", Named, [&](Copy& c) { c.dialogs.scriptSave(bad); return c.commands.saveFromToolbar(); }},
        {"prompt on New", Named,
         [&](Copy& c) {
             c.messages.script({MsgAnswer::Yes});
             c.dialogs.scriptSave(bad);
             c.commands.newPlan();
             return false;
         }},
        {"prompt on File > Exit", NamedBad,
         [&](Copy& c) {
             c.messages.script({MsgAnswer::Yes});
             return c.commands.confirmDiscard(ExitVariant::MenuExit);
         }},
    };
    int n = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.branch);
        Copy c;
        c.store.recordingsFolder = path("rec");
        if (k.start == Named)
            savedPlan(c, QStringLiteral("named%1.pln").arg(n), {rec("Old")});
        const QString superseded = touch(QStringLiteral("rec/0710153%1.WAV").arg(n));
        const QString unattached = touch(QStringLiteral("rec/0710154%1.WAV").arg(n));
        const QString attached = touch(QStringLiteral("rec/0710155%1.WAV").arg(n));
        ++n;
        c.store.replaceAll({rec("Work", attached)});
        if (k.start == NamedBad)
            c.store.planFileName = bad;
        const QString nameBefore = c.store.planFileName;
        c.store.supersededSounds.add(superseded);
        c.store.newRecordings.add(unattached);
        c.store.recordingsToDeleteOnDiscard.add(attached);
        c.store.modified = true;

        EXPECT_FALSE(k.run(c));
        ASSERT_FALSE(c.messages.empty());
        const auto& report = c.messages.last();
        EXPECT_EQ(report.title, "Zorvik Planner Save");
        EXPECT_EQ(report.style, MsgStyle::Exclamation);
        EXPECT_TRUE(report.text.contains(bad)) << report.text.toStdString();
        EXPECT_GT(report.text.size(), bad.size() + 30) << "the system's reason is missing";
        EXPECT_TRUE(c.store.modified);
        EXPECT_EQ(names(c.store), QStringList{"Work"});
        for (const QString& p : {superseded, unattached, attached}) {
            EXPECT_TRUE(QFile::exists(p)) << p.toStdString();
        }
        EXPECT_EQ(c.store.recordingsToDeleteOnDiscard.count(), 1);
        EXPECT_EQ(c.store.planFileName, nameBefore);
    }
}

TEST_F(FileCommandsTest, saveAsOntoAPipeOrAFolder_isRefusedAndLeavesItInPlace)
{
    const QString fifo = path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir(temp.path()).mkdir("folder"));
    for (const QString& target : {fifo, path("folder")}) {
        SCOPED_TRACE(target.toStdString());
        savedPlan(a, "work.pln", {rec("Work")});
        a.store.modified = true;
        a.dialogs.scriptSave(target);
        EXPECT_FALSE(a.commands.savePlanAs());
        ASSERT_FALSE(a.messages.empty());
        EXPECT_TRUE(a.messages.last().text.startsWith("The plan could not be saved as " + target));
        EXPECT_TRUE(a.store.modified);
        EXPECT_EQ(a.store.planFileName, path("work.pln"));
    }
    struct stat st = {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(FileCommandsTest, backupFailure_isReportedButThePlanCountsAsSaved)
{
    ASSERT_TRUE(QDir(temp.path()).mkpath("x.dir/WORK.BAK")); // where the backup would go
    const QString removed = touch("rec/07101530.WAV");
    a.store.keepBackups = "1";
    a.store.replaceAll({rec("One")});
    a.store.supersededSounds.add(removed);
    a.store.modified = true;
    a.dialogs.scriptSave(path("x.dir/WORK"));
    ASSERT_TRUE(a.commands.savePlan());
    ASSERT_EQ(a.messages.count(), 1);
    EXPECT_EQ(a.messages.last().title, "Zorvik Planner Save");
    EXPECT_TRUE(a.messages.last().text.contains(path("x.dir/WORK.BAK")));
    EXPECT_FALSE(a.store.modified);
    EXPECT_FALSE(QFile::exists(removed));
}

// A folder that can be written but not opened for reading cannot be synced:
// the plan is in place all the same, and is reported as saved.
TEST_F(FileCommandsTest, saveThatCannotBeConfirmedOnDisk_isReportedAsSaved)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root opens any folder";
    ASSERT_TRUE(QDir(temp.path()).mkpath("blind"));
    savedPlan(a, "blind/work.pln", {rec("One")});
    ASSERT_TRUE(QFile::setPermissions(path("blind"), QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    a.store.replaceAll({rec("One"), rec("Two")});
    a.store.modified = true;
    EXPECT_TRUE(a.commands.savePlan());
    QFile::setPermissions(path("blind"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(a.messages.count(), 1);
    EXPECT_TRUE(a.messages.last().text.startsWith("The plan was saved as " + path("blind/work.pln")));
    EXPECT_FALSE(a.store.modified);
    // The next save knows the file as it was written: no question about
    // another program.
    a.messages.clear();
    a.store.modified = true;
    EXPECT_TRUE(a.commands.savePlan());
    EXPECT_TRUE(a.messages.empty());
}

// A save interrupted between writing and renaming leaves its temporary; the
// next open or save of that plan removes it, and nothing else.
TEST_F(FileCommandsTest, temporariesOfAnInterruptedSave_goAtTheNextOpenOrSave)
{
    savedPlan(a, "work.pln", {rec("Mine")});
    a.commands.release();
    const QStringList left = {"work.pln.zorvik-save-Ab12Cd", "work.pln.zorvik-save-zzzzzz"};
    const QStringList kept = {"work.pln.backup", "work.pln.zorvik-save-toolong1", "other.pln.zorvik-save-Ab12Cd",
                              "work.pln.AbCdEf"};
    for (const QString& name : left + kept)
        writeBytes(path(name), "Zorvik Planner 3.2 0\r\n");
    for (bool viaSave : {false, true}) {
        SCOPED_TRACE(viaSave ? "save" : "open");
        Copy c;
        if (viaSave) {
            for (const QString& name : left)
                writeBytes(path(name), "Zorvik Planner 3.2 0\r\n");
            c.store.planFileName = path("work.pln");
            ASSERT_TRUE(c.commands.savePlan());
        } else {
            c.dialogs.scriptOpen(path("work.pln"));
            c.commands.openPlan();
            ASSERT_EQ(c.store.planFileName, path("work.pln"));
        }
        for (const QString& name : left)
            EXPECT_FALSE(QFile::exists(path(name))) << name.toStdString();
        for (const QString& name : kept)
            EXPECT_TRUE(QFile::exists(path(name))) << name.toStdString();
        c.commands.release();
    }
}

// --- Open ----------------------------------------------------------------------------

TEST_F(FileCommandsTest, openFromMenuOrToolbar_asksAboutUnsavedChangesAndLoads)
{
    for (bool toolbar : {false, true}) {
        SCOPED_TRACE(toolbar ? "toolbar" : "menu");
        Copy c;
        c.store.recordingsFolder = path("rec");
        savedPlan(c, "other.pln", {rec("A"), rec("B"), rec("C")});
        savedPlan(c, "work.pln", {rec("Mine")});
        const QString attached = touch("rec/07101530.WAV");
        c.store.recordingsToDeleteOnDiscard.add(attached);
        c.store.currentRecord = 7;
        c.store.modified = true;

        c.messages.script({MsgAnswer::No});
        c.dialogs.scriptOpen(path("other.pln"));
        toolbar ? c.commands.openPlanFromToolbar() : c.commands.openPlan();

        ASSERT_EQ(c.messages.count(), 1);
        EXPECT_EQ(c.messages.last().text, "Save changes to the Current file ?");
        ASSERT_EQ(c.dialogs.openRequests.size(), 1u);
        EXPECT_EQ(c.dialogs.openRequests[0].title, "Load Plan");
        EXPECT_EQ(c.dialogs.openRequests[0].filterIndex, 2);
        EXPECT_FALSE(QFile::exists(attached));
        EXPECT_EQ(names(c.store), QStringList({"A", "B", "C"}));
        EXPECT_EQ(c.store.planFileName, path("other.pln"));
        EXPECT_EQ(c.store.currentRecord, 3);
        EXPECT_FALSE(c.store.modified);
        EXPECT_EQ(c.view.panel, "other.pln");
        EXPECT_GE(c.view.refreshes, 1);
    }
}

// "No" to saving drops the changes only once another plan is in.
TEST_F(FileCommandsTest, openAnsweredNo_thenCancelledOrFailed_keepsThePlanAndItsRecordings)
{
    writeBytes(path("text.pln"), "Just some notes, not a plan at all\r\n");
    for (const char* chosen : {"", "text.pln"}) {
        SCOPED_TRACE(chosen);
        Copy c;
        c.store.recordingsFolder = path("rec");
        savedPlan(c, "work.pln", {rec("Mine")});
        const QString attached = touch("rec/07101530.WAV");
        const QString unattached = touch("rec/07101531.WAV");
        c.store.recordingsToDeleteOnDiscard.add(attached);
        c.store.newRecordings.add(unattached);
        c.store.replaceAll({rec("Mine"), rec("Edited")});
        c.store.modified = true;

        c.messages.script({MsgAnswer::No});
        if (*chosen)
            c.dialogs.scriptOpen(path(chosen));
        c.commands.openPlan();

        EXPECT_TRUE(c.store.modified);
        EXPECT_EQ(names(c.store), QStringList({"Mine", "Edited"}));
        EXPECT_EQ(c.store.planFileName, path("work.pln"));
        EXPECT_TRUE(QFile::exists(attached));
        EXPECT_TRUE(QFile::exists(unattached));
        EXPECT_EQ(c.store.recordingsToDeleteOnDiscard.count(), 1);
    }
}

TEST_F(FileCommandsTest, openWithoutChanges_stillDeletesUnattachedRecordings)
{
    savedPlan(a, "work.pln", {rec("Mine")});
    const QString unattached = touch("rec/07101531.WAV");
    a.store.newRecordings.add(unattached);
    a.commands.openPlan(); // dialog cancelled
    EXPECT_TRUE(a.messages.empty());
    EXPECT_FALSE(QFile::exists(unattached));
}

TEST_F(FileCommandsTest, rejectedOpen_keepsNameTitleRecordsAndLock)
{
    writeBytes(path("text.pln"), "Just some notes, not a plan at all\r\n");
    writeBytes(path("cut.pln"), "Zorvik Planner 3.2 0\r\nenglisheuro\r\n01/01/1997\r\n10:00\r\n");
    writeBytes(path("tiny.pln"), "tiny");
    const std::pair<const char*, const char*> cases[] = {
        {"text.pln", "File is not a Zorvik Planner file"},
        {"cut.pln", "Trouble loading Planner file."},
        {"missing.pln", "Trouble loading Planner file."},
        {"tiny.pln", ""},
    };
    savedPlan(a, "work.pln", {rec("Mine")});
    a.view.title = "unchanged";
    a.view.refreshes = 0;
    for (const auto& [file, message] : cases) {
        SCOPED_TRACE(file);
        a.messages.clear();
        a.dialogs.scriptOpen(path(file));
        a.commands.openPlan();
        if (*message) {
            ASSERT_EQ(a.messages.count(), 1);
            EXPECT_EQ(a.messages.last().text, message);
            EXPECT_EQ(a.messages.last().style, MsgStyle::Exclamation);
        } else {
            EXPECT_TRUE(a.messages.empty());
        }
        EXPECT_EQ(a.store.planFileName, path("work.pln"));
        EXPECT_EQ(names(a.store), QStringList{"Mine"});
        EXPECT_EQ(a.view.title, "unchanged");
        EXPECT_EQ(a.view.refreshes, 0);
        EXPECT_TRUE(QFile::exists(FileCommands::lockFilePath(path("work.pln"))));
        EXPECT_FALSE(QFile::exists(FileCommands::lockFilePath(path(file))));
    }
}

TEST_F(FileCommandsTest, cancelledDialogs_changeNothing)
{
    savedPlan(a, "work.pln", {rec("Mine")});
    a.store.modified = true;
    const QString unattached = touch("rec/07101531.WAV");
    a.store.newRecordings.add(unattached);
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"Save As", [&] { EXPECT_FALSE(a.commands.savePlanAs()); }},
        {"toolbar save", [&] { EXPECT_FALSE(a.commands.saveFromToolbar()); }},
        {"empty name", [&] { a.dialogs.scriptSave(""); EXPECT_FALSE(a.commands.savePlanAs()); }},
    };
    for (const auto& [what, run] : cases) {
        SCOPED_TRACE(what);
        run();
        EXPECT_EQ(a.store.planFileName, path("work.pln"));
        EXPECT_TRUE(a.store.modified);
        EXPECT_TRUE(QFile::exists(unattached));
    }

    Copy untitled;
    untitled.store.replaceAll({rec("New")});
    untitled.store.modified = true;
    EXPECT_FALSE(untitled.commands.savePlan());
    EXPECT_TRUE(untitled.store.modified);
    untitled.messages.script({MsgAnswer::Yes}); // save it, then cancel the dialog
    untitled.commands.newPlan();
    EXPECT_EQ(names(untitled.store), QStringList{"New"});
    EXPECT_TRUE(untitled.store.modified);
}

// --- two copies ------------------------------------------------------------------------

TEST_F(FileCommandsTest, secondCopyOpeningAPlanInUse_isAskedAndMayDecline)
{
    savedPlan(a, "shared.pln", {rec("Shared")});
    savedPlan(b, "mine.pln", {rec("B's own")});
    // A plan stays open for hours; its lock does not grow stale with age.
    QFile lockFile(FileCommands::lockFilePath(path("shared.pln")));
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3 * 3600), QFileDevice::FileModificationTime));
    lockFile.close();

    b.messages.script({MsgAnswer::No});
    b.dialogs.scriptOpen(path("shared.pln"));
    b.commands.openPlan();
    ASSERT_EQ(b.messages.count(), 1);
    EXPECT_EQ(b.messages.last().text, "The plan " + path("shared.pln") +
                                          " is open in another copy of Zorvik Planner.\nOpen it anyway?");
    EXPECT_EQ(b.messages.last().title, "Zorvik Planner Open");
    EXPECT_EQ(b.messages.last().style, MsgStyle::YesNoQuestion);
    EXPECT_EQ(b.store.planFileName, path("mine.pln"));
    EXPECT_EQ(names(b.store), QStringList{"B's own"});

    b.messages.clear();
    b.messages.script({MsgAnswer::Yes});
    b.dialogs.scriptOpen(path("shared.pln"));
    b.commands.openPlan();
    EXPECT_EQ(b.messages.count(), 1);
    EXPECT_EQ(b.store.planFileName, path("shared.pln"));
    EXPECT_EQ(names(b.store), QStringList{"Shared"});
    // B let go of its own plan's lock when it moved on.
    EXPECT_FALSE(QFile::exists(FileCommands::lockFilePath(path("mine.pln"))));

    // When the first copy lets go, the lock B took over stays: a third copy
    // is still asked. Once B lets go too, nobody is.
    a.commands.release();
    EXPECT_TRUE(QFile::exists(FileCommands::lockFilePath(path("shared.pln"))));
    Copy third;
    third.messages.script({MsgAnswer::No});
    third.dialogs.scriptOpen(path("shared.pln"));
    third.commands.openPlan();
    EXPECT_EQ(third.messages.count(), 1);
    b.commands.release();
    third.messages.clear();
    third.dialogs.scriptOpen(path("shared.pln"));
    third.commands.openPlan();
    EXPECT_TRUE(third.messages.empty());
    EXPECT_EQ(third.store.planFileName, path("shared.pln"));
}

TEST_F(FileCommandsTest, startupWithAPlanInUse_declinedGivesAnUntitledEmptyPlan)
{
    savedPlan(a, "shared.pln", {rec("Shared")});
    b.messages.script({MsgAnswer::No});
    EXPECT_FALSE(b.commands.openPlanAtStartup(path("shared.pln")));
    EXPECT_EQ(b.messages.last().title, "Zorvik Planner Open");
    EXPECT_TRUE(b.store.planFileName.isEmpty());
    EXPECT_EQ(b.store.recordCount(), 0);
    // Remembered for the next start until another plan is opened, saved or made.
    EXPECT_EQ(b.store.unopenedStartupPlan, path("shared.pln"));
    EXPECT_EQ(takeSettingsSnapshot(Settings{}, b.store).planFileName, path("shared.pln"));
    b.commands.newPlan();
    EXPECT_EQ(takeSettingsSnapshot(Settings{}, b.store).planFileName, "");

    Copy c;
    c.messages.script({MsgAnswer::Yes});
    EXPECT_TRUE(c.commands.openPlanAtStartup(path("shared.pln")));
    EXPECT_EQ(names(c.store), QStringList{"Shared"});
    EXPECT_FALSE(c.store.modified);
}

TEST_F(FileCommandsTest, lockLeftByAnEndedCopy_isTakenOverWithoutAsking)
{
    savedPlan(a, "crashed.pln", {rec("Survivor")});
    a.commands.release();
    const QString lockPath = FileCommands::lockFilePath(path("crashed.pln"));
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        QLockFile lock(lockPath);
        lock.tryLock(0);
        _exit(0); // ends without letting go, as a crash would
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(QFile::exists(lockPath));

    EXPECT_TRUE(b.commands.openPlanAtStartup(path("crashed.pln")));
    EXPECT_TRUE(b.messages.empty());
    EXPECT_EQ(names(b.store), QStringList{"Survivor"});
}

// Locks that name no living owner are taken over without a question; the
// plan is then locked by this copy, so a further copy is asked.
TEST_F(FileCommandsTest, staleLockFiles_neverBlock)
{
    savedPlan(a, "work.pln", {rec("Mine")});
    a.commands.release();
    const QString lockPath = FileCommands::lockFilePath(path("work.pln"));
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"garbage", QByteArray("not a lock at all\n\x01\x02")},
        {"NUL bytes", QByteArray(64, '\0')},
        {"folder", QByteArray()},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        QFile::remove(lockPath);
        if (QByteArray(what) == "folder")
            ASSERT_TRUE(QDir().mkdir(lockPath));
        else
            writeBytes(lockPath, bytes);
        Copy c;
        EXPECT_TRUE(c.commands.openPlanAtStartup(path("work.pln")));
        EXPECT_TRUE(c.messages.empty());
        EXPECT_EQ(names(c.store), QStringList{"Mine"});
        Copy d;
        d.messages.script({MsgAnswer::No});
        EXPECT_FALSE(d.commands.openPlanAtStartup(path("work.pln")));
        EXPECT_EQ(d.messages.count(), 1);
        c.commands.release();
    }
}

TEST_F(FileCommandsTest, yesToALiveLock_takesItOver)
{
    savedPlan(a, "shared.pln", {rec("Shared")});
    a.commands.release();
    const QString lockPath = FileCommands::lockFilePath(path("shared.pln"));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) { // another copy, alive and holding the plan
        QLockFile lock(lockPath);
        lock.tryLock(0);
        (void)!write(ready[1], "x", 1);
        pause();
        _exit(0);
    }
    char x;
    ASSERT_EQ(read(ready[0], &x, 1), 1);
    b.messages.script({MsgAnswer::Yes});
    EXPECT_TRUE(b.commands.openPlanAtStartup(path("shared.pln")));
    EXPECT_EQ(b.messages.count(), 1);
    kill(other, SIGKILL);
    waitpid(other, nullptr, 0);
    qint64 owner = 0;
    QString host, application;
    ASSERT_TRUE(QLockFile(lockPath).getLockInfo(&owner, &host, &application));
    EXPECT_EQ(owner, QCoreApplication::applicationPid());
}

TEST_F(FileCommandsTest, fileChangedByAnotherProgram_isNotOverwrittenUnasked)
{
    for (bool sameSize : {true, false}) {
        SCOPED_TRACE(sameSize ? "same size" : "other size");
        Copy c;
        savedPlan(c, "watched.pln", {rec("Mine")});
        QByteArray theirs = readBytes(path("watched.pln"));
        if (sameSize)
            theirs.replace("Mine", "Them");
        else
            theirs.replace("Mine", "Theirs");
        writeBytes(path("watched.pln"), theirs);
        c.store.insertInDateOrder(rec("More"));
        c.store.modified = true;

        c.messages.script({MsgAnswer::No});
        EXPECT_FALSE(c.commands.savePlan());
        ASSERT_EQ(c.messages.count(), 1);
        EXPECT_EQ(c.messages.last().text, "The file " + path("watched.pln") +
                                              " has been changed by another program since it was opened.\n"
                                              "Overwrite it with this plan?");
        EXPECT_EQ(c.messages.last().title, "Zorvik Planner Save");
        EXPECT_EQ(c.messages.last().style, MsgStyle::YesNoQuestion);
        EXPECT_EQ(readBytes(path("watched.pln")), theirs);
        EXPECT_TRUE(c.store.modified);

        c.messages.script({MsgAnswer::Yes});
        EXPECT_TRUE(c.commands.savePlan());
        EXPECT_NE(readBytes(path("watched.pln")), theirs);
        c.messages.clear();
        EXPECT_TRUE(c.commands.savePlan()); // our own write is not a change
        EXPECT_TRUE(c.messages.empty());
    }
}

} // namespace
} // namespace zp
