// The Edit page of the main window driven as a user would: typing into the
// entry fields, pressing the buttons, working the grid and the menus, with
// scripted message boxes, file dialogs and clipboard.

#include "app/windows/MainWindow.h"
#include "support/Fakes.h"
#include "ui/Hints.h"
#include "views/RecordCopyText.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zp {
namespace {

// Lets a test look at the window while a message is up.
class ObservedMessageBox : public FakeMessageBox {
public:
    int msgBox(const QString& text, int style, const QString& title) override
    {
        if (onAsk)
            onAsk(text);
        return FakeMessageBox::msgBox(text, style, title);
    }
    std::function<void(const QString&)> onAsk;
};

PlannerRecord record(const char* date, const char* name, const char* status = "0")
{
    PlannerRecord r;
    r[Field::StartDate] = QString::fromLatin1(date);
    r[Field::FinishDate] = QString::fromLatin1(date);
    r[Field::Name] = QString::fromLatin1(name);
    r[Field::JobStatus] = QString::fromLatin1(status);
    r[Field::ImagePath] = r[Field::AudioPath] = kNoAttachment;
    return r;
}

class EditPageTest : public ::testing::Test {
protected:
    EditPageTest()
    {
        test.clock.set(2026, 12, 10, 9, 30);
        test.dateOrder.order = DateOrder::DayFirst;
    }

    MainWindow& window()
    {
        if (!mainWindow) {
            platform = std::make_unique<Platform>(Platform{messages, test.clock, test.dateOrder, test.screen,
                                                           test.fileDialogs, test.fontDialog, test.clipboard,
                                                           test.printing, test.systemFacts, test.sound,
                                                           test.numberDialog, test.charts, test.progress});
            mainWindow = std::make_unique<MainWindow>(state, *platform);
            mainWindow->initialise();
            mainWindow->show();
            QApplication::setActiveWindow(mainWindow.get());
        }
        return *mainWindow;
    }
    template <typename T = QWidget>
    T* find(const char* name)
    {
        T* w = window().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* field(const char* name) { return find<QLineEdit>(name); }
    QScrollBar* scroll() { return find<QScrollBar>("VScroll1"); }
    QTableView* grid() { return find<QTableView>("Grid1"); }
    QString cell(int row, int column) { return grid()->model()->index(row, column).data().toString(); }
    void click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    void trigger(const char* action) { window().menuAction(QString::fromLatin1(action))->trigger(); }
    void showPage(int page) { find<QTabWidget>("SSTab1")->setCurrentIndex(page); }
    void typeRecord(const char* date, const char* time, const char* name)
    {
        field("Text2")->setText(QString::fromLatin1(date));
        field("Text3")->setText(QString::fromLatin1(time));
        field("Text5")->setText(QString::fromLatin1(name));
    }
    // Records put straight into the store and listed, as after opening a plan.
    void givenRecords(std::vector<PlannerRecord> records)
    {
        state.store.replaceAll(std::move(records));
        window().rebuildRecordsList();
    }
    void givenThreeRecords()
    {
        givenRecords({record("01/01/1990", "Alpha"), record("01/01/1995", "Bravo", "1"), record("01/01/2000", "Charlie")});
    }
    QStringList listLines()
    {
        QStringList lines;
        auto* model = find<QListView>("Viewlist")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            lines << model->index(row, 0).data().toString();
        return lines;
    }
    void clickListLine(int line)
    {
        auto* list = find<QListView>("Viewlist");
        const QModelIndex at = list->model()->index(line, 0);
        list->scrollTo(at);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(at).center());
    }
    void selectCell(int row, int column)
    {
        const QModelIndex at = grid()->model()->index(row, column);
        grid()->scrollTo(at);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(at).center());
    }
    void doubleClickCell(int row, int column)
    {
        // Made current first, so the view has scrolled it fully into sight.
        selectCell(row, column);
        const QModelIndex at = grid()->model()->index(row, column);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(at).center());
    }
    void commitText4(const QString& text)
    {
        field("Text4")->setText(text);
        QTest::keyClick(field("Text4"), Qt::Key_Return);
    }
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    QString writePicture(const char* name)
    {
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(Qt::red);
        EXPECT_TRUE(picture.save(path(name), "BMP"));
        return path(name);
    }
    QString writeText(const char* name, const QByteArray& bytes)
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }

    QTemporaryDir dir;
    TestPlatform test;
    ObservedMessageBox messages;
    ProgramState state;
    std::unique_ptr<Platform> platform;
    std::unique_ptr<MainWindow> mainWindow;
};

// --- entry panel ------------------------------------------------------------------

