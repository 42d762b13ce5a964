#include "app/windows/MainWindow.h"

#include "app/ProgramVersion.h"
#include "app/SettingsFile.h"
#include "app/SystemInfo.h"
#include "app/windows/CalendarCommands.h"
#include "app/windows/MainStatusBar.h"
#include "app/windows/RecentPlansMenu.h"
#include "app/windows/RecordsListView.h"
#include "plan/DateStyle.h"
#include "plan/DateText.h"
#include "plan/PlanFile.h"
#include "plan/Recovery.h"
#include "accessories/Recorder.h"
#include "views/EntryGridModel.h"
#include "views/RecordsList.h"
#include "views/RecordsListModel.h"
#include "views/windows/PrintCommands.h"
#include "ui/Artwork.h"
#include "ui/Hints.h"
#include "ui/ImageButton.h"
#include "ui/KeyboardAccess.h"
#include "ui/WindowGeometry.h"
#include "ui/QtPlatform.h"
#include "ui/TextFit.h"

#include <QAction>
#include <QHeaderView>
#include <QStyle>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QGuiApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QWindowStateChangeEvent>
#include <algorithm>
#include <cmath>

namespace zp {

namespace {

struct ToolbarButton {
    const char* name;
    const char* pressedName;
    const char* hint;
};

// In the order they sit on the toolbar.
const ToolbarButton kToolbar[] = {
    {"imgFileNewButton", "Image17", "Create new Planner file"},
    {"imgFileOpenButton", "Image18", "Open existing Planner file"},
    {"Image12", "Image19", "Save Planner file"},
    {"Image11", "Image20", "Print current Planner file"},
    {"Image7", "Image21", "Show ledger - summary of expenses and credits"},
    {"Image8", "Image22", "Start loan simulator"},
    {"Image10", "Image23", "Show summary of phone numbers"},
    {"Image9", "Image24", "Open note book"},
    {"Image4", "Image25", "Start calculator"},
    {"Image13", "Image26", "Show world times"},
    {"Image2", "Image27", "Highlight keyword entries in Planner list window"},
    {"Image15", "Image28", "Stretch/Shrink the project edit grid"},
    {"Image3", "Image29", "About Zorvik Planner"},
    {"Image6", "Image30", "Show on-line help file"},
    {"Image14", "Image31", "Iconise Planner window"},
};

// Toolbar button size, twips.
constexpr int kButtonTwips = 390;

// Where the controls sit when the window is first built, in twips, for a
// window of the size the layout rule first takes over at. Below that size
// the window keeps this arrangement.
ControlGeometry designGeometry()
{
    ControlGeometry g;
    g[QStringLiteral("picToolbar")] = {0, 0, 5384, 420};
    g[QStringLiteral("Panel3D3")] = {60, 440, 5300, 240};
    g[QStringLiteral("ProgressBar1")] = {0, 0, 5300, 240};
    g[QStringLiteral("Picture1")] = {5400, 0, 864, 690};
    g[QStringLiteral("Slider1")] = {0, 690, 6384, 200};
    g[QStringLiteral("SSTab2")] = {50, 900, 2560, 4845};
    g[QStringLiteral("Viewlist")] = {80, 400, 2380, 4345};
    g[QStringLiteral("SSTab1")] = {2660, 900, 3524, 4845};
    for (const char* n : {"Text1", "Image1", "SSPanel2"})
        g[QString::fromLatin1(n)] = {80, 400, 3344, 4345};
    g[QStringLiteral("Grid1")] = {80, 800, 3344, 3945};
    g[QStringLiteral("Text4")] = {2080, 500, 1324, 285};
    g[QStringLiteral("Command4")] = {80, 500, 950, 285};
    g[QStringLiteral("Command5")] = {1080, 500, 950, 285};
    g[QStringLiteral("StatusBar1")] = {0, 5745, 5504, 300};
    // Entry panel, relative to the panel.
    g[QStringLiteral("VScroll1")] = {50, 50, 255, 4245};
    // A date and a time of the display font fit their boxes.
    g[QStringLiteral("Label7")] = {355, 80, 1400, 210};
    g[QStringLiteral("Text2")] = {355, 290, 1400, 300};
    g[QStringLiteral("Label5")] = {1805, 80, 1100, 210};
    g[QStringLiteral("Text3")] = {1805, 290, 1100, 300};
    g[QStringLiteral("Label2")] = {2955, 80, 1400, 210};
    g[QStringLiteral("Text11")] = {2955, 290, 369, 300};
    g[QStringLiteral("Label4")] = {355, 640, 2900, 210};
    g[QStringLiteral("Text5")] = {355, 850, 2869, 300};
    g[QStringLiteral("Label3")] = {355, 1200, 1400, 210};
    g[QStringLiteral("Text6")] = {355, 1410, 1400, 300};
    g[QStringLiteral("Label12")] = {1805, 1200, 1400, 210};
    g[QStringLiteral("Text7")] = {1805, 1410, 1469, 300};
    g[QStringLiteral("Label8")] = {355, 1760, 1400, 210};
    g[QStringLiteral("Text8")] = {355, 1970, 1400, 300};
    g[QStringLiteral("Label9")] = {1805, 1760, 1400, 210};
    g[QStringLiteral("Text9")] = {1805, 1970, 1469, 300};
    g[QStringLiteral("Check1")] = {355, 2420, 900, 300};
    g[QStringLiteral("SSPanel1")] = {1324, 2360, 1900, 420};
    g[QStringLiteral("SSCommand2")] = {60, 60, 860, 300};
    g[QStringLiteral("SSCommand1")] = {980, 60, 860, 300};
    g[QStringLiteral("Label6")] = {355, 2880, 1400, 210};
    g[QStringLiteral("Text10")] = {355, 3090, 2869, 545};
    g[QStringLiteral("Command1")] = {355, 3945, 800, 350};
    g[QStringLiteral("Command2")] = {1175, 3945, 800, 350};
    g[QStringLiteral("Command6")] = {1995, 3945, 800, 350};
    g[QStringLiteral("Command3")] = {2815, 3945, 800, 350};
    return g;
}

} // namespace

// Shows long work in the hint panel and keeps the date check off meanwhile.
// Shows long work on the progress bar and keeps the date check off
// meanwhile. The re-sort also reports in the hint panel; plan reading and
// writing leave the hint alone.
class MainWindow::Progress : public ProgressSink {
public:
    Progress(MainWindow& w, bool reportInHintPanel) : w_(w), reportInHintPanel_(reportInHintPanel) {}
    void begin() override
    {
        wasRunning_ = w_.timer1_->isActive();
        w_.timer1_->stop();
        w_.progressBar1_->setValue(0);
        w_.progressBar1_->show();
        if (reportInHintPanel_)
            w_.hints_->show(QString());
        sinceRepaint_.start();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void progress(int value) override
    {
        // The bar paints at once on every new value; at one step per record
        // that would cost more than the work itself.
        if (sinceRepaint_.elapsed() >= 40) {
            w_.progressBar1_->setValue(value);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sinceRepaint_.restart();
        }
    }
    void end() override
    {
        w_.progressBar1_->hide();
        if (reportInHintPanel_)
            w_.hints_->show(QStringLiteral("OK"));
        if (wasRunning_)
            w_.timer1_->start();
    }

private:
    MainWindow& w_;
    bool reportInHintPanel_;
    bool wasRunning_ = false;
    QElapsedTimer sinceRepaint_;
};

// The main window's side of printing: the date check stops and the
// progress bar runs while a print is made; the window keeps painting.
class MainWindow::PrintProgress : public PrintFeedback {
public:
    explicit PrintProgress(MainWindow& w) : w_(w) {}
    void suspend() override
    {
        if (suspended_)
            return;
        suspended_ = true;
        wasRunning_ = w_.timer1_->isActive();
        w_.timer1_->stop();
        w_.progressBar1_->setValue(0);
        w_.progressBar1_->show();
        w_.hints_->show(QString());
        sinceRepaint_.start();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void progress(int value) override
    {
        if (!suspended_ || sinceRepaint_.elapsed() < 40)
            return;
        w_.progressBar1_->setValue(std::clamp(value, 0, 100));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sinceRepaint_.restart();
    }
    void restore() override
    {
        if (!suspended_)
            return;
        suspended_ = false;
        w_.progressBar1_->hide();
        if (wasRunning_)
            w_.timer1_->start();
    }
    void showHint(const QString& text) override { w_.hints_->show(text); }

private:
    MainWindow& w_;
    bool suspended_ = false;
    bool wasRunning_ = false;
    QElapsedTimer sinceRepaint_;
};

MainWindow::MainWindow(ProgramState& state, const Platform& platform, QWidget* parent)
    : QMainWindow(parent), state_(state), platform_(platform), twips_(platform.screen), layoutTwips_(twips_)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(startUpWindowTitle(QString()));
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("Form1Client"));
    setCentralWidget(client_);

