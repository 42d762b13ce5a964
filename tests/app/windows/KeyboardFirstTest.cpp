// The program driven by keys alone: where the focus lands, what Tab walks,
// the keys for the mouse-only commands, and Escape in the tool windows.
#include "accessories/windows/CalculatorWindow.h"
#include "accessories/windows/FindDialog.h"
#include "accessories/windows/NotepadWindow.h"
#include "accessories/windows/WorldTimesWindow.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "app/windows/StartWindow.h"
#include "money/windows/LedgerPlotWindow.h"
#include "money/windows/LedgerWindow.h"
#include "money/windows/LoanWindow.h"
#include "support/Fakes.h"
#include "ui/WindowGeometry.h"
#include "views/windows/KeywordWindow.h"
#include "views/windows/PhoneBookWindow.h"
#include "views/windows/RecordDetailsWindow.h"
#include "views/windows/RemindersWindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zp {
namespace {

class KeyboardFirstTest : public ::testing::Test {
protected:
    KeyboardFirstTest()
    {
        test.clock.set(2026, 12, 7, 9, 0);
        state.settings.startupShow = QStringLiteral("all");
    }
    void addRecord(const char* date, const char* name)
    {
        PlannerRecord r;
        r[Field::StartDate] = QString::fromLatin1(date);
        r[Field::Name] = QString::fromLatin1(name);
        r[Field::JobStatus] = QStringLiteral("0");
        r[Field::ImagePath] = r[Field::AudioPath] = kNoAttachment;
        state.store.insertInDateOrder(r);
    }
    MainWindow& startMain()
    {
        app = std::make_unique<PlannerApp>(state, test.platform());
        app->start();
        // The start picture's two ticks bring the main window up.
        for (int tick = 0; tick < 2 && app->startWindow(); ++tick)
            app->startWindow()->tick();
        MainWindow& w = *app->mainWindow();
        EXPECT_TRUE(w.isVisible());
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    static QWidget* focused(QWidget& window) { return window.focusWidget(); }
    static QString focusedName(QWidget& window) { return focused(window) ? focused(window)->objectName() : QString(); }
    static int currentLine(MainWindow& w) { return w.findChild<QListView*>("Viewlist")->currentIndex().row(); }

    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    std::unique_ptr<PlannerApp> app;
};

TEST_F(KeyboardFirstTest, startOpenNewAndDelete_leaveTheKeysOnTheCurrentLineOfTheList)
{
    addRecord("01/02/2026", "Ann");
    addRecord("03/02/2026", "Bob");
    addRecord("05/02/2026", "Cid");
    const QString plan = dir.filePath(QStringLiteral("work.pln"));
    test.fileDialogs.scriptSave(plan);
    MainWindow& w = startMain();
    EXPECT_EQ(focusedName(w), "Viewlist");
    w.menuAction("Saveplanas")->trigger();

    // Down moves the line from the keyboard, then the plan is opened again.
    w.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(3);
    QTest::keyClick(&w, Qt::Key_F6);
    QTest::keyClick(focused(w), Qt::Key_Down);
    EXPECT_EQ(state.store.currentRecord, 2);
    test.fileDialogs.scriptOpen(plan);
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(focusedName(w), "Viewlist");
    EXPECT_EQ(currentLine(w), state.store.currentRecord - 1);
    EXPECT_TRUE(w.testAttribute(Qt::WA_KeyboardFocusChange)); // the focus frame is drawn

    w.findChild<QLineEdit*>("Text5")->setFocus();
    test.messages.script({MsgAnswer::Yes});
    QTest::keyClick(&w, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(state.store.recordCount(), 0);
    EXPECT_EQ(focusedName(w), "Viewlist");

    w.findChild<QLineEdit*>("Text5")->setFocus();
    w.menuAction("Newplan")->trigger();
    EXPECT_EQ(focusedName(w), "Viewlist");
}

TEST_F(KeyboardFirstTest, newRecord_typesIntoTheStartDateAndTheListStaysPut)
{
    addRecord("01/02/2026", "Ann");
    addRecord("03/02/2026", "Bob");
    MainWindow& w = startMain();
    QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier); // Edit records
    QWidget* newButton = w.findChild<QWidget*>("Command1");
    newButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(newButton, Qt::Key_Space);
    EXPECT_EQ(focusedName(w), "Text2");
    QTest::keyClicks(focused(w), QStringLiteral("Bob"));
    EXPECT_EQ(w.findChild<QLineEdit*>("Text2")->text(), "Bob");
    EXPECT_EQ(currentLine(w), 0);
}

TEST_F(KeyboardFirstTest, tab_walksTheEntryPanelAsItReads)
{
    MainWindow& w = startMain();
    w.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(3);
    w.findChild<QLineEdit*>("Text2")->setFocus(Qt::TabFocusReason);
    QStringList walked{focusedName(w)};
    for (int i = 0; i < 15; ++i) {
        QTest::keyClick(focused(w), Qt::Key_Tab);
        walked << focusedName(w);
    }
    EXPECT_EQ(walked.join(' '), "Text2 Text3 Text11 Text5 Text6 Text7 Text8 Text9 Check1 SSCommand2 SSCommand1 "
                                "Text10 Command1 Command2 Command6 Command3");

    // The project face: the row buttons and the edit box above the grid.
    QTest::keyClick(&w, Qt::Key_J, Qt::ControlModifier);
    w.findChild<QWidget*>("Command4")->setFocus(Qt::TabFocusReason);
    walked = QStringList{focusedName(w)};
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(focused(w), Qt::Key_Tab);
        walked << focusedName(w);
    }
    EXPECT_EQ(walked.join(' '), "Command4 Command5 Text4 Grid1");
}

TEST_F(KeyboardFirstTest, enterOnAGridCell_doesWhatADoubleClickDoes)
{
    addRecord("01/02/2026", "Ann");
    MainWindow& w = startMain();
    QTest::keyClick(&w, Qt::Key_J, Qt::ControlModifier);
    // On the status cell: Pending turns Done.
    auto* grid = w.findChild<QTableView*>("Grid1");
    grid->setCurrentIndex(grid->model()->index(2, 9));
    const QString status = grid->currentIndex().data().toString();
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_NE(grid->currentIndex().data().toString(), status);
}

TEST_F(KeyboardFirstTest, keys_reachTheKeywordGridStretchAndListWidth)
{
    MainWindow& w = startMain();
    QTest::keyClick(&w, Qt::Key_K, Qt::ControlModifier);
    ASSERT_NE(app->keywordWindow(), nullptr);
    EXPECT_TRUE(app->keywordWindow()->isVisible());
    app->keywordWindow()->hide();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    const int stretch = state.gridStretch;
    QTest::keyClick(&w, Qt::Key_G, Qt::ControlModifier);
    EXPECT_NE(state.gridStretch, stretch);

    auto* slider = w.findChild<QSlider*>("Slider1");
    const int before = slider->value();
    QTest::keyClick(&w, Qt::Key_BracketRight, Qt::ControlModifier);
    EXPECT_EQ(slider->value(), before + 5);
    QTest::keyClick(&w, Qt::Key_BracketLeft, Qt::ControlModifier);
    QTest::keyClick(&w, Qt::Key_BracketLeft, Qt::ControlModifier);
    EXPECT_EQ(slider->value(), before - 5);
    // The slider itself takes the focus and the arrows, within its limits.
    slider->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(focused(w), slider);
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(slider, Qt::Key_Left);
    EXPECT_EQ(slider->value(), 10);
}

TEST_F(KeyboardFirstTest, shiftF10_onTheImageButtonOffersNoPicture)
{
    MainWindow& w = startMain();
    w.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(3);
    QWidget* image = w.findChild<QWidget*>("SSCommand2");
    image->setFocus(Qt::TabFocusReason);
    QStringList offered;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                offered << a->text();
            QTest::keyClick(menu, Qt::Key_Escape);
        }
    });
    QTest::keyClick(image, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(offered, QStringList{"No picture"});
}

