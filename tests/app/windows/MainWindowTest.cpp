#include "app/windows/MainWindow.h"
#include "app/windows/StartWindow.h"
#include "app/windows/PlannerApp.h"
#include "support/Fakes.h"
#include "views/windows/RemindersWindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace zp {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        test.clock.set(2026, 12, 10, 9, 30); // a Thursday
        test.dateOrder.order = DateOrder::DayFirst;
    }

    MainWindow& window()
    {
        if (!mainWindow) {
            mainWindow = std::make_unique<MainWindow>(state, test.platform());
            mainWindow->initialise();
        }
        return *mainWindow;
    }
    template <typename T = QWidget>
    T* find(const char* name)
    {
        return window().findChild<T*>(QString::fromLatin1(name));
    }
    QString hint() { return find<QLabel>("Panel3D3")->text(); }
    void moveOver(QWidget* w, QPoint at = QPoint(2, 2))
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
    void sizeTwips(int width, int height)
    {
        WindowPlacement p = state.settings.placement(PlacementRow::Main);
        p.width = width;
        p.height = height;
        window().setTwipsGeometry(p);
        QApplication::processEvents();
    }

    TestPlatform test;
    ProgramState state;
    std::unique_ptr<MainWindow> mainWindow;
};

TEST_F(MainWindowTest, firstStart_showsCaptionStatusPanelsAndDefaultPlace)
{
    MainWindow& w = window();
    EXPECT_EQ(w.windowTitle(), "Zorvik Planner 3.2  -  ");
    EXPECT_EQ(w.statusPanelText(3), "Thursday");
    EXPECT_EQ(w.statusPanelText(4), "New Plan");
    EXPECT_EQ(w.statusPanelText(2), "10/12/2026");
    EXPECT_EQ(hint(), "Zorvik Planner Version 3.2");
    const QRect g = w.twipsGeometry();
    EXPECT_NEAR(g.y(), 2205, 15);
    EXPECT_NEAR(g.x(), 1185, 15);
    // At least as large as the layout, grown with the font.
    EXPECT_NEAR(g.width(), std::max(6200.0, kLayoutMinWidth * w.fontGrowth()), 30);
    EXPECT_NEAR(g.height(), std::max(4140.0, kLayoutMinHeight * w.fontGrowth()), 30);
    EXPECT_TRUE(w.menuAction("EnglishEuro")->isChecked());
    EXPECT_FALSE(w.menuAction("American")->isChecked());
    EXPECT_TRUE(w.menuAction("Datte")->isChecked());
    EXPECT_TRUE(w.menuAction("homeandoffice")->isChecked());
    EXPECT_TRUE(w.menuAction("Allrecords")->isChecked());
    EXPECT_TRUE(w.menuAction("Saveonexit")->isChecked());
    EXPECT_FALSE(w.menuAction("Keepbackups")->isChecked());
}

TEST_F(MainWindowTest, commandLinePlan_namesThePlanInTitleAndPanel)
{
    state.commandLinePlan = QStringLiteral("/home/ann/plans/work.pln");
    state.store.planFileName = QStringLiteral("/home/ann/other.pln");
    MainWindow& w = window();
    EXPECT_EQ(state.store.planFileName, "/home/ann/plans/work.pln");
    EXPECT_EQ(w.statusPanelText(4), "work.pln");
    EXPECT_EQ(w.windowTitle(), "Zorvik Planner 3.2  -  /home/ann/plans/work.pln");
}