    createMenus();
    createToolbar();
    createPanels();
    createRecordPages();
    createTimers();
    attachHints();
    placeDesignLayout();
    progress_ = std::make_unique<Progress>(*this, true);
    fileProgress_ = std::make_unique<Progress>(*this, false);
    files_ = std::make_unique<FileCommands>(state_.store, platform_.messages, platform_.fileDialogs, platform_.dateOrder,
                                            static_cast<FileCommandsView&>(*this));
    connectFileCommands();
    connectEditPage();
    connectPrinting();
    connectCalendarCommands();
    createKeyboardCommands();
    setMinimumSize(twips_.toPixelsX(3000), twips_.toPixelsY(2500));
}

MainWindow::~MainWindow() = default;

void MainWindow::connectPrinting()
{
    printProgress_ = std::make_unique<PrintProgress>(*this);
    printCommands_ = std::make_unique<PrintCommands>(state_, platform_, *printProgress_);
    connect(menuAction(QStringLiteral("standard")), &QAction::triggered, this,
            [this] { printCommands_->openStandardStyle(); });
    connect(menuAction(QStringLiteral("projectstyle")), &QAction::triggered, this,
            [this] { printCommands_->openProjectStyle([this] { switchToProjectStyle(); }); });
    connect(menuAction(QStringLiteral("timeline")), &QAction::triggered, this, [this] { printCommands_->printTimeLine(); });
    connect(menuAction(QStringLiteral("timelinepreview")), &QAction::triggered, this,
            [this] { printCommands_->previewTimeLine(); });
}

void MainWindow::connectCalendarCommands()
{
    // The date check may convert the plan's dates: not while a calendar
    // is read against the plan on another thread.
    auto importRunning = [this, wasRunning = false](bool running) mutable {
        if (running) {
            wasRunning = timer1_->isActive();
            timer1_->stop();
        } else if (wasRunning && !exiting_) {
            timer1_->start();
        }
    };
    calendar_ = std::make_unique<CalendarCommands>(
        state_, platform_, [this] { refreshAfterPlanChange(); }, [this](const QString& text) { hints_->show(text); },
        importRunning);
    connect(menuAction(QStringLiteral("Exportcalendar")), &QAction::triggered, this,
            [this] { calendar_->exportCalendar(); });
    connect(menuAction(QStringLiteral("Importcalendar")), &QAction::triggered, this,
            [this] { calendar_->importCalendar(); });
}

QWidget* MainWindow::control(const QString& name) const
{
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

QAction* MainWindow::menuAction(const QString& name) const
{
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::setMenuTick(const QString& name, bool ticked)
{
    if (QAction* a = menuAction(name))
        a->setChecked(ticked);
}

bool MainWindow::menuTick(const QString& name) const
{
    QAction* a = menuAction(name);
    return a && a->isChecked();
}

void MainWindow::createMenus()
{
    struct Item {
        const char* caption;
        const char* shortcut;
        const char* name;
        int index;
        bool checkable;
    };
    auto addItems = [this](QMenu* menu, std::initializer_list<Item> items) {
        for (const Item& it : items) {
            auto* action = menu->addAction(QString::fromUtf8(it.caption));
            action->setObjectName(QString::fromLatin1(it.name));
            if (it.shortcut && *it.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(it.shortcut)));
            action->setCheckable(it.checkable);
            if (it.index >= 0)
                action->setProperty("menuIndex", it.index);
            actions_[action->objectName()] = action;
        }
    };
    auto addMenu = [this](QMenu* parent, const char* caption, const char* name, int index = -1) {
        QMenu* m = parent ? parent->addMenu(QString::fromUtf8(caption)) : menuBar()->addMenu(QString::fromUtf8(caption));
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        if (index >= 0)
            m->menuAction()->setProperty("menuIndex", index);
        actions_[m->objectName()] = m->menuAction();
        return m;
    };

    QMenu* file = addMenu(nullptr, "&File", "Filemenu");
    addItems(file, {{"&New", "", "Newplan", -1, false},
                    {"&Open", "Ctrl+O", "Loadplan", -1, false},
                    {"&Save", "Ctrl+S", "Saveplan", -1, false},
                    {"Save &as", "Ctrl+A", "Saveplanas", -1, false},
                    {"&Delete", "Ctrl+D", "delete", -1, false}});
    QMenu* print = addMenu(file, "&Print", "Print");
    addItems(print, {{"&Standard style", "Ctrl+T", "standard", -1, false},
                     {"&Project style", "Ctrl+P", "projectstyle", -1, false},
                     {"&Time line", "Ctrl+I", "timeline", -1, false},
                     {"Time line pre&view", "", "timelinepreview", -1, false}});
    QMenu* import = addMenu(file, "&Import", "Import");
    addItems(import, {{"&Calendar (iCalendar)...", "", "Importcalendar", -1, false}});
    QMenu* exportMenu = addMenu(file, "&Export", "Export");
    addItems(exportMenu, {{"&Calendar (iCalendar)...", "", "Exportcalendar", -1, false}});
    addItems(file, {{"&About...", "", "About", -1, false}, {"E&xit...", "Ctrl+X", "Exit", -1, false}});

    QMenu* edit = addMenu(nullptr, "&Edit", "Editmenu");
    addItems(edit, {{"&Edit records", "Ctrl+E", "Editrecords", -1, false},
                    {"&Copy selected", "Ctrl+C", "copytoclipboard", -1, false},
                    {"Copy &all", "", "copyall", -1, false}});

    QMenu* display = addMenu(nullptr, "&Display", "sort", 30);
    addItems(display, {{"By da&y", "", "Dayy", 34, true},
                       {"By &date", "", "Datte", 31, true},
                       {"By &name", "", "Namme", 32, true},
                       {"By &task", "", "Taskk", 33, true}});

    QMenu* tools = addMenu(nullptr, "&Tools", "Tools");
    QMenu* ledger = addMenu(tools, "&Ledger", "Ledger");
    addItems(ledger, {{"Show", "", "Showbydate", 148, false}, {"Plot.....", "", "PlotLedger", 49, false}});
    addItems(tools, {{"L&oan simulator", "Ctrl+N", "Loansimulator", -1, false},
                     {"Phone &book", "Ctrl+B", "Phonebook", -1, false},
                     {"&Notes...", "", "Notes", -1, false},
                     {"&Calculator", "Ctrl+L", "Calculator", -1, false},
                     {"&World times", "", "Worldtimes", -1, false}});

    QMenu* options = addMenu(nullptr, "&Options", "Options", 50);
    QMenu* editStyle = addMenu(options, "&Edit style", "Editstyle");
    addItems(editStyle, {{"&Home and office", "Ctrl+H", "homeandoffice", 88, true},
                         {"Pro&ject planning", "Ctrl+J", "projectplanning", 89, true}});
    QMenu* labels = addMenu(options, "Edit &labels", "Editlabels");
    addItems(labels, {{"&Set to default", "Ctrl+Y", "Settodefault", -1, false}});
    QMenu* startup = addMenu(options, "&Startup show", "Startupshow", 55);
    addItems(startup, {{"&This weeks reminders ", "", "Currentyearmonth", 56, true},
                       {"&Main Program", "", "Allrecords", 57, true}});
    QMenu* dateStyle = addMenu(options, "&Date style", "Datestyle");
    addItems(dateStyle, {{"month/day/year", "", "American", 52, true}, {"day/month/year", "", "EnglishEuro", 53, true}});
    addItems(options, {{"&Fonts", "", "Fonttype", 0, false},
                       {"&Sound on", "", "soundon", 81, true},
                       {"&Keep backups", "", "Keepbackups", 59, true},
                       {"&Save settings on exit", "", "Saveonexit", 51, true}});

    QMenu* help = addMenu(nullptr, "&Help", "Helpmenu");
    addItems(help, {{"&Contents", "", "Contents", -1, false}, {"&Using help...", "", "usinghelp", -1, false}});

    // The empty top-level item the menu bar has always carried.
    QAction* time = menuBar()->addAction(QString());
    time->setObjectName(QStringLiteral("time"));
    time->setProperty("menuIndex", 99);
    time->setEnabled(false);
    actions_[time->objectName()] = time;

    // Toggles keep the tick and the setting together; the date style
    // items only explain where the style is set, the tick follows the system.
    connect(menuAction(QStringLiteral("soundon")), &QAction::triggered, this,
            [this](bool on) { state_.settings.soundOn = on ? 1 : 0; });
    connect(menuAction(QStringLiteral("Keepbackups")), &QAction::triggered, this,
            [this](bool on) { state_.store.keepBackups = on ? QStringLiteral("1") : QStringLiteral("0"); });
    connect(menuAction(QStringLiteral("Saveonexit")), &QAction::triggered, this,
            [this](bool on) { state_.settings.saveSettingsOnExit = on ? QStringLiteral("1") : QStringLiteral("0"); });
    connect(menuAction(QStringLiteral("Currentyearmonth")), &QAction::triggered, this, [this] {
        setMenuTick(QStringLiteral("Currentyearmonth"), true);
        setMenuTick(QStringLiteral("Allrecords"), false);
        state_.settings.startupShow = QStringLiteral("yearmonth");
    });
    connect(menuAction(QStringLiteral("Allrecords")), &QAction::triggered, this, [this] {
        setMenuTick(QStringLiteral("Currentyearmonth"), false);
        setMenuTick(QStringLiteral("Allrecords"), true);
        state_.settings.startupShow = QStringLiteral("all");
    });
    for (const char* name : {"American", "EnglishEuro"}) {
        QAction* a = menuAction(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, a](bool) {
            // A click must not move the tick: undo Qt's toggle first.
            a->setChecked(!a->isChecked());
            platform_.messages.msgBox(QStringLiteral("The date style can be changed using the Windows control panel."),
                                      MsgStyle::Exclamation, QStringLiteral("Planner Date Style"));
        });
    }
    for (const DisplayModeItem& item : displayModeItems()) {
        const QString word = item.word;
        connect(menuAction(QString::fromLatin1(item.control)), &QAction::triggered, this,
                [this, word] { setDisplayMode(word); });
    }
    connect(menuAction(QStringLiteral("Fonttype")), &QAction::triggered, this, &MainWindow::chooseFont);
    connect(menuAction(QStringLiteral("About")), &QAction::triggered, this, [this] {
        if (openAbout_)
            openAbout_();
    });
    connect(menuAction(QStringLiteral("Exit")), &QAction::triggered, this, [this] { exitProgram(true); });
}

void MainWindow::connectFileCommands()
{
    connect(menuAction(QStringLiteral("Newplan")), &QAction::triggered, this, [this] { files_->newPlan(); });
    connect(menuAction(QStringLiteral("Loadplan")), &QAction::triggered, this, [this] { files_->openPlan(); });
    connect(menuAction(QStringLiteral("Saveplan")), &QAction::triggered, this, [this] { files_->savePlan(); });
    connect(menuAction(QStringLiteral("Saveplanas")), &QAction::triggered, this, [this] { files_->savePlanAs(); });
    connect(menuAction(QStringLiteral("delete")), &QAction::triggered, this, [this] { files_->deletePlan(); });
    recentPlans_ = new RecentPlansMenu(
        state_, platform_.messages, platform_.clock, [this](const QString& path) { files_->openPlanNamed(path); },
        *menuAction(QStringLiteral("Filemenu"))->menu(), menuAction(QStringLiteral("Saveplan")));
}

void MainWindow::planFileUsed(const QString& path)
{
    recentPlans_->noteUsed(path);
}

void MainWindow::createToolbar()
{
    picToolbar_ = new QWidget(client_);
    picToolbar_->setObjectName(QStringLiteral("picToolbar"));
    controls_[picToolbar_->objectName()] = picToolbar_;
    image32_ = new QLabel(client_);
    image32_->setObjectName(QStringLiteral("Image32"));
    image32_->hide();

    const int size = twips_.toPixelsX(kButtonTwips);
    int x = 0;
    for (const ToolbarButton& b : kToolbar) {
        QPixmap normal = toolbarPicture(QString::fromLatin1(b.name));
        const int icon = size - 4;
        if (!normal.isNull())
            normal = normal.scaled(icon, icon, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QPixmap pressed = pressedLook(normal);
        auto* button = new ImageButton(QString::fromLatin1(b.name), normal, pressed, picToolbar_);
        button->setToolTip(QString::fromLatin1(b.hint));
        // A picture alone says nothing to a screen reader: it reads the hint.
        button->setAccessibleName(QString::fromLatin1(b.hint));
        button->setGeometry(x, 0, size, size);
        x += size;
        // The pressed-look picture, kept hidden as the toolbar has always done.
        auto* pressedImage = new QLabel(client_);
        pressedImage->setObjectName(QString::fromLatin1(b.pressedName));
        pressedImage->setPixmap(button->pressedPicture());
        pressedImage->hide();
        connect(button, &ImageButton::pressed, this, [this, button] { image32_->setPixmap(button->normalPicture()); });
        controls_[button->objectName()] = button;
    }
    auto button = [this](const char* name) { return static_cast<ImageButton*>(control(QString::fromLatin1(name))); };
    auto trigger = [this](const char* action) { menuAction(QString::fromLatin1(action))->trigger(); };
    connect(button("imgFileNewButton"), &ImageButton::clicked, this, [trigger] { trigger("Newplan"); });
    connect(button("imgFileOpenButton"), &ImageButton::clicked, this, [this] { files_->openPlanFromToolbar(); });
    connect(button("Image12"), &ImageButton::clicked, this, [this] { files_->saveFromToolbar(); });
    connect(button("Image11"), &ImageButton::pressed, this, [trigger] { trigger("standard"); });
    connect(button("Image7"), &ImageButton::clicked, this, [trigger] { trigger("Showbydate"); });
    connect(button("Image8"), &ImageButton::clicked, this, [trigger] { trigger("Loansimulator"); });
    connect(button("Image10"), &ImageButton::clicked, this, [trigger] { trigger("Phonebook"); });
    connect(button("Image9"), &ImageButton::clicked, this, [trigger] { trigger("Notes"); });
    connect(button("Image4"), &ImageButton::clicked, this, [trigger] { trigger("Calculator"); });
    connect(button("Image13"), &ImageButton::clicked, this, [trigger] { trigger("Worldtimes"); });
    connect(button("Image15"), &ImageButton::clicked, this, &MainWindow::toggleGridStretch);
    connect(button("Image3"), &ImageButton::clicked, this, [trigger] { trigger("About"); });
    connect(button("Image6"), &ImageButton::pressed, this, [trigger] { trigger("Contents"); });
    connect(button("Image14"), &ImageButton::clicked, this, &QWidget::showMinimized);
}

// Commands the toolbar pictures and the slider give the mouse only, on keys
// of their own; none of them is on a menu, so the menus stay as they are.
void MainWindow::createKeyboardCommands()
{
    struct Key {
        const char* name;
        const char* keys;
        std::function<void()> run;
    };
    auto clickPicture = [this](const char* name) {
        return [this, name] { static_cast<ImageButton*>(control(QString::fromLatin1(name)))->click(); };
    };
    auto moveSlider = [this](int by) { return [this, by] { slider1_->setValue(slider1_->value() + by); }; };
    const Key keys[] = {
        {"keywordKey", "Ctrl+K", clickPicture("Image2")},
        {"stretchKey", "Ctrl+G", clickPicture("Image15")},
        {"narrowListKey", "Ctrl+[", moveSlider(-5)},
        {"widenListKey", "Ctrl+]", moveSlider(5)},
        {"recordsListKey", "F6", [this] { focusRecordsList(Qt::ShortcutFocusReason); }},
    };
    for (const Key& k : keys) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(k.name));
        action->setShortcut(QKeySequence(QString::fromLatin1(k.keys)));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, k.run);
        addAction(action);
    }
    addContextMenuKey(*this);
}