TEST_F(EditPageTest, add_putsEachTypedRecordAtItsDatePosition)
{
    showPage(3);
    typeRecord("05/11/1996", "10:30", "Smith");
    click("Command2");
    EXPECT_EQ(state.store.recordCount(), 1);
    EXPECT_EQ(scroll()->maximum(), 1);
    EXPECT_EQ(scroll()->value(), 1);

    typeRecord("01/02/1997", "", "Jones");
    click("Command2");
    typeRecord("01/01/1990", "08:00", "Early");
    click("Command2");

    ASSERT_EQ(state.store.recordCount(), 3);
    EXPECT_EQ(state.store.field(Field::Name, 1), "Early");
    EXPECT_EQ(state.store.field(Field::Name, 3), "Jones");
    const QStringList lines = listLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains("Early"));
    EXPECT_TRUE(lines[1].contains("Smith"));
    EXPECT_TRUE(lines[2].contains("Jones"));
    EXPECT_EQ(scroll()->maximum(), 3);
    EXPECT_EQ(scroll()->value(), 1);
    EXPECT_EQ(state.store.currentRecord, 1);
    EXPECT_EQ(field("Text5")->text(), "Early");
    EXPECT_TRUE(state.store.modified);
    EXPECT_TRUE(messages.empty());
}

TEST_F(EditPageTest, add_withATextThatIsNoDate_isRefusedWithTheDateMessage)
{
    showPage(3);
    typeRecord("tomorrow", "10:30", "Smith");
    click("Command2");
    EXPECT_EQ(state.store.recordCount(), 0);
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "Date format not correct. Please re-enter.\n"
                                    "Note: Use the control panel to set the date format specific to your country.");
    EXPECT_EQ(messages.last().title, "Planner Record");
    EXPECT_EQ(messages.last().style, MsgStyle::Exclamation);
    EXPECT_EQ(field("Text2")->text(), "tomorrow");
    EXPECT_TRUE(listLines().isEmpty());
}

TEST_F(EditPageTest, scrollBar_stepsThroughTheRecords)
{
    givenThreeRecords();
    showPage(3);
    EXPECT_EQ(scroll()->maximum(), 3);
    EXPECT_EQ(field("Text5")->text(), "Alpha");
    scroll()->setValue(2);
    EXPECT_EQ(state.store.currentRecord, 2);
    EXPECT_EQ(field("Text5")->text(), "Bravo");
    EXPECT_EQ(field("Text2")->text(), "01/01/1995");
    EXPECT_TRUE(find<QCheckBox>("Check1")->isChecked());
    QTest::keyClick(scroll(), Qt::Key_Down);
    EXPECT_EQ(field("Text5")->text(), "Charlie");
    EXPECT_FALSE(find<QCheckBox>("Check1")->isChecked());
}

TEST_F(EditPageTest, change_movesTheLastRecordBeforeTheFirst)
{
    givenThreeRecords();
    showPage(3);
    scroll()->setValue(3);
    field("Text2")->setText("01/01/1980");
    field("Text10")->setText("moved");
    click("Command6");
    ASSERT_EQ(state.store.recordCount(), 3);
    EXPECT_EQ(state.store.field(Field::Name, 1), "Charlie");
    EXPECT_EQ(state.store.field(Field::Message, 1), "moved");
    EXPECT_EQ(state.store.field(Field::Name, 2), "Alpha");
    EXPECT_EQ(scroll()->value(), 1);
    EXPECT_EQ(field("Text5")->text(), "Charlie");
    EXPECT_TRUE(listLines()[0].contains("Charlie"));
}

TEST_F(EditPageTest, remove_showsTheFollowingRecordAndEmptiesThePanelAfterTheLast)
{
    showPage(3);
    click("Command3"); // an empty plan: nothing happens
    EXPECT_EQ(state.store.recordCount(), 0);
    EXPECT_TRUE(messages.empty());

    givenThreeRecords();
    showPage(0);
    showPage(3);
    scroll()->setValue(2);
    click("Command3");
    EXPECT_EQ(state.store.recordCount(), 2);
    EXPECT_EQ(field("Text5")->text(), "Charlie");
    EXPECT_EQ(listLines().size(), 2);

    click("Command3");
    EXPECT_EQ(field("Text5")->text(), "Alpha");
    EXPECT_EQ(scroll()->maximum(), 1);
    click("Command3");
    EXPECT_EQ(state.store.recordCount(), 0);
    EXPECT_EQ(field("Text5")->text(), "");
    EXPECT_EQ(field("Text2")->text(), "");
    EXPECT_TRUE(listLines().isEmpty());
}

