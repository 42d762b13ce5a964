// Building the main window: its menus and their settings, the toolbar,
// the keys of its own, the record pages, the timers and the hints.

#include "app/windows/MainWindow.h"

#include "app/windows/EditPage.h"
#include "app/windows/MainMenus.h"
#include "app/windows/MainStatusBar.h"
#include "app/windows/RecentPlansMenu.h"
#include "app/windows/RecordsListView.h"
#include "plan/DateStyle.h"
#include "views/RecordsList.h"
#include "views/RecordsListModel.h"
#include "ui/Artwork.h"
#include "ui/Hints.h"
#include "ui/ImageButton.h"
#include "ui/KeyboardAccess.h"
#include "ui/QtPlatform.h"

#include <QAction>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace zp {

namespace {

// Toolbar button size, twips.
constexpr int kButtonTwips = 390;

} // namespace

void MainWindow::createMenus()
{
    actions_ = buildMainMenus(*menuBar());

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
    for (const MainMenuRow& b : mainMenuRows()) {
        if (b.kind != MainMenuRow::Button)
            continue;
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
        if (*b.command) {
            const QString command = QString::fromLatin1(b.command);
            connect(button, b.onPress ? &ImageButton::pressed : &ImageButton::clicked, this,
                    [this, command] { menuAction(command)->trigger(); });
        }
    }
    auto button = [this](const char* name) { return static_cast<ImageButton*>(control(QString::fromLatin1(name))); };
    connect(button("imgFileOpenButton"), &ImageButton::clicked, this, [this] { files_->openPlanFromToolbar(); });
    connect(button("Image12"), &ImageButton::clicked, this, [this] { files_->saveFromToolbar(); });
    connect(button("Image15"), &ImageButton::clicked, this, &MainWindow::toggleGridStretch);
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
    createFind();

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
    for (QWidget* w : std::initializer_list<QWidget*>{text12_, text1_, image1_})
        controls_[w->objectName()] = w;
    editPage_ = new EditPage(state_, platform_, *this, ssTab1_, image1_);
    controls_.insert(editPage_->controls().begin(), editPage_->controls().end());

    connect(ssTab1_, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = currentPage_;
        currentPage_ = index;
        showRecordPage(previous);
    });
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
    for (const MainMenuRow& b : mainMenuRows())
        if (b.kind == MainMenuRow::Button)
            hints_->attach(control(QString::fromLatin1(b.name)), QString::fromLatin1(b.hint));
    hints_->attach(panel3D3_, QStringLiteral("Information window"));
    hints_->attach(viewlist_, QStringLiteral("Planner list or records window"));
    hints_->attach(viewlist_->viewport(), QStringLiteral("Planner list or records window"));
    hints_->attach(picture1_, QStringLiteral("Planner moving logo"));
    hints_->attach(slider1_, QStringLiteral("Use this slider bar to resize the records list display"));
    const QString recordTabsHint = QStringLiteral("Planner info, record details, image view and edit records");
    hints_->attach(ssTab1_, recordTabsHint);
    hints_->attach(ssTab1_->tabBar(), recordTabsHint); // the tab headers are a control of their own
    hints_->attach(statusBar_, [](int x, int width) { return statusBarHint(x, width); });
}

} // namespace zp