void MainWindow::focusRecordsList(Qt::FocusReason reason)
{
    const int line = state_.store.currentRecord - 1;
    if (line >= 0 && line < listModel_->rowCount())
        viewlist_->showCurrentLine(line);
    // The focus frame is drawn only after a keyboard focus change; the
    // list is where the keyboard is meant to be, so it shows.
    setAttribute(Qt::WA_KeyboardFocusChange);
    viewlist_->setFocus(reason);
}

void MainWindow::createPanels()
{
    panel3D3_ = new QLabel(QStringLiteral("Zorvik Planner Version %1").arg(programVersionName()), client_);
    panel3D3_->setObjectName(QStringLiteral("Panel3D3"));
    panel3D3_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel3D3_->setTextFormat(Qt::PlainText);
    panel3D3_->setIndent(4);
    controls_[panel3D3_->objectName()] = panel3D3_;
    hints_ = new HintRouter(panel3D3_, this);

    progressBar1_ = new QProgressBar(panel3D3_);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setRange(0, 100);
    progressBar1_->setTextVisible(false);
    progressBar1_->hide();
    controls_[progressBar1_->objectName()] = progressBar1_;

    picture2_ = new QLabel(client_);
    picture2_->setObjectName(QStringLiteral("Picture2"));
    picture2_->setPixmap(logoPicture());
    picture2_->hide();
    picture1_ = new QLabel(client_);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture1_->setCursor(Qt::PointingHandCursor);
    picture1_->installEventFilter(this);
    picture1_->setAccessibleName(QStringLiteral("Planner moving logo"));
    controls_[picture1_->objectName()] = picture1_;

    slider1_ = new QSlider(Qt::Horizontal, client_);
    slider1_->setObjectName(QStringLiteral("Slider1"));
    slider1_->setRange(0, 100);
    slider1_->setValue(42);
    // Reached with Tab and moved with the arrows, or from anywhere in the
    // window with Ctrl+[ and Ctrl+] (createKeyboardCommands). A click keeps
    // the focus where it was, so a date box being typed in is not left.
    slider1_->setFocusPolicy(Qt::TabFocus);
    slider1_->setSingleStep(5);
    slider1_->setPageStep(10);
    slider1_->setAccessibleName(QStringLiteral("Records list width"));
    slider1_->setAccessibleDescription(QStringLiteral("Use this slider bar to resize the records list display"));
    controls_[slider1_->objectName()] = slider1_;
    connect(slider1_, &QSlider::valueChanged, this, &MainWindow::onSliderChanged);

    statusBar_ = new MainStatusBar(
        platform_.clock,
        [this](const QDateTime& now) {
            return now.date().toString(state_.store.systemDateStyle == kAmerican ? QStringLiteral("MM/dd/yyyy")
                                                                                 : QStringLiteral("dd/MM/yyyy"));
        },
        client_);
    controls_[statusBar_->objectName()] = statusBar_;

    for (const char* name : {"TempList", "Templist2"}) {
        auto* list = new QListWidget(client_);
        list->setObjectName(QString::fromLatin1(name));
        list->setSortingEnabled(true);
        list->hide();
    }
}