TEST_F(EditPageTest, new_emptiesTheFieldsButKeepsTheCaptionsAndTheStore)
{
    givenThreeRecords();
    showPage(3);
    const QString finishCaption = find<QLabel>("Label2")->text();
    ASSERT_FALSE(finishCaption.isEmpty());
    click("Command1");
    EXPECT_EQ(state.store.recordCount(), 3);
    for (const char* name : {"Text2", "Text3", "Text5", "Text6", "Text7", "Text8", "Text9", "Text10", "Text11"})
        EXPECT_EQ(field(name)->text(), "") << name;
    EXPECT_FALSE(find<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(find<QLabel>("Label2")->text(), finishCaption);
    EXPECT_TRUE(find<QLabel>("Image1")->pixmap().isNull());
    EXPECT_TRUE(state.store.modified);
}

TEST_F(EditPageTest, newPlanFromTheFileMenu_resetsTheEntryPanel)
{
    givenThreeRecords();
    showPage(3);
    scroll()->setValue(3);
    messages.script({MsgAnswer::No});
    state.store.modified = true;
    trigger("Newplan");
    EXPECT_EQ(state.store.recordCount(), 0);
    EXPECT_EQ(scroll()->maximum(), 1);
    EXPECT_EQ(field("Text5")->text(), "");
    // The bar now matches the plan: the next Add lands as record 1.
    typeRecord("05/11/1996", "", "Fresh");
    click("Command2");
    EXPECT_EQ(state.store.recordCount(), 1);
    EXPECT_EQ(field("Text5")->text(), "Fresh");
}

TEST_F(EditPageTest, pastedLineBreaks_neverReachTheStore)
{
    showPage(3);
    typeRecord("05/11/1996", "10:30", "Smith");
    field("Text10")->setText(QStringLiteral("first line\r\nsecond"));
    click("Command2");
    ASSERT_EQ(state.store.recordCount(), 1);
    EXPECT_EQ(state.store.field(Field::Message, 1), "first linesecond");

    trigger("projectplanning");
    selectCell(2, 1);
    commitText4(QStringLiteral("Smith\nand Sons"));
    EXPECT_EQ(state.store.field(Field::Name, 1), "Smithand Sons");
    EXPECT_EQ(cell(2, 1), "Smithand Sons");
}

// --- date fields ----------------------------------------------------------------------

TEST_F(EditPageTest, dateFields_areCheckedAndReRenderedOnEnterAndOnLeaving)
{
    showPage(3);
    field("Text2")->setText("1/2/96");
    QTest::keyClick(field("Text2"), Qt::Key_Return);
    EXPECT_EQ(field("Text2")->text(), "01/02/1996");
    EXPECT_TRUE(messages.empty());

    field("Text11")->setFocus(Qt::MouseFocusReason);
    field("Text11")->setText("31/1/96");
    field("Text3")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(field("Text11")->text(), "31/01/1996");
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "Warning, start date is greater than finish date");
    EXPECT_EQ(messages.last().title, "Zorvik Planner Edit");

    messages.clear();
    field("Text2")->setText("tomorrow");
    QTest::keyClick(field("Text2"), Qt::Key_Return);
    EXPECT_EQ(field("Text2")->text(), "tomorrow");
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().title, "Planner Record");
}

TEST_F(EditPageTest, dateMessageOnLeavingAField_doesNotSetOffTheNextFieldsCheck)
{
    showPage(3);
    // A real message box takes the focus from the field the user went to.
    messages.onAsk = [this](const QString&) {
        QWidget* focused = QApplication::focusWidget();
        if (!focused)
            return;
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(focused, &out);
        QApplication::processEvents();
    };
    field("Text2")->setFocus(Qt::MouseFocusReason);
    field("Text2")->setText("tomorrow");
    field("Text11")->setFocus(Qt::MouseFocusReason); // the empty finish date would fail its own check
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text.left(25), "Date format not correct. ");
    EXPECT_EQ(field("Text2")->text(), "tomorrow");
}

// --- pictures ------------------------------------------------------------------------

TEST_F(EditPageTest, imageButton_showsThePictureOnTheImagePageWhileAskingAndAddUsesIt)
{
    const QString picture = writePicture("red.bmp");
    showPage(3);
    typeRecord("05/11/1996", "10:30", "Smith");
    int pageWhileAsking = -1;
    bool pictureWhileAsking = false;
    messages.onAsk = [&](const QString&) {
        pageWhileAsking = find<QTabWidget>("SSTab1")->currentIndex();
        pictureWhileAsking = find<QLabel>("Image1")->isVisible() && !find<QLabel>("Image1")->pixmap().isNull();
    };
    test.fileDialogs.scriptOpen(picture);
    messages.script({MsgAnswer::Yes});
    click("SSCommand2");
    EXPECT_EQ(test.fileDialogs.openRequests.back().title, "Load Image");
    EXPECT_EQ(messages.last().text, "Use this picture, if so remember to click ADD or CHANGE");
    EXPECT_EQ(messages.last().title, "Add Image");
    EXPECT_EQ(pageWhileAsking, 2);
    EXPECT_TRUE(pictureWhileAsking);
    EXPECT_EQ(find<QTabWidget>("SSTab1")->currentIndex(), 3);
    EXPECT_TRUE(find("SSPanel2")->isVisible());
    // What was typed before choosing the picture is still there.
    EXPECT_EQ(field("Text5")->text(), "Smith");

    click("Command2");
    ASSERT_EQ(state.store.recordCount(), 1);
    EXPECT_EQ(state.store.field(Field::ImagePath, 1), picture);
}