// Escape does what each tool window's Close does: the window goes and its
// place is remembered in its row. The calculator keeps Escape for C.
TEST_F(KeyboardFirstTest, escape_closesEveryToolWindowAsItsCloseDoes)
{
    struct Case {
        const char* name;
        std::function<QWidget*(PlannerApp&)> open;
        int placementRow; // 0: the window has none
    };
    std::unique_ptr<RecordDetailsWindow> details;
    const Case cases[] = {
        {"Form6", [](PlannerApp& a) { a.showWorldTimes(); return a.worldTimes(); }, PlacementRow::WorldTimes},
        {"Form7", [](PlannerApp& a) { a.showLedger(); return a.ledger(); }, PlacementRow::Ledger},
        {"Form11", [](PlannerApp& a) { a.showLedgerPlot(); return a.ledgerPlot(); }, PlacementRow::LedgerPlot},
        {"Loan1", [](PlannerApp& a) { a.showLoanWindow(); return a.loanWindow(); }, PlacementRow::Loan},
        {"Form8", [](PlannerApp& a) { a.showPhoneBook(); return a.phoneBook(); }, PlacementRow::PhoneBook},
        {"Form10", [](PlannerApp& a) { a.showKeywordWindow(); return a.keywordWindow(); }, PlacementRow::Keyword},
        {"frmFind",
         [](PlannerApp& a) {
             a.showNotepad();
             a.notepad()->showFindDialog();
             return (QWidget*)a.notepad()->findDialog();
         },
         PlacementRow::NotepadFind},
        {"Form14", [&](PlannerApp&) { return (details = std::make_unique<RecordDetailsWindow>()).get(); }, 0},
        {"Form12", [](PlannerApp& a) { return (QWidget*)a.remindersWindow(); }, PlacementRow::Reminders},
    };
    startMain();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* window = c.open(*app);
        ASSERT_NE(window, nullptr);
        window->show();
        EXPECT_EQ(window->objectName(), c.name);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        if (c.placementRow)
            state.settings.placement(c.placementRow) = {};
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
        if (c.placementRow) {
            EXPECT_EQ(state.settings.placement(c.placementRow), placementOf(*window, Twips(test.screen)));
        }
    }

    app->showCalculator();
    CalculatorWindow* calculator = app->calculator();
    calculator->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(calculator));
    QTest::keyClicks(calculator, QStringLiteral("12"));
    QTest::keyClick(calculator, Qt::Key_Escape);
    EXPECT_TRUE(calculator->isVisible());
    EXPECT_EQ(calculator->findChild<QLabel*>("Readout")->text(), "0.");
}

TEST_F(KeyboardFirstTest, worldTimes_homeCityIsChosenByTabAndSpace)
{
    // A computer in Washington's zone: its picture, the first, has the focus.
    test.clock.zone = QTimeZone("America/New_York");
    startMain();
    app->showWorldTimes();
    WorldTimesWindow* w = app->worldTimes();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    EXPECT_EQ(w->focusWidget(), w->picture(1));
    QTest::keyClick(w->focusWidget(), Qt::Key_Tab);
    QTest::keyClick(w->focusWidget(), Qt::Key_Space);
    EXPECT_EQ(w->homeCity(), pictureForPanel(1));
}

} // namespace
} // namespace zp