void MainWindow::createRecordPages()
{
    ssTab2_ = new QTabWidget(client_);
    ssTab2_->setObjectName(QStringLiteral("SSTab2"));
    ssTab2_->setAccessibleName(QStringLiteral("Records"));
    ssTab2_->addTab(new QWidget, QStringLiteral("List"));
    controls_[ssTab2_->objectName()] = ssTab2_;
    // One line per record, in store order; at the largest plans the view
    // must not measure every line, so all lines share one height.
    listModel_ = new RecordsListModel(this);
    viewlist_ = new RecordsListView(ssTab2_);
    viewlist_->setObjectName(QStringLiteral("Viewlist"));
    viewlist_->setModel(listModel_);
    viewlist_->setUniformItemSizes(true);
    viewlist_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    viewlist_->setAccessibleName(QStringLiteral("Records list"));
    controls_[viewlist_->objectName()] = viewlist_;
    connect(viewlist_, &QListView::clicked, this, [this](const QModelIndex& index) { selectListLine(index.row()); });
    viewlist_->setLineChosenByKey([this](int line) { selectListLine(line); });
    connect(viewlist_, &QListView::doubleClicked, this, [this](const QModelIndex& index) { editListLine(index.row()); });

    ssTab1_ = new QTabWidget(client_);
    ssTab1_->setObjectName(QStringLiteral("SSTab1"));
    ssTab1_->setAccessibleName(QStringLiteral("Planner info, record details, image view and edit records"));
    for (const char* page : {"Info", "Details", "Image", "Edit"})
        ssTab1_->addTab(new QWidget, QString::fromLatin1(page));
    controls_[ssTab1_->objectName()] = ssTab1_;

    text12_ = new QPlainTextEdit(ssTab1_);
    text12_->setObjectName(QStringLiteral("Text12"));
    text12_->setReadOnly(true);
    text12_->setAccessibleName(QStringLiteral("Planner information"));
    text1_ = new QPlainTextEdit(ssTab1_);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setReadOnly(true);
    text1_->setAccessibleName(QStringLiteral("Record details"));
    image1_ = new QLabel(ssTab1_);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setAlignment(Qt::AlignCenter);
    image1_->setAccessibleName(QStringLiteral("Record picture"));
    image1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ssPanel2_ = new QFrame(ssTab1_);
    ssPanel2_->setObjectName(QStringLiteral("SSPanel2"));
    ssPanel2_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    createEntryGrid();
    text4_ = new QLineEdit(ssTab1_);
    text4_->setObjectName(QStringLiteral("Text4"));
    text4_->setAccessibleName(QStringLiteral("Record entry box"));
    auto* insRow = new QPushButton(QStringLiteral("&Ins row"), ssTab1_);
    insRow->setObjectName(QStringLiteral("Command4"));
    auto* delRow = new QPushButton(QStringLiteral("Del ro&w"), ssTab1_);
    delRow->setObjectName(QStringLiteral("Command5"));
    for (QWidget* w : std::initializer_list<QWidget*>{text12_, text1_, image1_, ssPanel2_, grid1_, text4_, insRow, delRow})
        controls_[w->objectName()] = w;
    createEntryPanel(ssPanel2_);

    connect(ssTab1_, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = currentPage_;
        currentPage_ = index;
        showRecordPage(previous);
    });
}