TEST_F(EditPageTest, attachedPicture_showsOnceOnTheImagePageAndStaysPendingUntilChange)
{
    givenRecords({record("05/11/1996", "Smith")});
    const QString picture = writePicture("red.bmp");
    showPage(3);
    test.fileDialogs.scriptOpen(picture);
    messages.script({MsgAnswer::Yes});
    click("SSCommand2");

    showPage(2);
    EXPECT_EQ(find<QLabel>("Image1")->pixmap().size(), QSize(8, 6));
    showPage(3);
    EXPECT_EQ(state.store.pendingImagePath, picture);
    showPage(2); // the record itself has no picture yet: the default one
    EXPECT_NE(find<QLabel>("Image1")->pixmap().size(), QSize(8, 6));

    showPage(3);
    click("Command6");
    EXPECT_EQ(state.store.field(Field::ImagePath, 1), picture);
}

TEST_F(EditPageTest, imageBoxClick_keepsThePictureForTheNextChangeInTheEditPage)
{
    givenThreeRecords();
    const QString picture = writePicture("red.bmp");
    showPage(3);
    scroll()->setValue(2);
    showPage(2);
    test.fileDialogs.scriptOpen(picture);
    messages.script({MsgAnswer::Yes});
    QTest::mouseClick(find<QLabel>("Image1"), Qt::LeftButton);
    EXPECT_EQ(messages.last().text, "Use this picture - if yes, do ADD or CHANGE in EDIT window");
    EXPECT_FALSE(find<QLabel>("Image1")->pixmap().isNull());

    showPage(3);
    EXPECT_EQ(field("Text5")->text(), "Bravo");
    click("Command6");
    EXPECT_EQ(state.store.field(Field::ImagePath, 2), picture);
}

TEST_F(EditPageTest, imageAnsweredNo_isNotKept)
{
    const QString picture = writePicture("red.bmp");
    showPage(3);
    typeRecord("05/11/1996", "10:30", "Smith");
    test.fileDialogs.scriptOpen(picture);
    messages.script({MsgAnswer::No});
    click("SSCommand2");
    EXPECT_TRUE(find<QLabel>("Image1")->pixmap().isNull());
    click("Command2");
    EXPECT_EQ(state.store.field(Field::ImagePath, 1), kNoAttachment);
}

TEST_F(EditPageTest, unreadablePictures_fallBackToNoPictureWithoutAQuestion)
{
    const QString notAPicture = writeText("x.bmp", "this is only text\n");
    // A bitmap header claiming 20000 x 20000 pixels.
    QByteArray huge("BM");
    huge.append(QByteArray::fromHex("36000000" "00000000" "36000000" "28000000"
                                    "204e0000" "204e0000" "0100" "1800" "00000000" "00000000"
                                    "130b0000" "130b0000" "00000000" "00000000"));
    const QString tooLarge = writeText("huge.bmp", huge);
    // Small to read, but wider than any picture the planner shows.
    const QString tooWide = path("wide.png");
    ASSERT_TRUE(QImage(10001, 1, QImage::Format_Mono).save(tooWide, "PNG"));

    showPage(3);
    for (const QString& file : {notAPicture, tooLarge, tooWide}) {
        messages.clear();
        test.fileDialogs.scriptOpen(file);
        click("SSCommand2");
        EXPECT_TRUE(messages.empty()) << file.toStdString();
        EXPECT_EQ(state.store.pendingImagePath, kNoAttachment);
    }

    // A record naming such a file loses the name when it is shown.
    PlannerRecord r = record("05/11/1996", "Smith");
    r[Field::ImagePath] = notAPicture;
    givenRecords({r, record("06/11/1996", "Jones")});
    showPage(0);
    showPage(3);
    EXPECT_EQ(state.store.field(Field::ImagePath, 1), kNoAttachment);
    state.store.setField(Field::ImagePath, 2, tooLarge);
    clickListLine(1);
    showPage(2);
    EXPECT_EQ(state.store.field(Field::ImagePath, 2), kNoAttachment);
    EXPECT_FALSE(find<QLabel>("Image1")->pixmap().isNull()); // the default picture
}

TEST_F(EditPageTest, aPictureOrSoundThatIsAPipe_isNeverOpenedAndTheHintSaysWhy)
{
    const QString pipe = path("pipe.bmp");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString why = QStringLiteral(" It is not a regular file (a pipe or a device).");
    showPage(3);
    test.fileDialogs.scriptOpen(pipe);
    click("SSCommand2");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(state.store.pendingImagePath, kNoAttachment);
    EXPECT_EQ(window().hints().text(), "The picture " + pipe + " cannot be shown:" + why);

    state.settings.soundOn = 1;
    PlannerRecord r = record("01/01/1990", "Alpha");
    r[Field::AudioPath] = pipe;
    givenRecords({r});
    window().selectListLine(0);
    EXPECT_EQ(window().hints().text(), "The sound " + pipe + " cannot be played:" + why);
}