TEST_F(MainWindowTest, menuBar_carriesEveryCaptionShortcutAndName)
{
    struct Item {
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    const Item items[] = {
        {"Newplan", "&New", ""}, {"Loadplan", "&Open", "Ctrl+O"}, {"Saveplan", "&Save", "Ctrl+S"},
        {"Saveplanas", "Save &as", "Ctrl+A"}, {"delete", "&Delete", "Ctrl+D"}, {"standard", "&Standard style", "Ctrl+T"},
        {"projectstyle", "&Project style", "Ctrl+P"}, {"timeline", "&Time line", "Ctrl+I"}, {"About", "&About...", ""},
        {"Exit", "E&xit...", "Ctrl+X"}, {"Editrecords", "&Edit records", "Ctrl+E"},
        {"copytoclipboard", "&Copy selected", "Ctrl+C"}, {"copyall", "Copy &all", ""}, {"Dayy", "By da&y", ""},
        {"Datte", "By &date", ""}, {"Namme", "By &name", ""}, {"Taskk", "By &task", ""}, {"Showbydate", "Show", ""},
        {"PlotLedger", "Plot.....", ""}, {"Loansimulator", "L&oan simulator", "Ctrl+N"},
        {"Phonebook", "Phone &book", "Ctrl+B"}, {"Notes", "&Notes...", ""}, {"Calculator", "&Calculator", "Ctrl+L"},
        {"Worldtimes", "&World times", ""}, {"homeandoffice", "&Home and office", "Ctrl+H"},
        {"projectplanning", "Pro&ject planning", "Ctrl+J"}, {"Settodefault", "&Set to default", "Ctrl+Y"},
        {"Currentyearmonth", "&This weeks reminders ", ""}, {"Allrecords", "&Main Program", ""},
        {"American", "month/day/year", ""}, {"EnglishEuro", "day/month/year", ""}, {"Fonttype", "&Fonts", ""},
        {"soundon", "&Sound on", ""}, {"Keepbackups", "&Keep backups", ""}, {"Saveonexit", "&Save settings on exit", ""},
        {"Contents", "&Contents", ""}, {"usinghelp", "&Using help...", ""},
        {"sort", "&Display", ""}, {"Options", "&Options", ""}, {"Startupshow", "&Startup show", ""},
    };
    for (const Item& it : items) {
        QAction* a = window().menuAction(QString::fromLatin1(it.name));
        ASSERT_NE(a, nullptr) << it.name;
        EXPECT_EQ(a->text(), QString::fromLatin1(it.caption)) << it.name;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(it.shortcut))) << it.name;
    }
    QStringList top;
    for (QAction* a : window().menuBar()->actions())
        top << a->text();
    EXPECT_EQ(top, (QStringList{"&File", "&Edit", "&Display", "&Tools", "&Options", "&Help", ""}));
}

TEST_F(MainWindowTest, mouseOverControls_writesTheirHints)
{
    window().show();
    const std::pair<const char*, const char*> hints[] = {
        {"imgFileNewButton", "Create new Planner file"},
        {"Image11", "Print current Planner file"},
        {"Image14", "Iconise Planner window"},
        {"Picture1", "Planner moving logo"},
        {"Slider1", "Use this slider bar to resize the records list display"},
        {"SSTab1", "Planner info, record details, image view and edit records"},
        {"Panel3D3", "Information window"},
    };
    for (const auto& [name, text] : hints) {
        moveOver(find(name));
        EXPECT_EQ(hint(), QString::fromLatin1(text)) << name;
    }
    QWidget* bar = find("StatusBar1");
    moveOver(bar, QPoint(1, 2));
    EXPECT_EQ(hint(), "Current time");
    moveOver(bar, QPoint(bar->width() / 2, 2));
    EXPECT_EQ(hint(), "Current date");
    moveOver(bar, QPoint(bar->width() - 2, 2));
    EXPECT_EQ(hint(), "Current planner file name");
}

TEST_F(MainWindowTest, layout_followsLargeWindowsAndKeepsPlaceBelowThresholds)
{
    MainWindow& w = window();
    w.show();
    sizeTwips(9600, 8400);
    ControlGeometry g = w.currentGeometry();
    const int H = w.layoutTwips().toTwipsY(w.centralWidget()->height());
    const int W = w.layoutTwips().toTwipsX(w.centralWidget()->width());
    EXPECT_NEAR(g.at("SSTab1").height, H - 1260, 15);
    EXPECT_NEAR(g.at("SSTab1").top, 900, 15);
    EXPECT_NEAR(g.at("StatusBar1").width, W - 760, 15);
    EXPECT_NEAR(g.at("SSTab1").left + g.at("SSTab1").width, W - 80, 30);

    // Made smaller than the thresholds by the user: the controls stay as
    // they were. (A place the program sets is never that small.)
    w.resize(w.twips().toPixelsX(6000), w.twips().toPixelsY(5000));
    QApplication::processEvents();
    const ControlGeometry after = w.currentGeometry();
    EXPECT_EQ(after.at("SSTab1"), g.at("SSTab1"));
    EXPECT_EQ(after.at("Viewlist"), g.at("Viewlist"));
}