void MainWindow::createEntryPanel(QWidget* panel)
{
    auto label = [this, panel](const char* name, const char* caption) {
        auto* l = new QLabel(QString::fromUtf8(caption), panel);
        l->setObjectName(QString::fromLatin1(name));
        controls_[l->objectName()] = l;
    };
    auto field = [this, panel](const char* name, int maxLength) {
        auto* t = new QLineEdit(panel);
        t->setObjectName(QString::fromLatin1(name));
        t->setMaxLength(maxLength);
        controls_[t->objectName()] = t;
    };
    auto button = [this](QWidget* parent, const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), parent);
        b->setObjectName(QString::fromLatin1(name));
        controls_[b->objectName()] = b;
    };
    auto* scroll = new QScrollBar(Qt::Vertical, panel);
    scroll->setObjectName(QStringLiteral("VScroll1"));
    scroll->setRange(1, 1);
    scroll->setAccessibleName(QStringLiteral("Record"));
    controls_[scroll->objectName()] = scroll;

    label("Label7", "Start Date");
    field("Text2", 10);
    label("Label5", "Time");
    field("Text3", 10);
    label("Label2", "Finish Date");
    field("Text11", 10);
    label("Label4", "Name, company or job");
    field("Text5", 200);
    label("Label3", "Phone AH");
    field("Text6", 100);
    label("Label12", "Phone BH");
    field("Text7", 100);
    label("Label8", "Income $");
    field("Text8", 100);
    label("Label9", "Expense $");
    field("Text9", 100);
    label("Label6", "Message");
    field("Text10", 255);
    // The message box is one line of text but tall: the text starts at the top.
    static_cast<QLineEdit*>(control(QStringLiteral("Text10")))->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* done = new QCheckBox(QStringLiteral("Done"), panel);
    done->setObjectName(QStringLiteral("Check1"));
    controls_[done->objectName()] = done;
    auto* attachments = new QFrame(panel);
    attachments->setObjectName(QStringLiteral("SSPanel1"));
    attachments->setFrameStyle(QFrame::Panel | QFrame::Raised);
    controls_[attachments->objectName()] = attachments;
    button(attachments, "SSCommand2", "Image");
    button(attachments, "SSCommand1", "Speak");
    button(panel, "Command1", "&New");
    button(panel, "Command2", "&Add");
    button(panel, "Command6", "&Change");
    button(panel, "Command3", "&Remove");
}

void MainWindow::createTimers()
{
    auto make = [this](const char* name, int interval) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        return t;
    };
    timer1_ = make("Timer1", 1000);
    timer2_ = make("Timer2", 60000);
    timer3_ = make("Timer3", 100);
    // While the plan has unsaved changes a copy of it is kept every two
    // minutes, so a crash or a power cut loses little.
    recoveryTimer_ = make("RecoveryTimer", 120000);
    connect(recoveryTimer_, &QTimer::timeout, this, &MainWindow::keepRecoveryCopy);
    connect(timer1_, &QTimer::timeout, this, &MainWindow::tickTimer1);
    connect(timer2_, &QTimer::timeout, this, &MainWindow::tickTimer2);
    connect(timer3_, &QTimer::timeout, this, &MainWindow::tickTimer3);
}

