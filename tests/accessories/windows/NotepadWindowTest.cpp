#include "accessories/windows/FindDialog.h"
#include "accessories/windows/NotepadDocument.h"
#include "accessories/windows/NotepadWindow.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "accessories/TextFile.h"
#include "support/Fakes.h"
#include "support/Helpers.h"
#include "ui/ImageButton.h"
#include "ui/WindowGeometry.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace zp {
namespace {

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class NotepadWindowTest : public ::testing::Test {
protected:
    NotepadWindowTest() : frame(state, test.platform()) {}
    ~NotepadWindowTest() override
    {
        test.messages.defaultAnswer = MsgAnswer::No;
        frame.close();
        flushDeletes();
    }
    NotepadDocument* typed(const QString& text)
    {
        NotepadDocument* d = frame.newDocument();
        d->editor()->setPlainText(text);
        return d;
    }
    void setCaret(NotepadDocument* d, int position, int length = 0)
    {
        QTextCursor c = d->editor()->textCursor();
        c.setPosition(position);
        c.setPosition(position + length, QTextCursor::KeepAnchor);
        d->editor()->setTextCursor(c);
    }
    bool buttonEnabled(const char* name) { return frame.findChild<ImageButton*>(name)->isEnabled(); }

    TestPlatform test;
    ProgramState state;
    QTemporaryDir dir;
    NotepadWindow frame;
};

TEST_F(NotepadWindowTest, opening_placesTheFrameAndStartsAnUntitledDocument)
{
    state.settings.font.size = 13;
    frame.open();
    EXPECT_EQ(frame.objectName(), "frmMDI");
    EXPECT_EQ(frame.windowTitle(), "Zorvik  Planner  NotePad");
    EXPECT_TRUE(state.notepadOpen);
    ASSERT_EQ(frame.documents().size(), 1);
    NotepadDocument* d = frame.documents().first();
    EXPECT_EQ(d->objectName(), "frmNotePad");
    EXPECT_EQ(d->windowTitle(), "Untitled");
    EXPECT_EQ(d->editor()->objectName(), "Text1");
    EXPECT_EQ(d->editor()->font().pointSize(), 13);
    EXPECT_EQ(d->slot(), 1);
    // Where it was left (the size settles once the frame is drawn round it).
    EXPECT_EQ(placementOf(frame, Twips(test.screen)).top, 1845);
    EXPECT_EQ(placementOf(frame, Twips(test.screen)).left, 1110);

    // The menus shown are the document's, with the captions users know.
    QStringList bar;
    for (QAction* a : frame.menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, QStringList({"&File", "&Edit", "&Search", "&Options", "&Window"}));
    const std::pair<const char*, const char*> items[] = {
        {"mnuFNew", "&New"},          {"mnuFOpen", "&Open..."},        {"mnuFClose", "&Close"},
        {"mnuFSave", "&Save"},        {"mnuFSaveAs", "Save &As..."},   {"mnuFExit", "E&xit"},
        {"mnuECut", "Cu&t"},          {"mnuECopy", "&Copy"},           {"mnuEPaste", "&Paste"},
        {"mnuEDelete", "De&lete"},    {"mnuESelectAll", "Select &All"}, {"mnuETime", "Time/&Date"},
        {"mnuSFind", "&Find"},        {"mnuSFindNext", "Find &Next"},  {"mnuOToolbar", "&Toolbar"},
        {"mnuWCascade", "&Cascade"},  {"mnuWTile", "&Tile"},           {"mnuWArrange", "&Arrange Icons"},
    };
    for (const auto& [name, caption] : items) {
        ASSERT_NE(d->menuAction(name), nullptr) << name;
        EXPECT_EQ(d->menuAction(name)->text(), caption) << name;
    }

    // A second opening adds a document in the next slot.
    frame.open();
    ASSERT_EQ(frame.documents().size(), 2);
    EXPECT_EQ(frame.activeDocument()->slot(), 2);
}

TEST_F(NotepadWindowTest, closingTheLastDocument_disablesTheEditButtonsAndShowsTheFrameMenus)
{
    frame.open();
    EXPECT_TRUE(buttonEnabled("imgCutButton"));
    frame.activeDocument()->close();
    flushDeletes();
    EXPECT_TRUE(frame.documents().isEmpty());
    for (const char* name : {"imgCutButton", "imgCopyButton", "imgPasteButton"})
        EXPECT_FALSE(buttonEnabled(name)) << name;
    EXPECT_TRUE(buttonEnabled("imgFileNewButton"));
    QStringList bar;
    for (QAction* a : frame.menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, QStringList({"&File", "&Options"}));
    EXPECT_EQ(frame.menuAction("mnuFOpen")->text(), "&Open");

    // The New picture brings a document, and the edit buttons, back.
    QTest::mouseClick(frame.findChild<ImageButton*>("imgFileNewButton"), Qt::LeftButton);
    EXPECT_EQ(frame.documents().size(), 1);
    EXPECT_EQ(frame.activeDocument()->slot(), 1); // the freed slot
    EXPECT_TRUE(buttonEnabled("imgPasteButton"));
}

TEST_F(NotepadWindowTest, newDocuments_areNumberedAndCascadeWhollyInsideTheFrame)
{
    frame.open();
    frame.resize(800, 600);
    frame.activeDocument()->close();
    flushDeletes();
    QStringList names;
    for (int i = 0; i < 12; ++i)
        names << frame.newDocument()->windowTitle();
    EXPECT_EQ(names.mid(0, 3), QStringList({"Untitled", "Untitled 2", "Untitled 3"}));
    EXPECT_EQ(names.last(), "Untitled 12");
    const QRect room = frame.area()->viewport()->rect();
    const QList<NotepadDocument*> open = frame.documents();
    for (qsizetype i = 0; i < open.size(); ++i) {
        const QRect g = open[i]->geometry();
        EXPECT_TRUE(room.contains(g)) << i;
        if (i == 0)
            continue;
        // A step down and right of the one before, or back at the corner.
        const QPoint step = g.topLeft() - open[i - 1]->pos();
        EXPECT_TRUE((step.x() > 0 && step.x() == step.y()) || g.topLeft() == QPoint(0, 0)) << i;
    }
    EXPECT_NE(open[1]->pos(), open[0]->pos());

    // A closed one's number, or a saved one's, goes to the next new one.
    open[2]->close();
    flushDeletes();
    EXPECT_EQ(frame.newDocument()->windowTitle(), "Untitled 3");
    test.fileDialogs.scriptSave(dir.filePath("saved.txt"));
    ASSERT_TRUE(open[4]->save());
    EXPECT_EQ(frame.newDocument()->windowTitle(), "Untitled 5");
}

TEST_F(NotepadWindowTest, aChangedDocument_showsAStarInItsCaptionUntilSaved)
{
    frame.open();
    const QString path = dir.filePath("notes.txt");
    writeBytes(path, "one\n");
    NotepadDocument* d = frame.openFile(path);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), path.toUpper());
    QTest::keyClicks(d->editor(), "x");
    EXPECT_EQ(d->windowTitle(), path.toUpper() + " *");
    EXPECT_TRUE(d->save());
    EXPECT_EQ(d->windowTitle(), path.toUpper());
    QTest::keyClicks(frame.documents().first()->editor(), "y");
    EXPECT_EQ(frame.documents().first()->windowTitle(), "Untitled *");
}