// --- entry grid -------------------------------------------------------------------------

TEST_F(EditPageTest, projectPlanning_showsTheGridWithItsTwoHeaderRows)
{
    givenThreeRecords();
    showPage(3);
    const int nameColumnWidth = grid()->columnWidth(1);
    trigger("projectplanning");
    EXPECT_EQ(state.store.editStyle, EditStyle::ProjectPlanning);
    // Filling keeps the widths the layout gave the columns.
    EXPECT_EQ(grid()->columnWidth(1), nameColumnWidth);
    EXPECT_TRUE(window().menuAction("projectplanning")->isChecked());
    EXPECT_FALSE(window().menuAction("homeandoffice")->isChecked());
    EXPECT_TRUE(grid()->isVisible());
    EXPECT_FALSE(find("SSPanel2")->isVisible());
    for (const char* name : {"Text4", "Command4", "Command5"})
        EXPECT_TRUE(find(name)->isVisible()) << name;
    ASSERT_EQ(grid()->model()->rowCount(), 5);
    ASSERT_EQ(grid()->model()->columnCount(), 13);
    EXPECT_EQ(cell(0, 1), "on");
    EXPECT_EQ(cell(1, 0), "No.");
    EXPECT_EQ(cell(1, 1), "Name");
    EXPECT_EQ(cell(1, 12), "Sound");
    EXPECT_EQ(cell(3, 0), " 2");
    EXPECT_EQ(cell(3, 1), "Bravo");
    EXPECT_EQ(cell(3, 2), "01/01/1995");
    EXPECT_EQ(cell(3, 9), "1");
    // The current record's row is selected and its cell is in the edit box.
    EXPECT_EQ(grid()->currentIndex().row(), 2);
    EXPECT_EQ(field("Text4")->text(), "Alpha");
}

TEST_F(EditPageTest, insertRow_putsABlankTodayRecordBeforeTheSelectedOne)
{
    givenThreeRecords();
    state.store.editStyle = EditStyle::ProjectPlanning;
    showPage(3);
    selectCell(1, 1); // the caption row: nothing happens
    click("Command4");
    EXPECT_EQ(state.store.recordCount(), 3);

    selectCell(4, 1); // record 3
    click("Command4");
    ASSERT_EQ(state.store.recordCount(), 4);
    EXPECT_EQ(state.store.field(Field::Name, 3), "");
    EXPECT_EQ(state.store.field(Field::StartDate, 3), "10/12/2026");
    EXPECT_EQ(state.store.field(Field::FinishDate, 3), "10/12/2026");
    EXPECT_EQ(state.store.field(Field::Name, 4), "Charlie");
    EXPECT_EQ(grid()->model()->rowCount(), 6);
    EXPECT_EQ(cell(4, 2), "10/12/2026");
    EXPECT_EQ(cell(5, 1), "Charlie");
    EXPECT_EQ(grid()->currentIndex().row(), 4);
}

TEST_F(EditPageTest, insertRowIntoAnEmptyPlan_putsEnterBackIntoTheStartDate)
{
    state.store.editStyle = EditStyle::ProjectPlanning;
    showPage(3);
    click("Command4");
    ASSERT_EQ(state.store.recordCount(), 1);
    EXPECT_EQ(field("Text4")->text(), "10/12/2026");
    EXPECT_EQ(grid()->currentIndex().row(), 2);
    EXPECT_EQ(grid()->currentIndex().column(), 2);
    field("Text4")->setFocus();
    QTest::keyClick(field("Text4"), Qt::Key_Return);
    EXPECT_EQ(state.store.field(Field::Name, 1), "");
    EXPECT_EQ(state.store.field(Field::StartDate, 1), "10/12/2026");
}

TEST_F(EditPageTest, deleteRow_leavesHeaderRowsAndRemovesTheLastRecord)
{
    givenThreeRecords();
    state.store.editStyle = EditStyle::ProjectPlanning;
    showPage(3);
    selectCell(1, 3);
    click("Command5");
    EXPECT_EQ(state.store.recordCount(), 3);
    selectCell(4, 3);
    click("Command5");
    ASSERT_EQ(state.store.recordCount(), 2);
    EXPECT_EQ(state.store.field(Field::Name, 2), "Bravo");
    EXPECT_EQ(grid()->model()->rowCount(), 4);
    EXPECT_EQ(grid()->currentIndex().row(), 3);
}