void MainWindow::attachHints()
{
    for (const ToolbarButton& b : kToolbar)
        hints_->attach(control(QString::fromLatin1(b.name)), QString::fromLatin1(b.hint));
    hints_->attach(panel3D3_, QStringLiteral("Information window"));
    hints_->attach(viewlist_, QStringLiteral("Planner list or records window"));
    hints_->attach(viewlist_->viewport(), QStringLiteral("Planner list or records window"));
    hints_->attach(picture1_, QStringLiteral("Planner moving logo"));
    hints_->attach(slider1_, QStringLiteral("Use this slider bar to resize the records list display"));
    const QString recordTabsHint = QStringLiteral("Planner info, record details, image view and edit records");
    hints_->attach(ssTab1_, recordTabsHint);
    hints_->attach(ssTab1_->tabBar(), recordTabsHint); // the tab headers are a control of their own
    hints_->attach(ssPanel2_, QStringLiteral("Planner records entry window"));
    // A control that does not follow the mouse swallows the moves over it;
    // the panel's captions pass them on to the panel.
    for (QLabel* caption : ssPanel2_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        caption->setMouseTracking(true);
    hints_->attach(statusBar_, [](int x, int width) { return statusBarHint(x, width); });
}

void MainWindow::placeDesignLayout()
{
    applyGeometry(designGeometry());
    // Only the Info page shows at first.
    for (QWidget* w : std::initializer_list<QWidget*>{text1_, image1_, ssPanel2_, grid1_, text4_, control(QStringLiteral("Command4")),
                                                      control(QStringLiteral("Command5"))})
        w->hide();
    resize(layoutTwips_.toPixelsX(6384), layoutTwips_.toPixelsY(6795));
}

ControlGeometry MainWindow::currentGeometry() const
{
    ControlGeometry g;
    for (const auto& [name, w] : controls_) {
        const QRect r = w->geometry();
        g[name] = {layoutTwips_.toTwipsX(r.x()), layoutTwips_.toTwipsY(r.y()), layoutTwips_.toTwipsX(r.width()), layoutTwips_.toTwipsY(r.height())};
    }
    return g;
}

void MainWindow::applyGeometry(const ControlGeometry& geometry)
{
    for (const auto& [name, rect] : geometry) {
        QWidget* w = control(name);
        if (!w)
            continue;
        const QRect px(layoutTwips_.toPixelsX(rect.left), layoutTwips_.toPixelsY(rect.top), layoutTwips_.toPixelsX(rect.width),
                       layoutTwips_.toPixelsY(rect.height));
        if (w->geometry() != px)
            w->setGeometry(px);
    }
    // Contents of the tab controls sit above their pages.
    // The entry panel lies over the grid's edit box and row buttons, which
    // therefore only show in the grid face of the Edit page.
    for (QWidget* w : std::initializer_list<QWidget*>{viewlist_, text1_, text12_, image1_, text4_, control(QStringLiteral("Command4")),
                                                      control(QStringLiteral("Command5")), grid1_, ssPanel2_})
        w->raise();
    picture1_->raise();
}

QRect MainWindow::twipsGeometry() const
{
    const WindowPlacement p = placementOf(*this, twips_);
    return {int(p.left), int(p.top), int(p.width), int(p.height)};
}

void MainWindow::setTwipsGeometry(const WindowPlacement& stored)
{
    lastPlacement_ = stored;
    // Below the layout's own size the controls keep their places and the
    // window cuts them off: a window for a larger font is at least as
    // large as the layout grown with it.
    WindowPlacement p = stored;
    if (fontGrowth_ > 1.0) {
        // A pixel more, so rounding never leaves it a twip short.
        p.width = std::max(p.width, double(twips_.toTwipsX(layoutTwips_.toPixelsX(kLayoutMinWidth) + 1)));
        p.height = std::max(p.height, double(twips_.toTwipsY(layoutTwips_.toPixelsY(kLayoutMinHeight) + 1)));
        // ...but never larger than the screen.
        const QSize screen = platform_.screen.screenSizeTwips();
        if (screen.width() > 0 && screen.height() > 0) {
            p.width = std::min(p.width, std::max(stored.width, double(screen.width())));
            p.height = std::min(p.height, std::max(stored.height, double(screen.height())));
        }
    }
    placeWindow(*this, twips_, p);
}

void MainWindow::layoutMainWindow()
{
    if (inLayout_ || !timer3_)
        return;
    inLayout_ = true;
    timer3_->stop();
    MainLayoutInput in;
    const QRect outer = twipsGeometry();
    // Every size the rule reads is in the grown layout's twips.
    in.windowWidth = int(outer.width() / fontGrowth_);
    in.windowHeight = int(outer.height() / fontGrowth_);
    in.clientWidth = layoutTwips_.toTwipsX(client_->width());
    in.clientHeight = layoutTwips_.toTwipsY(client_->height());
    in.minimized = isMinimized();
    in.sliderValue = slider1_->value();
    in.sliderMaximum = slider1_->maximum();
    in.gridStretch = state_.gridStretch;
    in.controls = currentGeometry();
    const MainLayoutResult out = zp::layoutMainWindow(in);
    applyGeometry(out.controls);
    // The status bar keeps to the bottom edge of the window.
    statusBar_->move(statusBar_->x(), client_->height() - statusBar_->height());
    setGridColumnWidths(out.gridColumnWidths);
    if (out.completed) {
        timer3_->setInterval(logoIntervalMs_);
        timer3_->start();
    }
    inLayout_ = false;
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    layoutMainWindow();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        layoutMainWindow();
    // A new desktop font or theme font size.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitLayoutToFonts();
}

void MainWindow::fitLayoutToFonts()
{
    if (!ssPanel2_ || inLayout_)
        return;
    auto* field = control(QStringLiteral("Text2"));
    auto* label = control(QStringLiteral("Label7"));
    auto* button = control(QStringLiteral("Command4"));
    if (!field || !label || !button)
        return;
    // The lowest design heights: a caption 210 twips, an entry field 300,
    // the grid's edit box and its row buttons 285.
    const int buttonText = button->fontMetrics().height() + 2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const double growth = std::max({growthToFit(label->fontMetrics().height(), twips_.toPixelsY(210)),
                                    growthToFit(field->minimumSizeHint().height(), twips_.toPixelsY(300)),
                                    growthToFit(text4_->minimumSizeHint().height(), twips_.toPixelsY(285)),
                                    growthToFit(buttonText, twips_.toPixelsY(285))});
    if (std::abs(growth - fontGrowth_) < 0.01)
        return;
    const ControlGeometry now = currentGeometry();
    fontGrowth_ = growth;
    layoutTwips_ = Twips(twips_.perPixelX() / growth, twips_.perPixelY() / growth);
    applyGeometry(now);
    // A maximised window keeps the normal place it will go back to.
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        setTwipsGeometry(isVisible() ? placementOf(*this, twips_) : lastPlacement_);
    layoutMainWindow();
}

void MainWindow::onSliderChanged(int value)
{
    const int clamped = clampSlider(value);
    if (clamped != value) {
        slider1_->setValue(clamped); // comes back here with the clamped value
        return;
    }
    layoutMainWindow();
}

void MainWindow::toggleGridStretch()
{
    state_.gridStretch = state_.gridStretch == 0 ? 1 : 0;
    setGridColumnWidths(gridColumnWidths(layoutTwips_.toTwipsX(grid1_->width()), state_.gridStretch));
}

void MainWindow::setGridColumnWidths(const std::vector<int>& twipsWidths)
{
    // A column is never narrower than its caption in the grid's top rows
    // (bold in the second), so a larger font does not cut them.
    QFont bold = grid1_->font();
    bold.setBold(true);
    const QFontMetrics captionFont(bold);
    const int margin = grid1_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid1_) + 2;
    for (std::size_t col = 0; col < twipsWidths.size(); ++col) {
        int width = layoutTwips_.toPixelsX(twipsWidths[col]);
        for (int row = 0; row < EntryGridModel::kFixedRows && row < gridModel_->rowCount(); ++row)
            width = std::max(width, textRoom(captionFont, gridModel_->index(row, static_cast<int>(col)).data().toString(),
                                             QMargins(margin, 0, margin, 0)).width());
        grid1_->setColumnWidth(static_cast<int>(col), width);
    }
}