TEST_F(NotepadWindowTest, unsavedChanges_askWithTheExactQuestionAndFollowTheAnswer)
{
    frame.open();
    struct Case {
        const char* label;
        int answer;
        std::optional<QString> saveName;
        bool closes;
        bool saved;
    } cases[] = {
        {"Yes and a name saves and closes", MsgAnswer::Yes, dir.filePath("yes.txt"), true, true},
        {"Yes then cancelling the dialog keeps it", MsgAnswer::Yes, std::nullopt, false, false},
        {"No closes without saving", MsgAnswer::No, std::nullopt, true, false},
        {"Cancel keeps it", MsgAnswer::Cancel, std::nullopt, false, false},
        {"Yes to a folder that cannot be written keeps it", MsgAnswer::Yes, dir.filePath("no/such/x.txt"), false, false},
    };
    for (const Case& c : cases) {
        QFile::remove(dir.filePath("yes.txt"));
        NotepadDocument* d = typed(QStringLiteral("draft"));
        const QString name = d->documentName();
        test.messages.clear();
        test.messages.script({c.answer, MsgAnswer::Ok});
        if (c.answer == MsgAnswer::Yes)
            test.fileDialogs.scriptSave(c.saveName);
        const QPointer<NotepadDocument> alive(d);
        d->close();
        flushDeletes();
        ASSERT_GE(test.messages.count(), 1) << c.label;
        EXPECT_TRUE(name.startsWith("Untitled ")) << c.label;
        EXPECT_EQ(test.messages.calls[0].text,
                  "The text in [" + name + "] has changed.\n\rDo you want to save the changes?") << c.label;
        EXPECT_EQ(test.messages.calls[0].style, 51) << c.label;
        EXPECT_EQ(test.messages.calls[0].title, "Zorvik  Planner  NotePad") << c.label;
        EXPECT_EQ(alive.isNull(), c.closes) << c.label;
        EXPECT_EQ(QFile::exists(dir.filePath("yes.txt")), c.saved) << c.label;
        if (alive) {
            EXPECT_TRUE(alive->isDirty()) << c.label;
            EXPECT_EQ(alive->windowTitle(), name + " *") << c.label;
        }
        if (c.saveName && !c.saved) { // the reason the save failed
            ASSERT_EQ(test.messages.count(), 2) << c.label;
            EXPECT_EQ(test.messages.calls[1].style, 48) << c.label;
            EXPECT_FALSE(test.messages.calls[1].text.isEmpty()) << c.label;
        }
    }
    // An unchanged document closes without a question.
    test.messages.clear();
    frame.newDocument()->close();
    EXPECT_TRUE(test.messages.empty());
}