TEST_F(EditPageTest, enterInTheEditBox_commitsTheCurrentCell)
{
    givenThreeRecords();
    state.store.editStyle = EditStyle::ProjectPlanning;
    showPage(3);
    selectCell(3, 1);
    EXPECT_EQ(field("Text4")->text(), "Bravo");
    commitText4("Bravo Ltd");
    EXPECT_EQ(state.store.field(Field::Name, 2), "Bravo Ltd");
    EXPECT_EQ(cell(3, 1), "Bravo Ltd");

    // A start date later than the finish date warns and is kept.
    selectCell(3, 2);
    commitText4("5/3/2001");
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "Warning, start date is greater than finish date");
    EXPECT_EQ(state.store.field(Field::StartDate, 2), "05/03/2001");
    EXPECT_EQ(cell(3, 2), "05/03/2001");

    messages.clear();
    selectCell(3, 3);
    commitText4("soon");
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text.left(55), "Date format not correct. Please re-enter (e.g. 1/1/98).");
    EXPECT_EQ(state.store.field(Field::FinishDate, 2), "01/01/1995");

    // A caption renames the column and the entry panel's label.
    selectCell(1, 1);
    commitText4("Client");
    EXPECT_EQ(state.store.fieldLabels[1], "Client");
    EXPECT_EQ(find<QLabel>("Label4")->text(), "Client");
    EXPECT_EQ(cell(1, 1), "Client");
}

TEST_F(EditPageTest, doubleClickOnAStatus_togglesItAndTheEditBoxFollowsColumnOne)
{
    givenThreeRecords();
    state.store.editStyle = EditStyle::ProjectPlanning;
    showPage(3);
    doubleClickCell(2, 9);
    EXPECT_EQ(state.store.field(Field::JobStatus, 1), "1");
    EXPECT_EQ(cell(2, 9), "1");
    EXPECT_EQ(grid()->currentIndex().column(), 1);
    EXPECT_EQ(field("Text4")->text(), "Alpha");
    EXPECT_TRUE(field("Text4")->hasFocus());
    // Enter now commits the name as it stands, not the status.
    QTest::keyClick(field("Text4"), Qt::Key_Return);
    EXPECT_EQ(state.store.field(Field::Name, 1), "Alpha");

    doubleClickCell(2, 9);
    EXPECT_EQ(state.store.field(Field::JobStatus, 1), "0");
}

TEST_F(EditPageTest, doubleClickOnTheImageColumn_choosesAPictureFile)
{
    givenThreeRecords();
    state.store.editStyle = EditStyle::ProjectPlanning;
    showPage(3);
    test.fileDialogs.scriptOpen(path("photo.png"));
    doubleClickCell(3, 11);
    EXPECT_EQ(test.fileDialogs.openRequests.back().title, "Load Image");
    EXPECT_EQ(state.store.field(Field::ImagePath, 2), path("photo.png"));
    EXPECT_EQ(cell(3, 11), path("photo.png"));
    doubleClickCell(3, 12); // cancelled
    EXPECT_EQ(test.fileDialogs.openRequests.back().title, "Load Sound");
    EXPECT_EQ(cell(3, 12), kNoAttachment);
}

TEST_F(EditPageTest, backToHomeAndOffice_asksBeforeReSorting)
{
    givenRecords({record("01/01/2000", "Late"), record("01/01/1990", "Early")});
    state.store.editStyle = EditStyle::ProjectPlanning;
    showPage(3);
    messages.script({MsgAnswer::No});
    trigger("homeandoffice");
    EXPECT_EQ(messages.last().text, "This style of editing will re-sort your records list into chronological order.\n\r"
                                    "Do you wish to continue...");
    EXPECT_EQ(messages.last().title, "Zorvik Planner Edit Style");
    EXPECT_EQ(messages.last().style, MsgStyle::YesNoQuestion);
    EXPECT_EQ(state.store.editStyle, EditStyle::ProjectPlanning);
    EXPECT_EQ(state.store.field(Field::Name, 1), "Late");
    EXPECT_FALSE(window().menuAction("homeandoffice")->isChecked());
    EXPECT_TRUE(window().menuAction("projectplanning")->isChecked());
    EXPECT_TRUE(grid()->isVisible());

    messages.script({MsgAnswer::Yes});
    trigger("homeandoffice");
    EXPECT_EQ(state.store.editStyle, EditStyle::HomeAndOffice);
    EXPECT_EQ(state.store.field(Field::Name, 1), "Early");
    EXPECT_TRUE(listLines()[0].contains("Early"));
    EXPECT_TRUE(window().menuAction("homeandoffice")->isChecked());
    EXPECT_FALSE(window().menuAction("projectplanning")->isChecked());
    EXPECT_TRUE(find("SSPanel2")->isVisible());
    EXPECT_FALSE(grid()->isVisible());
}

TEST_F(EditPageTest, fullPlan_fillsTheGridWithEveryRecord)
{
    std::vector<PlannerRecord> records;
    records.reserve(RecordStore::kMaxRecords);
    for (int i = 0; i < RecordStore::kMaxRecords; ++i)
        records.push_back(record("05/11/1996", "Job"));
    givenRecords(std::move(records));
    showPage(3);
    // How quickly: BM_FillEntryGrid in bench/MainWindowBench.cpp.
    trigger("projectplanning");
    QApplication::processEvents();
    EXPECT_EQ(grid()->model()->rowCount(), RecordStore::kMaxRecords + 2);
    EXPECT_EQ(cell(RecordStore::kMaxRecords + 1, 0), " 32767");
}

