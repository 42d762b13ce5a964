#include "app/windows/MainWindow.h"

#include "app/ProgramVersion.h"
#include "app/SettingsFile.h"
#include "app/SystemInfo.h"
#include "app/windows/CalendarCommands.h"
#include "app/windows/CalendarServerHookup.h"
#include "app/windows/EditPage.h"
#include "app/windows/MainMenus.h"
#include "app/windows/MainStatusBar.h"
#include "app/windows/MainWindowProgress.h"
#include "app/windows/RecentPlansMenu.h"
#include "app/windows/RecordsListView.h"
#include "plan/DateStyle.h"
#include "plan/DateText.h"
#include "plan/PlanFile.h"
#include "plan/Recovery.h"
#include "accessories/Recorder.h"
#include "views/EntryGridModel.h"
#include "views/RecordDetails.h"
#include "views/RecordSearch.h"
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
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
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
    progress_ = std::make_unique<Progress>(*this, Progress::Hint::BlankThenOk);
    fileProgress_ = std::make_unique<Progress>(*this, Progress::Hint::Untouched);
    files_ = std::make_unique<FileCommands>(state_.store, platform_.messages, platform_.fileDialogs, platform_.dateOrder,
                                            static_cast<FileCommandsView&>(*this));
    connectFileCommands();
    editPage_->connectPage();
    connectPrinting();
    connectCalendarCommands();
    connectHistoryCommands();
    connectCalendarServer();
    createKeyboardCommands();
    setMinimumSize(twips_.toPixelsX(3000), twips_.toPixelsY(2500));
}

MainWindow::~MainWindow() = default;

void MainWindow::connectPrinting()
{
    printProgress_ = std::make_unique<Progress>(*this, Progress::Hint::Blank);
    printCommands_ = std::make_unique<PrintCommands>(state_, platform_, *printProgress_);
    connect(menuAction(QStringLiteral("standard")), &QAction::triggered, this,
            [this] { printCommands_->openStandardStyle(); });
    connect(menuAction(QStringLiteral("projectstyle")), &QAction::triggered, this,
            [this] { printCommands_->openProjectStyle([this] { editPage_->switchToProjectStyle(); }); });
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

void MainWindow::focusRecordsList(Qt::FocusReason reason)
{
    const int line = listModel_->lineOfRecord(state_.store.currentRecord);
    if (line >= 0)
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
    editPage_->tickEditStyle();
    setMenuTick(QStringLiteral("Currentyearmonth"), s.startupShow == QLatin1String("yearmonth"));
    setMenuTick(QStringLiteral("Allrecords"), s.startupShow == QLatin1String("all"));

    editPage_->applyEntryLabels();
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
    QTableView* grid1 = editPage_->grid();
    for (QWidget* w : std::initializer_list<QWidget*>{viewlist_, text1_, text12_, grid1})
        apply(w);
    for (const char* name : {"Text2", "Text3", "Text5", "Text6", "Text7", "Text8", "Text9", "Text10", "Text11"})
        apply(control(QString::fromLatin1(name)));
    // The grid's rows are one line of its font high.
    grid1->verticalHeader()->setDefaultSectionSize(grid1->fontMetrics().height() + 6);
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
    RecordsListContent content = rebuildRecordsListContent(state_.store, state_.settings.displayMode,
                                                           state_.highlightKeyword, state_.convertDatesOnRebuild, swap);
    // A list narrowed by Find stays narrowed, to the records that have the
    // text now.
    listModel_->setContent(state_.store, std::move(content), refreshFind());
    // The current record's line stays current across every rebuild, so the
    // copy and edit commands act on the record the pages show.
    viewlist_->showCurrentLine(listModel_->lineOfRecord(state_.store.currentRecord));
    emit recordsListRebuilt();
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
    // Narrowed by Find, a line is not its record's number.
    selectRecord(listModel_->recordOfLine(index), true);
}

void MainWindow::selectRecord(int record, bool speak)
{
    // On the Edit page the entry panel follows the list, as moving its
    // scroll bar does, so Change and Remove act on the record shown.
    if (ssTab1_->currentIndex() == 3 && state_.store.editStyle == EditStyle::HomeAndOffice && record <= state_.store.recordCount())
        editPage_->followRecord(record);
    state_.store.currentRecord = record;
    showRecordDetailsPage();
    showImagePage();
    // The line's own record speaks, whatever the entry panel holds.
    if (speak && record <= state_.store.recordCount())
        playRecordSound(state_.store.field(Field::AudioPath, record));
}

void MainWindow::playSound(const QString& path)
{
    if (shouldPlaySound(state_.settings.soundOn, path))
        platform_.sound.play(path);
}

void MainWindow::editListLine(int index)
{
    state_.store.currentRecord = listModel_->recordOfLine(index);
    if (ssTab1_->currentIndex() == 3)
        showRecordPage(3);
    else
        ssTab1_->setCurrentIndex(3);
}

void MainWindow::showImagePage()
{
    const auto shown = chooseImagePagePicture(state_.store, state_.store.currentRecord,
                                              [this](const QString& path) { return editPage_->showPictureInImage1(path); });
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
    editPage_->tickEditStyle();
    // Without a plan the caption stays as the start-up set it.
    setWindowTitle(startUpWindowTitle(store.planFileName));
    statusBar_->setPanelText(4, planPanelText(store.planFileName));
    buildSystemInfo();
    offerRecoveryCopy();
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
    editPage_->tickEditStyle();
    editPage_->resetEntryPanel();
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
    QString text = systemInfoText(platform_.systemFacts.systemFacts(), programVersion(), state_.store);
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
    for (QWidget* w : std::initializer_list<QWidget*>{text1_, image1_, text12_})
        w->hide();
    editPage_->hideEditFace();
    rebuildRecordsList();
    const int page = ssTab1_->currentIndex();
    editPage_->clearGridEditBox();
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
        if (!editPage_->takePictureJustAttached())
            showImagePage();
        image1_->show();
        break;
    case 3:
        editPage_->showEditPage();
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

void MainWindow::playRecordSound(const QString& path)
{
    if (!shouldPlaySound(state_.settings.soundOn, path))
        return;
    playSound(path);
    if (const auto problem = recordSoundProblem(path))
        hints_->show(*problem);
}

void MainWindow::showRecordDetailsPage()
{
    text1_->setPlainText(detailsPageText(state_.store));
}

void MainWindow::showRecordTab(int page)
{
    if (ssTab1_->currentIndex() == page)
        showRecordPage(page);
    else
        ssTab1_->setCurrentIndex(page);
}

void MainWindow::peekRecordTab(int page)
{
    {
        const QSignalBlocker block(ssTab1_);
        ssTab1_->setCurrentIndex(page);
    }
    if (page == 2) {
        editPage_->hideEditFace();
        image1_->show();
    } else {
        image1_->hide();
        editPage_->showEditFace();
    }
}

int MainWindow::selectedListLine() const
{
    // The commands take the line of the whole list: the record's own.
    const QModelIndex current = viewlist_->currentIndex();
    return current.isValid() ? listModel_->recordOfLine(current.row()) - 1 : -1;
}

void MainWindow::openRecorder()
{
    if (openRecorder_)
        openRecorder_();
}

bool MainWindow::editPageShowing() const
{
    return ssTab1_->currentIndex() == 3 && currentPage_ == 3;
}

} // namespace zp