TEST_F(NotepadWindowTest, saveAndOpen_useTheRealPathWithAnUpperCasedCaption)
{
    frame.open();
    NotepadDocument* d = typed(QStringLiteral("first line"));
    // Save of an untitled document asks; cancelling leaves it as it was.
    d->menuAction("mnuFSave")->trigger();
    EXPECT_EQ(d->windowTitle(), "Untitled 2 *");
    EXPECT_TRUE(d->isDirty());
    ASSERT_EQ(test.fileDialogs.saveRequests.size(), 1u);
    EXPECT_EQ(test.fileDialogs.saveRequests[0].filter, ",Text Files (*.txt)|*.txt|All Files (*.*)|*.*");

    const QString path = dir.filePath("Mixed Case.txt");
    test.fileDialogs.scriptSave(path);
    d->menuAction("mnuFSave")->trigger();
    EXPECT_EQ(d->windowTitle(), path.toUpper());
    EXPECT_FALSE(d->isDirty());
    EXPECT_EQ(readBytes(path), "first line\n");

    // A named document saves without asking, to its own file.
    d->editor()->appendPlainText(QStringLiteral("second"));
    EXPECT_TRUE(d->isDirty());
    d->menuAction("mnuFSave")->trigger();
    EXPECT_EQ(test.fileDialogs.saveRequests.size(), 2u);
    EXPECT_EQ(readBytes(path), "first line\nsecond\n");

    // Open reads it into a new document; the next dialog starts in its folder.
    writeBytes(dir.filePath("dos.txt"), "one\r\ntwo\r\n");
    test.fileDialogs.scriptOpen(dir.filePath("dos.txt"));
    frame.menuAction("mnuFOpen")->trigger();
    NotepadDocument* opened = frame.activeDocument();
    ASSERT_NE(opened, d);
    EXPECT_EQ(opened->editor()->toPlainText(), "one\ntwo\n");
    EXPECT_EQ(opened->windowTitle(), dir.filePath("dos.txt").toUpper());
    EXPECT_FALSE(opened->isDirty());
    EXPECT_EQ(test.fileDialogs.openRequests.back().initialPath, dir.path());
    opened->editor()->appendPlainText(QStringLiteral("three"));
    opened->save();
    EXPECT_EQ(readBytes(dir.filePath("dos.txt")), "one\r\ntwo\r\n\r\nthree\r\n");

    // Cancelling Open does nothing.
    const qsizetype before = frame.documents().size();
    frame.openDocument();
    EXPECT_EQ(frame.documents().size(), before);
}

