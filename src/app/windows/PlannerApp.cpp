#include "app/windows/PlannerApp.h"
#include "plan/HistorySteps.h"

#include "accessories/windows/CalculatorWindow.h"
#include "accessories/windows/RecorderWindow.h"
#include "accessories/windows/WorldTimesWindow.h"
#include "app/windows/MainWindow.h"
#include "app/windows/AboutWindow.h"
#include "app/HelpTopics.h"
#include "app/windows/HelpWindow.h"
#include "app/windows/StartWindow.h"
#include "accessories/windows/NotepadWindow.h"
#include "money/LedgerPlot.h"
#include "money/windows/LedgerPlotWindow.h"
#include "money/windows/LedgerWindow.h"
#include "ui/MessageBox.h"
#include "money/windows/LoanWindow.h"
#include "ui/ImageButton.h"
#include "ui/WindowGeometry.h"
#include "views/windows/KeywordWindow.h"
#include "views/windows/RemindersWindow.h"
#include "views/windows/PhoneBookWindow.h"
#include "views/windows/PrintCommands.h"

#include <QAction>
#include <QTableWidget>

#include <QApplication>
#include <QKeyEvent>

namespace zp {

PlannerApp::PlannerApp(ProgramState& state, const Platform& platform) : state_(state), platform_(platform) {}

PlannerApp::~PlannerApp()
{
    qApp->removeEventFilter(this);
    delete helpWindow_.data();
    delete startWindow_.data();
    delete aboutWindow_.data();
    delete phoneBookWindow_.data();
    delete ledgerWindow_.data();
    delete ledgerPlotWindow_.data();
    delete loanWindow_.data();
    delete keywordWindow_.data();
    delete calculatorWindow_.data();
    delete worldTimesWindow_.data();
    delete notepadWindow_.data();
    // Keeps what it recorded and enables the main window, which still exists.
    delete recorderWindow_.data();
}

LoanWindow* PlannerApp::loanWindow() const
{
    return loanWindow_.data();
}

LedgerWindow* PlannerApp::ledgerWindow() const
{
    return ledgerWindow_.data();
}

PhoneBookWindow* PlannerApp::phoneBook() const
{
    return phoneBookWindow_.data();
}

LedgerWindow* PlannerApp::ledger() const
{
    return ledgerWindow_.data();
}

LedgerPlotWindow* PlannerApp::ledgerPlot() const
{
    return ledgerPlotWindow_.data();
}

NotepadWindow* PlannerApp::notepad() const
{
    return notepadWindow_.data();
}

KeywordWindow* PlannerApp::keywordWindow() const
{
    return keywordWindow_.data();
}

CalculatorWindow* PlannerApp::calculator() const
{
    return calculatorWindow_.data();
}

WorldTimesWindow* PlannerApp::worldTimes() const
{
    return worldTimesWindow_.data();
}

StartWindow* PlannerApp::startWindow() const
{
    return startWindow_.data();
}

AboutWindow* PlannerApp::aboutWindow() const
{
    return aboutWindow_.data();
}

// The menu items that open the tool windows and the guide.
void PlannerApp::connectToolMenus()
{
    connect(mainWindow_->menuAction(QStringLiteral("Notes")), &QAction::triggered, this, &PlannerApp::showNotepad);
    connect(mainWindow_->menuAction(QStringLiteral("Phonebook")), &QAction::triggered, this, &PlannerApp::showPhoneBook);
    // The toolbar's ledger picture triggers Show.
    connect(mainWindow_->menuAction(QStringLiteral("Showbydate")), &QAction::triggered, this, &PlannerApp::showLedger);
    connect(mainWindow_->menuAction(QStringLiteral("PlotLedger")), &QAction::triggered, this, &PlannerApp::showLedgerPlot);
    // The toolbar's loan picture triggers it too.
    connect(mainWindow_->menuAction(QStringLiteral("Loansimulator")), &QAction::triggered, this,
            &PlannerApp::showLoanWindow);
    // The toolbar's calculator and world-times pictures trigger these too.
    connect(mainWindow_->menuAction(QStringLiteral("Calculator")), &QAction::triggered, this, &PlannerApp::showCalculator);
    connect(mainWindow_->menuAction(QStringLiteral("Worldtimes")), &QAction::triggered, this, &PlannerApp::showWorldTimes);
    // The toolbar's help picture triggers Contents as it is pressed.
    connect(mainWindow_->menuAction(QStringLiteral("Contents")), &QAction::triggered, this,
            [this] { showHelp(kHelpContentsTopic); });
    connect(mainWindow_->menuAction(QStringLiteral("usinghelp")), &QAction::triggered, this,
            [this] { showHelp(kUsingHelpTopic); });
}

void PlannerApp::start()
{
    // The reminders window comes first; the main window is built and
    // initialised hidden while it is being set up.
    remindersWindow_ = std::make_unique<RemindersWindow>(state_, platform_);
    mainWindow_ = std::make_unique<MainWindow>(state_, platform_);
    mainWindow_->setOpenAbout([this] { showAbout(); });
    connect(mainWindow_.get(), &MainWindow::fontsApplied, this, [this] {
        remindersWindow_->applyFont();
        if (phoneBookWindow_)
            phoneBookWindow_->applyFont();
        if (ledgerWindow_)
            ledgerWindow_->applyFont();
        if (keywordWindow_)
            keywordWindow_->applyFont();
        if (calculatorWindow_)
            calculatorWindow_->applyFont();
        if (worldTimesWindow_)
            worldTimesWindow_->applyFont();
        if (notepadWindow_)
            notepadWindow_->applyFont();
        if (loanWindow_)
            loanWindow_->applyFont();
    });
    connectToolMenus();
    // Changed notepad documents are settled before the program ends.
    mainWindow_->setBeforeExit([this] { return !notepadWindow_ || notepadWindow_->closeNotepad(); });
    qApp->installEventFilter(this);
    if (auto* keyword = mainWindow_->findChild<ImageButton*>(QStringLiteral("Image2")))
        connect(keyword, &ImageButton::clicked, this, &PlannerApp::showKeywordWindow);
    mainWindow_->setOnExit([this] { endProgram(); });
    mainWindow_->setOpenRecorder([this] { showRecorder(); });
    remindersWindow_->setPlaySound([this](const QString& path) { platform_.sound.play(path); });
    mainWindow_->initialise();
    remindersWindow_->setRunPlanner([this] { showStartWindow(); });
    remindersWindow_->setExit([this] { mainWindow_->exitProgram(true); });

    if (startHidden_) {
        mainWindow_->readStartupPlan();
        return;
    }
    const QString& show = state_.settings.startupShow;
    if (show == QLatin1String("yearmonth")) {
        mainWindow_->readStartupPlan();
        remindersWindow_->restorePlace();
        remindersWindow_->show();
        remindersWindow_->buildReminderList();
    } else if (show == QLatin1String("all")) {
        remindersWindow_->hide();
        QCoreApplication::processEvents();
        mainWindow_->readStartupPlan();
        showStartWindow();
        mainWindow_->rebuildRecordsList();
    } else {
        remindersWindow_->show();
    }
}

void PlannerApp::showStartWindow()
{
    // One at a time. A second one would be out of this object's reach: its
    // timer would call back after the application had gone.
    if (startWindow_ && startWindow_->isVisible()) {
        startWindow_->raise();
        return;
    }
    // Created afresh each time it is shown; it deletes itself on closing.
    // One hidden but not yet deleted goes now, before its timer fires.
    delete startWindow_.data();
    startWindow_ = new StartWindow(platform_, [this] { showMainWindow(); });
    startWindow_->setAttribute(Qt::WA_DeleteOnClose);
    startWindow_->show();
}

void PlannerApp::showMainWindow()
{
    // Coming from the reminders, the plan is loaded but not yet listed;
    // the keyboard starts in the list.
    if (!mainWindow_->isVisible()) {
        mainWindow_->rebuildRecordsList();
        mainWindow_->focusRecordsList();
    }
    mainWindow_->show();
    mainWindow_->raise();
    mainWindow_->activateWindow();
}

void PlannerApp::showAbout()
{
    if (!aboutWindow_) {
        aboutWindow_ = new AboutWindow(
            platform_,
            [this](double top, double left, double width, double height) {
                state_.settings.placement(PlacementRow::About) = {top, left, width, height};
            },
            [this] { showMainWindow(); });
    }
    // It always opens in the middle of the screen, wherever it was left.
    centreOnScreen(*aboutWindow_, platform_.screen);
    aboutWindow_->show();
    aboutWindow_->raise();
}

void PlannerApp::showLoanWindow()
{
    if (!loanWindow_) {
        loanWindow_ = new LoanWindow(state_, platform_);
        connect(loanWindow_->printAction(), &QAction::triggered, this, [this] {
            mainWindow_->printCommands().printGrid(gridPrintRequest(*loanWindow_->grid(), state_.store.planFileName, state_.settings.font));
        });
    }
    loanWindow_->open();
}

void PlannerApp::showPhoneBook()
{
    if (!phoneBookWindow_) {
        phoneBookWindow_ = new PhoneBookWindow(state_, platform_);
        connect(phoneBookWindow_->printAction(), &QAction::triggered, this, [this] {
            mainWindow_->printCommands().printGrid(gridPrintRequest(*phoneBookWindow_->grid(), state_.store.planFileName, state_.settings.font));
        });
    }
    phoneBookWindow_->open();
}

void PlannerApp::showLedger()
{
    if (!ledgerWindow_) {
        ledgerWindow_ = new LedgerWindow(state_, platform_);
        connect(ledgerWindow_->printAction(), &QAction::triggered, this, [this] {
            mainWindow_->printCommands().printGrid(gridPrintRequest(*ledgerWindow_->grid(), state_.store.planFileName, state_.settings.font));
        });
    }
    // Built afresh at every opening: it shows the plan as it is now.
    ledgerWindow_->open();
}

void PlannerApp::showLedgerPlot()
{
    if (ledgerPlotWindow_)
        ledgerPlotWindow_->close();
    if (state_.store.editStyle == EditStyle::ProjectPlanning && state_.store.recordCount() > 0) {
        if (platform_.messages.msgBox(kPlotResortQuestion, MsgStyle::YesNoQuestion, kPlotMessageTitle) !=
            MsgAnswer::Yes)
            return;
        {
            const HistoryStep step(&state_.history, kResortStep);
            state_.store.sortChronologically();
        }
        mainWindow_->rebuildRecordsList();
    }
    if (!ledgerPlotWindow_) {
        ledgerPlotWindow_ = new LedgerPlotWindow(state_, platform_);
        connect(ledgerPlotWindow_->printAction(), &QAction::triggered, this, [this] {
            mainWindow_->printCommands().printWith([this](PrintJob& job) {
                Printer* printer = job.choosePrinter();
                if (!printer)
                    return;
                printer->setFont(job.fontName, job.fontSize);
                ledgerPlotWindow_->printChart(*printer);
            });
        });
    }
    ledgerPlotWindow_->open();
}

void PlannerApp::showKeywordWindow()
{
    if (!keywordWindow_)
        keywordWindow_ = new KeywordWindow(state_, platform_, [this] { mainWindow_->rebuildRecordsList(); });
    keywordWindow_->open();
}

void PlannerApp::showCalculator()
{
    if (!calculatorWindow_)
        calculatorWindow_ = new CalculatorWindow(state_, platform_);
    calculatorWindow_->open();
}

void PlannerApp::showWorldTimes()
{
    if (!worldTimesWindow_)
        worldTimesWindow_ = new WorldTimesWindow(state_, platform_);
    worldTimesWindow_->open();
}

void PlannerApp::showNotepad()
{
    if (!notepadWindow_)
        notepadWindow_ = new NotepadWindow(state_, platform_);
    notepadWindow_->open();
}

HelpWindow* PlannerApp::helpWindow() const
{
    return helpWindow_.data();
}

void PlannerApp::showHelp(const QString& topic)
{
    if (!helpWindow_)
        helpWindow_ = new HelpWindow;
    helpWindow_->showTopic(topic);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

bool PlannerApp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            const QWidget* window = static_cast<QWidget*>(watched)->window();
            showHelp(helpTopicForWindow(window ? window->objectName() : QString()));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PlannerApp::showRecorder()
{
    if (recorderWindow_) {
        recorderWindow_->raise();
        return;
    }
    recorderWindow_ = new RecorderWindow(state_, platform_);
    mainWindow_->setEnabled(false);
    connect(recorderWindow_.data(), &RecorderWindow::closed, mainWindow_.get(), [this] {
        mainWindow_->setEnabled(true);
        mainWindow_->activateWindow();
    });
    recorderWindow_->open(mainWindow_->twipsGeometry());
}

RecorderWindow* PlannerApp::recorder() const
{
    return recorderWindow_.data();
}

void PlannerApp::endProgram()
{
    if (helpWindow_)
        helpWindow_->hide();
    // The recorder's device is closed and what it recorded kept.
    if (recorderWindow_)
        recorderWindow_->close();
    if (startWindow_)
        startWindow_->close();
    if (aboutWindow_)
        aboutWindow_->hide();
    if (phoneBookWindow_)
        phoneBookWindow_->hide();
    if (loanWindow_)
        loanWindow_->hide();
    if (keywordWindow_)
        keywordWindow_->hide();
    if (ledgerWindow_)
        ledgerWindow_->hide();
    if (ledgerPlotWindow_)
        ledgerPlotWindow_->hide();
    if (calculatorWindow_)
        calculatorWindow_->hide();
    if (worldTimesWindow_)
        worldTimesWindow_->hide();
    if (notepadWindow_)
        notepadWindow_->hide();
    remindersWindow_->hide();
    mainWindow_->hide();
    emit finished();
}

} // namespace zp