// --- menus ---------------------------------------------------------------------------------

TEST_F(EditPageTest, setToDefault_restoresLabelsOnPanelAndGrid)
{
    state.store.fieldLabels[1] = QStringLiteral("Client");
    state.store.fieldLabels[12] = QStringLiteral("Voice");
    state.store.fieldLabels[13] = QStringLiteral("off");
    window().applySettingsToWindow();
    EXPECT_EQ(find<QLabel>("Label4")->text(), "Client");
    trigger("Settodefault");
    EXPECT_EQ(state.store.fieldLabels[1], "Name");
    EXPECT_EQ(state.store.fieldLabels[12], "Audio");
    EXPECT_EQ(state.store.fieldLabels[13], "off"); // print switches stay
    EXPECT_EQ(find<QLabel>("Label4")->text(), "Name");
    EXPECT_EQ(find<QLabel>("Label7")->text(), "Start date");
    EXPECT_EQ(cell(1, 1), "Name");
    EXPECT_EQ(cell(1, 12), "Audio");
}

TEST_F(EditPageTest, editRecords_bringsTheSelectedLineIntoTheEditPage)
{
    givenThreeRecords();
    showPage(0);
    clickListLine(2);
    trigger("Editrecords");
    EXPECT_EQ(find<QTabWidget>("SSTab1")->currentIndex(), 3);
    EXPECT_EQ(field("Text5")->text(), "Charlie");
    EXPECT_EQ(scroll()->value(), 3);
}

TEST_F(EditPageTest, copyCommands_putTheExactTextOnTheClipboard)
{
    PlannerRecord r = record("05/11/1996", "Smith");
    r[Field::Time] = QStringLiteral("10:30");
    r[Field::PhoneAfterHours] = QStringLiteral("432");
    r[Field::Message] = QStringLiteral("Quote");
    r[Field::Income] = QStringLiteral("120");
    r[Field::FinishDate] = QStringLiteral("06/11/1996");
    givenRecords({record("01/01/1990", "Alpha"), r});
    state.store.fieldLabels[17] = QStringLiteral("off"); // no expense line

    // The first record is current from the start and Details shows it.
    trigger("copytoclipboard");
    EXPECT_TRUE(test.clipboard.content.startsWith("Planner Record No. 1\r\n"));

    clickListLine(1);
    trigger("copytoclipboard");
    EXPECT_EQ(test.clipboard.content, "Planner Record No. 2\r\n"
                                      "Start date 05/11/1996, 10:30\r\n"
                                      "Finish date  06/11/1996\r\n"
                                      "Name  Smith\r\n"
                                      "Phone(ah)  432\r\n"
                                      "Phone(bh)  \r\n"
                                      "Message  Quote\r\n"
                                      "Income  120\r\n"
                                      "Job status  Pending\r\n"
                                      "Image  plandefault\r\n"
                                      "Sound  plandefault\r\n");
    EXPECT_EQ(state.store.currentRecord, 2);

    trigger("copyall");
    EXPECT_TRUE(test.clipboard.content.startsWith("Planner Record No. 1\r\nStart date 01/01/1990, \r\n"));
    EXPECT_TRUE(test.clipboard.content.endsWith("Job status Pending\r\nImage  plandefault\r\nSound  plandefault\r\n\r\n\r\n"));
    EXPECT_EQ(test.clipboard.content, copyAllText(state.store));

    messages.clear();
    givenRecords({});
    trigger("copyall");
    EXPECT_EQ(messages.last().text, "No records to copy.");
    EXPECT_EQ(messages.last().style, MsgStyle::Exclamation);
}

TEST_F(EditPageTest, menuShortcuts_leaveEditingKeysToTheGridEditBox)
{
    givenThreeRecords();
    state.store.editStyle = EditStyle::ProjectPlanning;
    showPage(3);
    int copies = 0, saveAs = 0;
    QObject::connect(window().menuAction("copytoclipboard"), &QAction::triggered, [&] { ++copies; });
    QObject::connect(window().menuAction("Saveplanas"), &QAction::triggered, [&] { ++saveAs; });
    selectCell(2, 1);
    auto* text4 = field("Text4");
    text4->setFocus();
    QTest::keyClick(text4, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(text4->selectedText(), "Alpha");
    QTest::keyClick(text4, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copies, 0);
    EXPECT_EQ(saveAs, 0);

    // The grid is no text box: there Ctrl+C is the menu's "Copy selected".
    selectCell(3, 1);
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copies, 1);
}

TEST_F(EditPageTest, homeAndOfficeFace_switchesTheGridControlsOff)
{
    givenThreeRecords();
    showPage(3);
    for (const char* name : {"Text4", "Command4", "Command5"})
        EXPECT_FALSE(find(name)->isEnabled()) << name;
    trigger("projectplanning");
    for (const char* name : {"Text4", "Command4", "Command5"})
        EXPECT_TRUE(find(name)->isEnabled()) << name;
}