TEST_F(NotepadWindowTest, saveAs_startsInTheLastFileFolderWithNoNameAndAddsTxt)
{
    frame.open();
    NotepadDocument* d = typed(QStringLiteral("text"));
    test.fileDialogs.scriptSave(dir.filePath("notes"));
    d->menuAction("mnuFSaveAs")->trigger();
    ASSERT_EQ(test.fileDialogs.saveRequests.size(), 1u);
    // At first the home folder, never a folder's name offered as the file.
    EXPECT_EQ(test.fileDialogs.saveRequests[0].initialPath, QDir::homePath());
    EXPECT_EQ(test.fileDialogs.saveRequests[0].defaultSuffix, "txt");
    EXPECT_EQ(readBytes(dir.filePath("notes.txt")), "text\n");
    EXPECT_EQ(d->filePath(), dir.filePath("notes.txt"));

    // Then the folder of the file last saved (or opened), still with no name.
    QTemporaryDir other;
    writeBytes(other.filePath("old.txt"), "old\n");
    frame.openFile(other.filePath("old.txt"));
    d->menuAction("mnuFSaveAs")->trigger();
    EXPECT_EQ(test.fileDialogs.saveRequests.back().initialPath, other.path());

    // ".txt" that makes the name another file's asks first; No keeps both.
    d->editor()->setPlainText(QStringLiteral("changed"));
    test.fileDialogs.scriptSave(other.filePath("old"));
    test.messages.script({MsgAnswer::No});
    EXPECT_FALSE(d->saveAs());
    EXPECT_EQ(test.messages.last().text, other.filePath("old.txt") + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(readBytes(other.filePath("old.txt")), "old\n");
}

TEST_F(NotepadWindowTest, badFiles_areReportedOrShownAsText)
{
    frame.open();
    const qsizetype before = frame.documents().size();
    frame.openFile(dir.filePath("removed.txt"));
    EXPECT_EQ(test.messages.last().text, "Can't open file: " + dir.filePath("removed.txt") + "\nThe file does not exist.");
    EXPECT_EQ(frame.documents().size(), before);
    // A pipe is not waited on: reading it would never end without a writer.
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
    frame.openFile(dir.filePath("pipe"));
    EXPECT_EQ(test.messages.last().text,
              "Can't open file: " + dir.filePath("pipe") + "\nIt is not a regular file (a pipe or a device).");
    EXPECT_EQ(frame.documents().size(), before);

    // NUL bytes make it no text: shown, it would be garbage, saved, damage.
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char(i * 37 % 256));
    writeBytes(dir.filePath("data.bin"), binary);
    EXPECT_EQ(frame.openFile(dir.filePath("data.bin")), nullptr);
    EXPECT_EQ(test.messages.last().text,
              "Can't open file: " + dir.filePath("data.bin") + "\nIt is not a text file (it holds NUL bytes).");
    EXPECT_EQ(frame.documents().size(), before);
    // Stray bytes without a NUL are still text to edit.
    binary.replace('\0', '\1');
    writeBytes(dir.filePath("data.bin"), binary);
    NotepadDocument* d = frame.openFile(dir.filePath("data.bin"));
    ASSERT_NE(d, nullptr);
    EXPECT_GT(d->editor()->toPlainText().size(), 3000);
    EXPECT_FALSE(d->isDirty());
}

TEST_F(NotepadWindowTest, aFileOf200Mb_isRefusedWithItsSize)
{
    frame.open();
    const QString path = dir.filePath("huge.txt");
    QFile huge(path);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(200) << 20)); // sparse: no disk taken
    huge.close();
    const qsizetype before = frame.documents().size();
    EXPECT_EQ(frame.openFile(path), nullptr);
    EXPECT_EQ(test.messages.last().text, "Can't open file: " + path + "\nIt is too large for the notepad (200 MB).");
    EXPECT_EQ(frame.documents().size(), before);
}