TEST_F(MainWindowTest, slider_snapsInto10To85AndMovesTheSplit)
{
    MainWindow& w = window();
    w.show();
    sizeTwips(9600, 8400);
    auto* slider = find<QSlider>("Slider1");
    slider->setValue(5);
    EXPECT_EQ(slider->value(), 10);
    const int narrowLeft = w.currentGeometry().at("SSTab1").left;
    slider->setValue(90);
    EXPECT_EQ(slider->value(), 85);
    EXPECT_GT(w.currentGeometry().at("SSTab1").left, narrowLeft);
}

TEST_F(MainWindowTest, shortcuts_leaveEditingKeysToTextFields)
{
    MainWindow& w = window();
    w.show();
    QApplication::setActiveWindow(&w);
    find<QTabWidget>("SSTab1")->setCurrentIndex(3);
    int exits = 0, saveAs = 0, copies = 0;
    w.setOnExit([&] { ++exits; });
    QObject::connect(w.menuAction("Saveplanas"), &QAction::triggered, [&] { ++saveAs; });
    QObject::connect(w.menuAction("copytoclipboard"), &QAction::triggered, [&] { ++copies; });
    auto* name = find<QLineEdit>("Text5");
    name->setFocus();
    QTest::keyClicks(name, "Acme");
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(name->selectedText(), "Acme");
    QTest::keyClick(name, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(name, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(name->text(), "");
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(saveAs, 0);
    EXPECT_EQ(copies, 0);
}

TEST_F(MainWindowTest, dateStyleItems_onlyExplainAndKeepTheirTicks)
{
    MainWindow& w = window();
    w.menuAction("American")->trigger();
    ASSERT_EQ(test.messages.count(), 1);
    EXPECT_EQ(test.messages.calls[0].text, "The date style can be changed using the Windows control panel.");
    EXPECT_EQ(test.messages.calls[0].style, 48);
    EXPECT_EQ(test.messages.calls[0].title, "Planner Date Style");
    EXPECT_FALSE(w.menuAction("American")->isChecked());
    w.menuAction("EnglishEuro")->trigger();
    EXPECT_TRUE(w.menuAction("EnglishEuro")->isChecked());
}

TEST_F(MainWindowTest, timer1_followsASystemDateOrderChange)
{
    MainWindow& w = window();
    EXPECT_EQ(state.store.systemDateStyle, "englisheuro");
    test.dateOrder.order = DateOrder::MonthFirst;
    w.tickTimer1();
    EXPECT_EQ(state.store.systemDateStyle, "american");
    EXPECT_TRUE(w.menuAction("American")->isChecked());
    EXPECT_FALSE(w.menuAction("EnglishEuro")->isChecked());
}

TEST_F(MainWindowTest, fonts_areCappedAt14AndAppliedToListsAndFields)
{
    MainWindow& w = window();
    FontChoice big;
    big.name = QStringLiteral("DejaVu Sans");
    big.size = 72;
    big.bold = false;
    test.fontDialog.result = big;
    w.menuAction("Fonttype")->trigger();
    EXPECT_EQ(state.settings.font.size, 14);
    EXPECT_EQ(state.settings.font.name, "DejaVu Sans");
    EXPECT_EQ(find("Viewlist")->font().pointSize(), 14);
    EXPECT_EQ(find("Text5")->font().pointSize(), 14);
    EXPECT_FALSE(find("Text5")->font().bold());

    test.fontDialog.result.reset(); // cancel
    w.menuAction("Fonttype")->trigger();
    EXPECT_EQ(state.settings.font.size, 14);
    EXPECT_EQ(state.settings.font.name, "DejaVu Sans");
}

TEST_F(MainWindowTest, optionToggles_flipTickAndSetting)
{
    MainWindow& w = window();
    w.menuAction("soundon")->trigger();
    EXPECT_EQ(state.settings.soundOn, 1);
    w.menuAction("soundon")->trigger();
    EXPECT_EQ(state.settings.soundOn, 0);
    w.menuAction("Keepbackups")->trigger();
    EXPECT_EQ(state.store.keepBackups, "1");
    w.menuAction("Saveonexit")->trigger();
    EXPECT_EQ(state.settings.saveSettingsOnExit, "0");
    w.menuAction("Currentyearmonth")->trigger();
    EXPECT_EQ(state.settings.startupShow, "yearmonth");
    EXPECT_TRUE(w.menuAction("Currentyearmonth")->isChecked());
    EXPECT_FALSE(w.menuAction("Allrecords")->isChecked());
    w.menuAction("Allrecords")->trigger();
    w.menuAction("Allrecords")->trigger(); // choosing it again keeps it ticked
    EXPECT_EQ(state.settings.startupShow, "all");
    EXPECT_TRUE(w.menuAction("Allrecords")->isChecked());
    EXPECT_FALSE(w.menuAction("Currentyearmonth")->isChecked());
}

TEST_F(MainWindowTest, toolbarButton_showsPressedLookWhileDownAndActsOnClick)
{
    MainWindow& w = window();
    w.show();
    int abouts = 0;
    w.setOpenAbout([&] { ++abouts; });
    auto* about = find<QLabel>("Image3");
    const QImage normal = about->pixmap().toImage();
    QTest::mousePress(about, Qt::LeftButton);
    EXPECT_NE(about->pixmap().toImage(), normal);
    EXPECT_EQ(find<QLabel>("Image32")->pixmap().toImage(), normal);
    QTest::mouseRelease(about, Qt::LeftButton);
    EXPECT_EQ(about->pixmap().toImage(), normal);
    EXPECT_EQ(abouts, 1);
}

TEST_F(MainWindowTest, logoClick_switchesBetween100And50Milliseconds)
{
    MainWindow& w = window();
    w.show();
    auto* timer3 = w.findChild<QTimer*>("Timer3");
    EXPECT_EQ(timer3->interval(), 100);
    QTest::mouseClick(find("Picture1"), Qt::LeftButton);
    EXPECT_EQ(timer3->interval(), 50);
    QTest::mouseClick(find("Picture1"), Qt::LeftButton);
    EXPECT_EQ(timer3->interval(), 100);
    const QImage before = find<QLabel>("Picture1")->pixmap().toImage();
    w.tickTimer3();
    w.tickTimer3();
    EXPECT_NE(find<QLabel>("Picture1")->pixmap().toImage(), before);
}

TEST_F(MainWindowTest, gridStretch_doublesTheColumnsAndBack)
{
    MainWindow& w = window();
    auto* grid = find<QTableView>("Grid1");
    const int normal = w.layoutTwips().toPixelsX(600);
    QTest::mouseClick(find("Image15"), Qt::LeftButton);
    EXPECT_EQ(state.gridStretch, 1);
    EXPECT_NEAR(grid->columnWidth(1), 2 * w.layoutTwips().toPixelsX(600), 1);
    QTest::mouseClick(find("Image15"), Qt::LeftButton);
    EXPECT_EQ(state.gridStretch, 0);
    // Back to 600 twips, or to its caption's width when the font needs more.
    EXPECT_GE(grid->columnWidth(1), normal);
    EXPECT_LT(grid->columnWidth(1), 2 * normal);
    EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "No.");
    EXPECT_EQ(grid->model()->index(1, 1).data().toString(), state.store.fieldLabels[1]);
}

TEST_F(MainWindowTest, recordPages_showOnlyTheChosenPage)
{
    MainWindow& w = window();
    w.show();
    auto* tabs = find<QTabWidget>("SSTab1");
    EXPECT_TRUE(find("Text12")->isVisible());
    tabs->setCurrentIndex(1);
    EXPECT_TRUE(find("Text1")->isVisible());
    EXPECT_FALSE(find("Text12")->isVisible());
    tabs->setCurrentIndex(3);
    EXPECT_TRUE(find("SSPanel2")->isVisible());
    EXPECT_FALSE(find("Grid1")->isVisible());

    // Leaving the Edit page with an unstored recording marks it for deletion.
    state.store.recorderState = RecorderState::Recorded;
    state.store.currentSoundPath = QStringLiteral("/rec/07101530.WAV");
    tabs->setCurrentIndex(2);
    EXPECT_TRUE(find("Image1")->isVisible());
    EXPECT_EQ(state.store.newRecordings.paths, QStringList{"/rec/07101530.WAV"});
    EXPECT_EQ(state.store.recorderState, RecorderState::Untouched);

    state.store.editStyle = EditStyle::ProjectPlanning;
    tabs->setCurrentIndex(3);
    EXPECT_TRUE(find("Grid1")->isVisible());
    EXPECT_TRUE(find("Command4")->isVisible());
    EXPECT_FALSE(find("SSPanel2")->isVisible());
}

TEST_F(MainWindowTest, progress_stopsTheDateCheckAndEndsWithOK)
{
    MainWindow& w = window();
    w.show();
    auto* timer1 = w.findChild<QTimer*>("Timer1");
    ASSERT_TRUE(timer1->isActive());
    ProgressSink& p = w.progressSink();
    p.begin();
    EXPECT_FALSE(timer1->isActive());
    EXPECT_TRUE(find("ProgressBar1")->isVisible());
    // The bar shows a new value at most every 40 ms.
    test.clock.advanceMsecs(39);
    p.progress(20);
    EXPECT_EQ(find<QProgressBar>("ProgressBar1")->value(), 0);
    test.clock.advanceMsecs(1);
    p.progress(40);
    EXPECT_EQ(find<QProgressBar>("ProgressBar1")->value(), 40);
    p.end();
    EXPECT_TRUE(timer1->isActive());
    EXPECT_FALSE(find("ProgressBar1")->isVisible());
    EXPECT_EQ(hint(), "OK");
}

TEST_F(MainWindowTest, exit_remembersTheWindowPlace)
{
    MainWindow& w = window();
    int exits = 0;
    w.setOnExit([&] { ++exits; });
    w.move(100, 50);
    w.exitProgram(true);
    EXPECT_EQ(exits, 1);
    EXPECT_NEAR(state.settings.placement(PlacementRow::Main).left, 1500, 15);
    EXPECT_NEAR(state.settings.placement(PlacementRow::Main).top, 750, 15);
    w.exitProgram(false); // runs once
    EXPECT_EQ(exits, 1);
}

// --- Start-up order -----------------------------------------------------------------

class StartupTest : public ::testing::Test {
protected:
    TestPlatform test;
    ProgramState state;
};

TEST_F(StartupTest, mainProgram_comesUpAfterTheStartWindowsSecondTick)
{
    PlannerApp app(state, test.platform());
    app.start();
    ASSERT_NE(app.startWindow(), nullptr);
    EXPECT_TRUE(app.startWindow()->isVisible());
    EXPECT_FALSE(app.remindersWindow()->isVisible());
    EXPECT_FALSE(app.mainWindow()->isVisible());
    app.startWindow()->tick();
    EXPECT_FALSE(app.mainWindow()->isVisible());
    app.startWindow()->tick();
    EXPECT_TRUE(app.mainWindow()->isVisible());
}

TEST_F(StartupTest, reminders_comeFirstAndRunPlannerLeadsThroughTheStartWindow)
{
    state.settings.startupShow = QStringLiteral("yearmonth");
    PlannerRecord r;
    r[Field::Name] = QStringLiteral("Smith");
    state.store.replaceAll({r});
    PlannerApp app(state, test.platform());
    app.start();
    EXPECT_TRUE(app.remindersWindow()->isVisible());
    EXPECT_FALSE(app.mainWindow()->isVisible());
    EXPECT_EQ(app.startWindow(), nullptr);
    EXPECT_TRUE(app.mainWindow()->menuAction("Currentyearmonth")->isChecked());

    QTest::mouseClick(app.remindersWindow()->findChild<QPushButton*>("Command2"), Qt::LeftButton);
    EXPECT_FALSE(app.remindersWindow()->isVisible());
    ASSERT_NE(app.startWindow(), nullptr);
    app.startWindow()->tick();
    app.startWindow()->tick();
    EXPECT_TRUE(app.mainWindow()->isVisible());
    EXPECT_EQ(app.mainWindow()->findChild<QListView*>("Viewlist")->model()->rowCount(), 1);
}

TEST_F(StartupTest, unknownStartupChoice_showsOnlyTheReminders)
{
    state.settings.startupShow.clear();
    PlannerApp app(state, test.platform());
    app.start();
    EXPECT_TRUE(app.remindersWindow()->isVisible());
    EXPECT_FALSE(app.mainWindow()->isVisible());
}

} // namespace
} // namespace zp