// --- details and hints -------------------------------------------------------------------------

TEST_F(EditPageTest, detailsPage_followsTheClickedLine)
{
    givenThreeRecords();
    showPage(1);
    EXPECT_TRUE(find<QPlainTextEdit>("Text1")->toPlainText().startsWith("Planner Record No. 1\n"));
    clickListLine(1);
    const QString text = find<QPlainTextEdit>("Text1")->toPlainText();
    EXPECT_TRUE(text.startsWith("Planner Record No. 2\nStart date 01/01/1995, \n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Name  Bravo\n"));
    EXPECT_TRUE(text.contains("Job status  Done \n"));
}

TEST_F(EditPageTest, mouseOverEditControls_writesTheirHints)
{
    window();
    showPage(3);
    const std::pair<const char*, const char*> hints[] = {
        {"Text2", "The reminder/start date entry box"},
        {"Text10", "Miscellaneous notes entry box"},
        {"Check1", "Status -  Job done or Job pending"},
        {"Command1", "Clear the entry boxes"},
        {"Command3", "Remove the current record"},
        {"Command5", "Deletes a row of records from the entry grid"},
        {"Text4", "Record entry box"},
        {"Image1", "Image entry box - click to load picture. ADD or CHANGE the record immediately in the EDIT window"},
    };
    for (const auto& [name, text] : hints) {
        QWidget* w = find(name);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        EXPECT_EQ(find<QLabel>("Panel3D3")->text(), QString::fromLatin1(text)) << name;
    }
    QWidget* viewport = grid()->viewport();
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), viewport->mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    EXPECT_EQ(find<QLabel>("Panel3D3")->text(), "Record entry grid - click in the grid to make an entry");
}

// --- the current record ---------------------------------------------------------------

TEST_F(EditPageTest, currentLine_followsKeysAndClicks_survivesRebuilds_andDrivesTheCommands)
{
    givenThreeRecords();
    auto* list = find<QListView>("Viewlist");
    auto* details = find<QPlainTextEdit>("Text1");
    showPage(1);
    EXPECT_EQ(list->currentIndex().row(), 0);

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(state.store.currentRecord, 2);
    EXPECT_TRUE(details->toPlainText().contains("Bravo"));
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(state.store.currentRecord, 3);
    QTest::keyClick(list, Qt::Key_Home);
    EXPECT_EQ(state.store.currentRecord, 1);

    clickListLine(1);
    ASSERT_EQ(list->selectionModel()->selectedRows().size(), 1);
    // A keyword highlight, a display mode and a rebuild leave the line current.
    state.highlightKeyword = QStringLiteral("Charlie");
    window().setDisplayMode(QStringLiteral("sortbyname"));
    EXPECT_EQ(list->currentIndex().row(), 1);
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1);
    trigger("copytoclipboard");
    EXPECT_TRUE(test.clipboard.content.startsWith("Planner Record No. 2\r\n"));

    // On the Edit page a click shows the record in the entry panel, so
    // Change acts on the record the user sees.
    showPage(3);
    clickListLine(2);
    EXPECT_EQ(field("Text5")->text(), "Charlie");
    EXPECT_EQ(scroll()->value(), 3);
    field("Text5")->setText(QStringLiteral("Carla"));
    click("Command6");
    EXPECT_EQ(state.store.field(Field::Name, 3), "Carla");
}

TEST_F(EditPageTest, gridCommitAndEditStyleSwitch_markThePlanModified)
{
    givenThreeRecords();
    trigger("projectplanning");
    EXPECT_TRUE(state.store.modified);
    state.store.modified = false;
    showPage(3);
    selectCell(2, 1);
    commitText4(QStringLiteral("Apple"));
    EXPECT_EQ(state.store.field(Field::Name, 1), "Apple");
    EXPECT_TRUE(state.store.modified);
}

TEST_F(EditPageTest, noPictureAndNoSound_removeAnAttachment_cancelKeepsIt)
{
    PlannerRecord r = record("01/01/1990", "Alpha");
    r[Field::ImagePath] = writePicture("a.bmp");
    r[Field::AudioPath] = QStringLiteral("/snd/a.wav");
    givenRecords({r});
    showPage(3);
    click("SSCommand2"); // the picture dialog, cancelled
    click("Command6");
    EXPECT_EQ(state.store.field(Field::ImagePath, 1), path("a.bmp"));

    window().findChild<QAction*>("NoPicture")->trigger();
    click("Command6");
    EXPECT_EQ(state.store.field(Field::ImagePath, 1), kNoAttachment);

    trigger("projectplanning");
    selectCell(2, 12);
    window().findChild<QAction*>("GridNoSound")->trigger();
    EXPECT_EQ(state.store.field(Field::AudioPath, 1), kNoAttachment);
    EXPECT_EQ(cell(2, 12), kNoAttachment);
}

} // namespace
} // namespace zp