TEST_F(NotepadWindowTest, savingAReadOnlyFile_explainsAndOffersSaveAs)
{
    frame.open();
    const QString path = dir.filePath("locked.txt");
    writeBytes(path, "kept\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    NotepadDocument* d = frame.openFile(path);
    ASSERT_NE(d, nullptr);
    QTest::keyClicks(d->editor(), "x");
    struct Case {
        int answer;
        bool saved;
    } cases[] = {{MsgAnswer::No, false}, {MsgAnswer::Yes, true}};
    for (const Case& c : cases) {
        test.messages.clear();
        test.messages.script({c.answer});
        if (c.answer == MsgAnswer::Yes)
            test.fileDialogs.scriptSave(dir.filePath("copy"));
        EXPECT_EQ(d->save(), c.saved);
        ASSERT_GE(test.messages.count(), 1);
        const QString question = test.messages.calls[0].text;
        // The system's reason, when it gives one, in brackets.
        EXPECT_TRUE(question.startsWith("The text could not be saved as " + path + ".\nIt is read-only"))
            << question.toStdString();
        EXPECT_TRUE(question.endsWith(".\nSave it under another name?")) << question.toStdString();
        EXPECT_EQ(test.messages.calls[0].style, MsgStyle::YesNoQuestion);
        EXPECT_EQ(readBytes(path), "kept\n");
        EXPECT_EQ(QFile::exists(dir.filePath("copy.txt")), c.saved);
    }
    EXPECT_EQ(d->windowTitle(), dir.filePath("copy.txt").toUpper());
}

TEST_F(NotepadWindowTest, oddFiles_openedAndSavedWithoutEdits_stayByteForByte)
{
    frame.open();
    // A no-break space the editor's plain text would turn into a space, and
    // every odd file the text file fuzzer keeps.
    writeBytes(dir.filePath("nbsp.txt"), "caf\xC3\xA9\xC2\xA0noir\r\nligne\xC2\xA0" "2");
    QStringList paths{dir.filePath("nbsp.txt")};
    const QDir corpus(QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../fuzz/corpus")));
    for (const QString& name : corpus.entryList(QDir::Files | QDir::NoDotAndDotDot))
        paths << corpus.filePath(name);
    ASSERT_GE(paths.size(), 25);
    for (const QString& source : paths) {
        const QString path = dir.filePath("copy.txt");
        QFile::remove(path);
        const QByteArray bytes = readBytes(source);
        writeBytes(path, bytes);
        test.messages.clear();
        NotepadDocument* d = frame.openFile(path);
        // Data with NUL bytes is refused; everything else opens and saves.
        if (notTextProblem(bytes)) {
            EXPECT_EQ(d, nullptr) << source.toStdString();
            continue;
        }
        ASSERT_NE(d, nullptr) << source.toStdString();
        EXPECT_TRUE(d->save()) << source.toStdString();
        EXPECT_EQ(readBytes(path), bytes) << source.toStdString();
        d->close();
        EXPECT_TRUE(test.messages.empty()) << source.toStdString();
    }
}

TEST_F(NotepadWindowTest, savingAFileChangedOnDisk_asksAndNoKeepsTheDocumentUnsaved)
{
    frame.open();
    const QString path = dir.filePath("shared.txt");
    writeBytes(path, "mine\n");
    NotepadDocument* d = frame.openFile(path);
    ASSERT_NE(d, nullptr);
    d->editor()->appendPlainText(QStringLiteral("more"));
    writeBytes(path, "them\n"); // same size, other bytes
    test.messages.script({MsgAnswer::No});
    EXPECT_FALSE(d->save());
    ASSERT_EQ(test.messages.count(), 1);
    EXPECT_EQ(test.messages.last().text, "The file " + path
                                             + " has been changed by another program since it was opened.\nOverwrite it?");
    EXPECT_EQ(test.messages.last().style, MsgStyle::YesNoQuestion | 256); // No is the default
    EXPECT_EQ(readBytes(path), "them\n");
    EXPECT_TRUE(d->isDirty());

    test.messages.script({MsgAnswer::Yes});
    EXPECT_TRUE(d->save());
    EXPECT_EQ(readBytes(path), "mine\n\nmore\n");
    // What it wrote is what it now compares with: no question next time.
    test.messages.clear();
    d->editor()->appendPlainText(QStringLiteral("again"));
    EXPECT_TRUE(d->save());
    EXPECT_TRUE(test.messages.empty());
}

TEST_F(NotepadWindowTest, savingOverTheOpenPlanOrAPipe_isRefusedAndTheDocumentStaysUnsaved)
{
    frame.open();
    state.store.planFileName = dir.filePath("plan.pln");
    writeBytes(state.store.planFileName, "the plan\n");
    ASSERT_TRUE(QFile::link(state.store.planFileName, dir.filePath("other name.txt")));
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("pipe.txt")).constData(), 0600), 0);
    struct Case {
        QString name;
        QString reason;
    } cases[] = {
        {"other name.txt", "It is the open plan's file, which this would overwrite."},
        {"pipe.txt", "It is not a regular file (a pipe or a device), which this would replace."},
    };
    for (const Case& c : cases) {
        NotepadDocument* d = typed(QStringLiteral("text"));
        test.messages.clear();
        test.fileDialogs.scriptSave(dir.filePath(c.name));
        EXPECT_FALSE(d->save()) << c.name.toStdString();
        ASSERT_EQ(test.messages.count(), 1) << c.name.toStdString();
        EXPECT_EQ(test.messages.last().text, "The text could not be saved as " + dir.filePath(c.name) + ".\n" + c.reason);
        EXPECT_TRUE(d->isDirty());
        EXPECT_TRUE(d->filePath().isEmpty());
    }
    EXPECT_EQ(readBytes(state.store.planFileName), "the plan\n");
    EXPECT_FALSE(QFileInfo(dir.filePath("pipe.txt")).isFile()); // still the pipe
}