void MainWindow::onLogoClicked()
{
    logoIntervalMs_ = logoIntervalMs_ == 100 ? 50 : 100;
    timer3_->setInterval(logoIntervalMs_);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == picture1_ && event->type() == QEvent::MouseButtonPress)
        onLogoClicked();
    // Enter on a cell of the entry grid does what a double-click does.
    if (watched == grid1_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            doubleClickGrid(grid1_->currentIndex());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::tickTimer1()
{
    detectSystemDateStyle(true);
}

void MainWindow::tickTimer2()
{
    statusBar_->setPanelText(3, platform_.clock.today().toString(QStringLiteral("dddd")));
}

void MainWindow::tickTimer3()
{
    const QPixmap& picture = picture2_->pixmap();
    if (picture.isNull())
        return;
    logo_.setSizes(twips_.toTwipsX(picture1_->width()), twips_.toTwipsY(picture1_->height()),
                   twips_.toTwipsX(picture.width()), twips_.toTwipsY(picture.height()));
    const TwipsRect r = logo_.step();
    QPixmap frame(picture1_->size());
    frame.fill(palette().window().color());
    QPainter painter(&frame);
    painter.drawPixmap(QRect(QPoint(0, 0), picture1_->size()), picture,
                       QRect(twips_.toPixelsX(r.left), twips_.toPixelsY(r.top), twips_.toPixelsX(r.width), twips_.toPixelsY(r.height)));
    painter.end();
    picture1_->setPixmap(frame);
}

void MainWindow::detectSystemDateStyle(bool refreshViews)
{
    RecordStore& store = state_.store;
    if (const auto style = detectDateStyle(platform_.dateOrder.systemDateOrder())) {
        store.systemDateStyle = *style;
        setMenuTick(QStringLiteral("American"), *style == kAmerican);
        setMenuTick(QStringLiteral("EnglishEuro"), *style == kEnglishEuro);
    }
    if (refreshViews && store.fileDateStyle != store.systemDateStyle) {
        // The list rebuild swaps day and month of every stored date once.
        state_.convertDatesOnRebuild = true;
        rebuildRecordsList();
        state_.convertDatesOnRebuild = false;
        store.fileDateStyle = store.systemDateStyle;
        showRecordPage(ssTab1_->currentIndex());
    }
}

void MainWindow::initialise()
{
    detectSystemDateStyle(false);
    if (!state_.settingsPath.isEmpty()) {
        bool loaded = false;
        state_.settingsSnapshot =
            loadSettings(state_.settingsPath, state_.settings, state_.store, platform_.messages, &loaded);
        // The stored default place is a tiny window; a first start gets one
        // that shows the whole layout.
        if (!loaded)
            state_.settings.placement(PlacementRow::Main) = firstStartPlacement(platform_.screen.screenSizeTwips());
    }
    const QDate today = platform_.clock.today();
    state_.todayText = today.toString(state_.store.systemDateStyle == kAmerican ? QStringLiteral("MM/dd/yy")
                                                                                : QStringLiteral("dd/MM/yy"));
    setTwipsGeometry(state_.settings.placement(PlacementRow::Main));
    if (state_.preferences.mainWindowMaximised())
        setWindowState(windowState() | Qt::WindowMaximized);
    if (!state_.commandLinePlan.isEmpty())
        state_.store.planFileName = state_.commandLinePlan;
    statusBar_->setPanelText(4, planPanelText(state_.store.planFileName));
    applyFontSettings();
    applySettingsToWindow();
    timer1_->start();
    timer2_->start();
    recoveryTimer_->start();
    layoutMainWindow();
    buildSystemInfo();
    playSound(state_.startupSoundPath);
}

void MainWindow::applySettingsToWindow()
{
    const Settings& s = state_.settings;
    const RecordStore& store = state_.store;
    setMenuTick(QStringLiteral("Saveonexit"), s.saveSettingsOnExit == QLatin1String("1"));
    setMenuTick(QStringLiteral("Keepbackups"), store.keepBackups != QLatin1String("0"));
    const std::array<bool, 4> ticks = displayModeTicks(s.displayMode);
    for (std::size_t i = 0; i < ticks.size(); ++i)
        setMenuTick(QString::fromLatin1(displayModeItems()[i].control), ticks[i]);
    if (s.soundOn == 1)
        setMenuTick(QStringLiteral("soundon"), true);
    else if (s.soundOn == 0)
        setMenuTick(QStringLiteral("soundon"), false);
    setWindowTitle(startUpWindowTitle(store.planFileName));
    statusBar_->setPanelText(3, platform_.clock.today().toString(QStringLiteral("dddd")));
    setMenuTick(QStringLiteral("homeandoffice"), store.editStyle == 0);
    setMenuTick(QStringLiteral("projectplanning"), store.editStyle == 1);
    setMenuTick(QStringLiteral("Currentyearmonth"), s.startupShow == QLatin1String("yearmonth"));
    setMenuTick(QStringLiteral("Allrecords"), s.startupShow == QLatin1String("all"));

    applyEntryLabels();
    image1_->setPixmap(picture2_->pixmap());
}

void MainWindow::applyFontSettings()
{
    const FontChoice& f = state_.settings.font;
    const QFont font = toQFont(f);
    const QColor colour = toQColor(f.colour, palette());
    auto apply = [&](QWidget* w) {
        if (!w)
            return;
        w->setFont(font);
        QPalette p = w->palette();
        p.setColor(QPalette::Text, colour);
        p.setColor(QPalette::WindowText, colour);
        w->setPalette(p);
    };
    QFont statusFont = statusBar_->font();
    statusFont.setFamily(font.family());
    statusFont.setPointSize(font.pointSize());
    statusBar_->setFont(statusFont);
    for (QWidget* w : std::initializer_list<QWidget*>{viewlist_, text1_, text12_, grid1_})
        apply(w);
    for (const char* name : {"Text2", "Text3", "Text5", "Text6", "Text7", "Text8", "Text9", "Text10", "Text11"})
        apply(control(QString::fromLatin1(name)));
    // The grid's rows are one line of its font high.
    grid1_->verticalHeader()->setDefaultSectionSize(grid1_->fontMetrics().height() + 6);
    fitLayoutToFonts();
    emit fontsApplied();
}

void MainWindow::chooseFont()
{
    std::optional<FontChoice> chosen = platform_.fontDialog.chooseFont(state_.settings.font);
    if (!chosen)
        return;
    state_.settings.takeFontChoice(*chosen);
    applyFontSettings();
}

void MainWindow::rebuildRecordsList()
{
    const DateSwap swap = [](const QString& text) { return swapDayMonth(text); };
    listModel_->setContent(state_.store,
                           rebuildRecordsListContent(state_.store, state_.settings.displayMode,
                                                     state_.highlightKeyword, state_.convertDatesOnRebuild, swap));
    // The current record's line stays current across every rebuild, so the
    // copy and edit commands act on the record the pages show.
    const int line = state_.store.currentRecord - 1;
    viewlist_->showCurrentLine(line < listModel_->rowCount() ? line : -1);
}

void MainWindow::setDisplayMode(const QString& word)
{
    state_.settings.displayMode = word;
    const std::array<bool, 4> ticks = displayModeTicks(word);
    for (std::size_t i = 0; i < ticks.size(); ++i)
        setMenuTick(QString::fromLatin1(displayModeItems()[i].control), ticks[i]);
    rebuildRecordsList();
}

void MainWindow::selectListLine(int index)
{
    const int record = recordForListIndex(index);
    // On the Edit page the entry panel follows the list, as moving its
    // scroll bar does, so Change and Remove act on the record shown.
    if (ssTab1_->currentIndex() == 3 && state_.store.editStyle == 0 && record <= state_.store.recordCount())
        runEntryCommand(editor_->scrollMoved(record));
    state_.store.currentRecord = record;
    showRecordDetailsPage();
    showImagePage();
    // The line's own record speaks, whatever the entry panel holds.
    if (record <= state_.store.recordCount())
        playRecordSound(state_.store.field(Field::AudioPath, record));
}

void MainWindow::playSound(const QString& path)
{
    if (shouldPlaySound(state_.settings.soundOn, path))
        platform_.sound.play(path);
}

void MainWindow::editListLine(int index)
{
    state_.store.currentRecord = recordForListIndex(index);
    if (ssTab1_->currentIndex() == 3)
        showRecordPage(3);
    else
        ssTab1_->setCurrentIndex(3);
}

void MainWindow::showImagePage()
{
    const auto shown = chooseImagePagePicture(state_.store, state_.store.currentRecord,
                                              [this](const QString& path) { return showPictureInImage1(path); });
    if (shown == ImagePagePicture::DefaultPicture)
        image1_->setPixmap(picture2_->pixmap());
}

void MainWindow::readStartupPlan()
{
    RecordStore& store = state_.store;
    store.currentRecord = 1;
    if (store.planFileName.isEmpty()) {
        offerRecoveryCopy();
        return;
    }
    files_->openPlanAtStartup(store.planFileName);
    // The plan's header decides the edit style.
    setMenuTick(QStringLiteral("homeandoffice"), store.editStyle == 0);
    setMenuTick(QStringLiteral("projectplanning"), store.editStyle == 1);
    // Without a plan the caption stays as the start-up set it.
    setWindowTitle(startUpWindowTitle(store.planFileName));
    statusBar_->setPanelText(4, planPanelText(store.planFileName));
    buildSystemInfo();
    offerRecoveryCopy();
}

void MainWindow::keepRecoveryCopy()
{
    const QString& folder = state_.recoveryFolder;
    if (folder.isEmpty())
        return;
    if (state_.store.modified) {
        if (!writeRecoveryCopy(state_.store, folder).isEmpty())
            recoveryCopyOf_ = state_.store.planFileName;
    } else {
        removeRecoveryCopy(state_.store.planFileName, folder);
    }
}

void MainWindow::planSaved()
{
    // Under the name it was written with: Save As may have renamed the plan.
    if (recoveryCopyOf_)
        removeRecoveryCopy(*recoveryCopyOf_, state_.recoveryFolder);
    recoveryCopyOf_.reset();
    removeRecoveryCopy(state_.store.planFileName, state_.recoveryFolder);
}

void MainWindow::offerRecoveryCopy()
{
    const QString& folder = state_.recoveryFolder;
    if (folder.isEmpty())
        return;
    RecordStore& store = state_.store;
    const QString name = store.planFileName.isEmpty() ? store.unopenedStartupPlan : store.planFileName;
    const QString copy = QDir(folder).filePath(recoveryFileName(name));
    const QFileInfo info(copy);
    if (!info.exists())
        return;
    RecordStore recovered;
    recovered.systemDateStyle = store.systemDateStyle;
    recovered.fileDateStyle = store.systemDateStyle;
    if (!readPlanFile(copy, recovered, store.dateOrder()).loaded())
        return;
    const QString question = restoreQuestion(name, info.lastModified(), recovered.recordCount());
    if (platform_.messages.msgBox(question, MsgStyle::YesNoQuestion, QStringLiteral("Zorvik Planner Recovery"))
        != MsgAnswer::Yes)
        return; // kept until the plan is next saved
    std::vector<PackedRecord> records;
    records.reserve(static_cast<std::size_t>(recovered.recordCount()));
    for (int i = 1; i <= recovered.recordCount(); ++i)
        records.emplace_back(recovered.record(i));
    store.adoptRecords(std::move(records));
    store.editStyle = recovered.editStyle;
    store.currentRecord = 1;
    store.modified = true;
    refreshAfterPlanChange();
}

void MainWindow::showPlanName()
{
    setWindowTitle(planWindowTitle(state_.store.planFileName));
    statusBar_->setPanelText(4, planPanelText(state_.store.planFileName));
    // Save As renames the plan under the user's eyes.
    if (ssTab1_->currentIndex() == 0)
        buildSystemInfo();
}

void MainWindow::refreshAfterPlanChange()
{
    const RecordStore& store = state_.store;
    setMenuTick(QStringLiteral("homeandoffice"), store.editStyle == 0);
    setMenuTick(QStringLiteral("projectplanning"), store.editStyle == 1);
    resetEntryPanel();
    // Rebuilds the list and shows the page again, on the Edit page in the
    // face that matches the edit style.
    showRecordPage(ssTab1_->currentIndex());
    // A plan just opened, made or deleted is moved in with the keyboard.
    focusRecordsList();
    // The Info page is kept current behind the other pages too.
    if (ssTab1_->currentIndex() != 0)
        buildSystemInfo();
}

void MainWindow::buildSystemInfo()
{
    // Texts of several lines join them with CR LF from here on.
    state_.newline = QStringLiteral("\r\n");
    QString text = systemInfoText(platform_.systemFacts.systemFacts(), programVersion(), state_.store, state_.newline);
    // The text box keeps paragraphs; a carriage return would show as a mark.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text12_->setPlainText(text);
}

ProgressSink* MainWindow::progress()
{
    return fileProgress_.get();
}

void MainWindow::showRecordPage(int previousPage)
{
    for (QWidget* w : std::initializer_list<QWidget*>{text1_, image1_, ssPanel2_, grid1_, text4_, text12_,
                                                      control(QStringLiteral("Command4")), control(QStringLiteral("Command5"))})
        w->hide();
    rebuildRecordsList();
    const int page = ssTab1_->currentIndex();
    text4_->clear();
    RecordStore& store = state_.store;
    if (previousPage == 3 && page != 3) {
        if (store.recorderState == RecorderState::Recorded)
            store.newRecordings.add(store.currentSoundPath);
        store.recorderState = RecorderState::Untouched;
    }
    switch (page) {
    case 0:
        buildSystemInfo();
        text12_->show();
        break;
    case 1:
        showRecordDetailsPage();
        text1_->show();
        break;
    case 2:
        if (!pictureJustAttached_)
            showImagePage();
        pictureJustAttached_ = false;
        image1_->show();
        break;
    case 3:
        showEditPage();
        break;
    default:
        break;
    }
}

ProgressSink& MainWindow::progressSink()
{
    return *progress_;
}

QString MainWindow::statusPanelText(int panel) const
{
    return statusBar_->panelText(panel);
}

void MainWindow::setStatusPanelText(int panel, const QString& text)
{
    statusBar_->setPanelText(panel, text);
}

bool MainWindow::exitProgram(bool viaMenu)
{
    if (exiting_)
        return true;
    if (beforeExit_ && !beforeExit_())
        return false;
    rememberMainPlacement();
    if (!files_->confirmDiscard(viaMenu ? ExitVariant::MenuExit : ExitVariant::WindowClose))
        return false; // the user wanted the plan saved and it was not: stay
    exiting_ = true;
    if (!state_.settingsPath.isEmpty() &&
        !saveSettings(state_.settingsPath, state_.settings, state_.store, state_.settingsSnapshot))
        reportSettingsWriteFailure(platform_.messages, viaMenu, state_.settingsPath);
    files_->release();
    // An orderly end: whatever was unsaved was saved or dropped on purpose.
    removeRecoveryCopy(state_.store.planFileName, state_.recoveryFolder);
    timer1_->stop();
    timer2_->stop();
    timer3_->stop();
    recoveryTimer_->stop();
    if (onExit_)
        onExit_();
    else
        QApplication::quit();
    return true;
}

void MainWindow::rememberMainPlacement()
{
    // A maximised window keeps its normal place in row 1, to go back to.
    state_.settings.placement(PlacementRow::Main) = normalPlacementOf(*this, twips_);
    // Like the window places, kept only when the settings are saved.
    if (state_.settings.saveSettingsOnExit == QLatin1String("1")) {
        state_.preferences.setMainWindowMaximised(isMaximized());
        state_.preferences.sync();
    }
}

void MainWindow::endWithoutAsking()
{
    if (!keepUnsavedWork())
        return;
    timer1_->stop();
    timer2_->stop();
    timer3_->stop();
    recoveryTimer_->stop();
    if (onExit_)
        onExit_();
    else
        QApplication::quit();
}

bool MainWindow::keepUnsavedWork()
{
    if (exiting_)
        return false;
    exiting_ = true;
    // A calendar read stops first: the copy is written from a plan nothing
    // else reads, and an import cut short adds nothing to it.
    calendar_->stopImport();
    rememberMainPlacement();
    if (state_.store.modified && !state_.recoveryFolder.isEmpty())
        writeRecoveryCopy(state_.store, state_.recoveryFolder);
    if (!state_.settingsPath.isEmpty())
        saveSettings(state_.settingsPath, state_.settings, state_.store, state_.settingsSnapshot);
    files_->release();
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (exitProgram(false))
        event->accept();
    else
        event->ignore();
}

} // namespace zp