TEST_F(NotepadWindowTest, aCharacterWindows1252CannotHold_asksBeforeTheWholeFileBecomesUtf8)
{
    frame.open();
    const QString path = dir.filePath("old.txt");
    writeBytes(path, "caf\xE9\r\n");
    NotepadDocument* d = frame.openFile(path);
    ASSERT_NE(d, nullptr);
    d->editor()->appendPlainText(QString::fromUtf8("\u4e2d"));
    struct Case {
        int answer;
        bool saved;
        QByteArray bytes;
    } cases[] = {
        {MsgAnswer::No, false, "caf\xE9\r\n"},
        {MsgAnswer::Yes, true, "caf\xC3\xA9\r\n\r\n\xE4\xB8\xAD\r\n"},
    };
    for (const Case& c : cases) {
        test.messages.clear();
        test.messages.script({c.answer});
        EXPECT_EQ(d->save(), c.saved);
        ASSERT_EQ(test.messages.count(), 1);
        EXPECT_EQ(test.messages.last().text, "The file " + path
                                                 + " is in the Windows-1252 encoding, which has no place for some "
                                                   "characters of the text.\nSave the whole file in UTF-8?");
        EXPECT_EQ(readBytes(path), c.bytes);
        EXPECT_EQ(d->isDirty(), !c.saved);
    }
}

TEST_F(NotepadWindowTest, shiftEnter_startsANewLineAsEnterDoes)
{
    frame.open();
    NotepadDocument* d = typed(QStringLiteral("ab"));
    setCaret(d, 1);
    QTest::keyClick(d->editor(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(d->lines(), QStringList({"a", "b"}));
}

TEST_F(NotepadWindowTest, aLongFile_goesInPieceByPieceAndArrivesWhole)
{
    frame.open();
    QByteArray bytes;
    for (int i = 0; bytes.size() < 2'500'000; ++i)
        bytes += "line " + QByteArray::number(i) + " of a long file\r\n";
    writeBytes(dir.filePath("long.txt"), bytes);
    NotepadDocument* d = frame.openFile(dir.filePath("long.txt"));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->editor()->toPlainText(), QString::fromLatin1(bytes).replace("\r\n", "\n"));
    EXPECT_FALSE(d->isDirty());
    EXPECT_FALSE(d->editor()->isReadOnly());
    EXPECT_EQ(d->editor()->textCursor().position(), 0);
    EXPECT_FALSE(frame.findChild<QWidget*>("ProgressBar1")->isVisible());
    d->editor()->undo(); // the loading cannot be undone
    EXPECT_EQ(d->editor()->toPlainText().size(), bytes.size() - bytes.count('\r'));
    d->save();
    EXPECT_EQ(readBytes(dir.filePath("long.txt")), bytes);
}

TEST_F(NotepadWindowTest, closingTheFrame_asksForEachChangedDocumentAndCancelKeepsItOpen)
{
    frame.open();
    frame.activeDocument()->editor()->setPlainText(QStringLiteral("one"));
    typed(QStringLiteral("two"));
    typed(QStringLiteral("three"));
    test.messages.script({MsgAnswer::No, MsgAnswer::No, MsgAnswer::Cancel});
    EXPECT_FALSE(frame.closeNotepad());
    flushDeletes();
    EXPECT_EQ(test.messages.count(), 3);
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(state.notepadOpen);
    ASSERT_EQ(frame.documents().size(), 3);
    for (NotepadDocument* d : frame.documents())
        EXPECT_TRUE(d->isDirty());

    test.messages.clear();
    test.messages.script({MsgAnswer::No, MsgAnswer::No, MsgAnswer::No});
    frame.move(40, 60);
    EXPECT_TRUE(frame.closeNotepad());
    flushDeletes();
    EXPECT_EQ(test.messages.count(), 3);
    EXPECT_FALSE(frame.isVisible());
    EXPECT_FALSE(state.notepadOpen);
    EXPECT_TRUE(frame.documents().isEmpty());
    EXPECT_EQ(state.settings.placement(PlacementRow::Notepad), placementOf(frame, Twips(test.screen)));
}

TEST_F(NotepadWindowTest, editCommands_cutCopyPasteDeleteSelectAllAndTimeDate)
{
    frame.open();
    NotepadDocument* d = typed(QStringLiteral("ab\ncd"));
    setCaret(d, 2);
    d->menuAction("mnuEDelete")->trigger();
    EXPECT_EQ(d->editor()->toPlainText(), "abcd"); // the line break went whole
    setCaret(d, 4);
    d->menuAction("mnuEDelete")->trigger();
    EXPECT_EQ(d->editor()->toPlainText(), "abcd"); // nothing after the caret

    setCaret(d, 1, 2);
    QTest::mouseClick(frame.findChild<ImageButton*>("imgCopyButton"), Qt::LeftButton);
    EXPECT_EQ(test.clipboard.content, "bc");
    d->menuAction("mnuECut")->trigger();
    EXPECT_EQ(d->editor()->toPlainText(), "ad");
    setCaret(d, 2);
    test.clipboard.content = QStringLiteral("X\nY");
    QTest::mouseClick(frame.findChild<ImageButton*>("imgPasteButton"), Qt::LeftButton);
    EXPECT_EQ(d->editor()->toPlainText(), "adX\nY");

    d->menuAction("mnuESelectAll")->trigger();
    test.clock.set(2026, 12, 7, 14, 5, 9);
    d->menuAction("mnuETime")->trigger();
    EXPECT_EQ(d->editor()->toPlainText(), generalDateText(test.clock.now()));
    EXPECT_TRUE(d->isDirty());
}

TEST_F(NotepadWindowTest, undoAndRedo_followTheTextBoxAndItsKeys)
{
    frame.open();
    NotepadDocument* d = frame.activeDocument();
    QAction* undo = d->menuAction("mnuEUndo");
    QAction* redo = d->menuAction("mnuERedo");
    EXPECT_EQ(undo->text(), "&Undo");
    EXPECT_EQ(redo->text(), "&Redo");
    EXPECT_TRUE(undo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    EXPECT_FALSE(undo->isEnabled());
    QTest::keyClicks(d->editor(), "abc");
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    undo->trigger();
    EXPECT_EQ(d->editor()->toPlainText(), "");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
    redo->trigger();
    EXPECT_EQ(d->editor()->toPlainText(), "abc");
    // A file read in starts with nothing to undo.
    writeBytes(dir.filePath("a.txt"), "text\n");
    EXPECT_FALSE(frame.openFile(dir.filePath("a.txt"))->menuAction("mnuEUndo")->isEnabled());
}

TEST_F(NotepadWindowTest, toolbarToggle_followsTheTick)
{
    frame.open();
    frame.show();
    QAction* toolbar = frame.activeDocument()->menuAction("mnuOToolbar");
    QMenu* options = frame.activeDocument()->findChild<QMenu*>("mnuOptions");
    emit options->aboutToShow();
    EXPECT_TRUE(toolbar->isChecked());
    toolbar->trigger();
    EXPECT_FALSE(frame.toolbarVisible());
    emit options->aboutToShow();
    EXPECT_FALSE(toolbar->isChecked());
    frame.menuAction("mnuOToolbar")->trigger();
    EXPECT_TRUE(frame.toolbarVisible());
}

TEST_F(NotepadWindowTest, find_searchesTheActiveDocumentAndReportsWhatItCannotFind)
{
    frame.open();
    NotepadDocument* d = typed(QStringLiteral("Apple pie, apple tart, APPLE juice"));
    // Find Next with nothing to find yet opens the dialog.
    d->menuAction("mnuSFindNext")->trigger();
    ASSERT_NE(frame.findDialog(), nullptr);
    EXPECT_TRUE(test.messages.empty());
    setCaret(d, 0, 5);
    d->menuAction("mnuSFind")->trigger();
    FindDialog* dialog = frame.findDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->objectName(), "frmFind");
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(dialog->isVisible());
    auto* text1 = dialog->findChild<QLineEdit*>("Text1");
    auto* find = dialog->findChild<QPushButton*>("cmdFind");
    EXPECT_EQ(text1->text(), "Apple"); // the selection
    EXPECT_TRUE(dialog->findChild<QRadioButton*>("Option2")->isChecked());
    text1->clear();
    EXPECT_FALSE(find->isEnabled());
    QTest::keyClicks(text1, "apple");
    EXPECT_TRUE(find->isEnabled());

    auto selection = [d] { return d->editor()->textCursor().selectedText(); };
    auto start = [d] { return d->editor()->textCursor().selectionStart(); };
    find->click();
    EXPECT_EQ(start(), 0); // at the selection, first time
    d->menuAction("mnuSFindNext")->trigger();
    EXPECT_EQ(start(), 11);
    d->menuAction("mnuSFindNext")->trigger();
    EXPECT_EQ(start(), 23);
    EXPECT_EQ(selection(), "APPLE");
    EXPECT_TRUE(test.messages.empty());
    d->menuAction("mnuSFindNext")->trigger();
    EXPECT_EQ(test.messages.last().text, "Cannot find \"apple\"");
    EXPECT_EQ(test.messages.last().effectiveTitle, "Zorvik Planner");

    // Match case, upwards.
    dialog->findChild<QCheckBox*>("Check1")->setChecked(true);
    dialog->findChild<QRadioButton*>("Option1")->setChecked(true);
    find->click();
    EXPECT_EQ(start(), 11);
    EXPECT_EQ(selection(), "apple");

    // Cancel keeps the text for Find Next and remembers where the dialog was.
    dialog->move(100, 80);
    dialog->findChild<QPushButton*>("cmdcancel")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(state.settings.placement(PlacementRow::NotepadFind), placementOf(*dialog, Twips(test.screen)));
    setCaret(d, 0);
    frame.findSettings().down = true;
    d->menuAction("mnuSFindNext")->trigger();
    EXPECT_EQ(start(), 11);
}

TEST_F(NotepadWindowTest, enterInFind_findsWhereverTheFocusIs)
{
    frame.open();
    NotepadDocument* d = typed(QStringLiteral("one two one two"));
    d->menuAction("mnuSFind")->trigger();
    FindDialog* dialog = frame.findDialog();
    QTest::keyClicks(dialog->textBox(), "two");
    for (const char* name : {"Text1", "cmdcancel", "cmdFind", "Check1", "Option1"}) {
        setCaret(d, 0);
        auto* w = dialog->findChild<QWidget*>(name);
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible()) << name;
        EXPECT_EQ(d->editor()->textCursor().selectionStart(), 4) << name;
    }
    EXPECT_TRUE(test.messages.empty());
}

TEST_F(NotepadWindowTest, windowMenu_arrangesTheDocuments)
{
    frame.open();
    frame.show();
    frame.resize(800, 600);
    typed(QString());
    typed(QString());
    NotepadDocument* d = frame.activeDocument();
    d->menuAction("mnuWTile")->trigger();
    QRect united;
    for (NotepadDocument* doc : frame.documents()) {
        EXPECT_FALSE(united.intersects(doc->geometry()));
        united |= doc->geometry();
    }
    d->menuAction("mnuWCascade")->trigger();
    EXPECT_NE(frame.documents()[0]->pos(), frame.documents()[1]->pos());
    for (NotepadDocument* doc : frame.documents())
        doc->showMinimized();
    d->menuAction("mnuWArrange")->trigger();
    const int bottom = frame.area()->viewport()->height();
    for (NotepadDocument* doc : frame.documents())
        EXPECT_EQ(doc->geometry().bottom() + 1, bottom);
}

TEST(NotepadEntryTest, notesMenuAndToolbar_openTheNotepadAndExitSettlesItsDocuments)
{
    TestPlatform test;
    ProgramState state;
    PlannerApp app(state, test.platform());
    app.start();
    app.mainWindow()->menuAction("Notes")->trigger();
    ASSERT_NE(app.notepad(), nullptr);
    EXPECT_TRUE(app.notepad()->isVisible());
    EXPECT_EQ(app.notepad()->documents().size(), 1);
    QTest::mouseClick(app.mainWindow()->findChild<QLabel*>("Image9"), Qt::LeftButton);
    EXPECT_EQ(app.notepad()->documents().size(), 2);

    // Ending the program asks about the changed document; Cancel keeps both.
    app.notepad()->activeDocument()->editor()->setPlainText(QStringLiteral("unsaved"));
    test.messages.clear();
    test.messages.script({MsgAnswer::Cancel});
    EXPECT_FALSE(app.mainWindow()->exitProgram(true));
    EXPECT_EQ(test.messages.calls[0].style, 51);
    EXPECT_TRUE(app.notepad()->isVisible());
    test.messages.defaultAnswer = MsgAnswer::No;
    EXPECT_TRUE(app.mainWindow()->exitProgram(true));
    EXPECT_FALSE(state.notepadOpen);
}

} // namespace
} // namespace zp
