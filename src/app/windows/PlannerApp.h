#pragma once
#include "state/ProgramState.h"
#include "ui/Platform.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace zp {

class MainWindow;
class AboutWindow;
class StartWindow;
class PhoneBookWindow;
class LoanWindow;
class KeywordWindow;
class RemindersWindow;
class CalculatorWindow;
class WorldTimesWindow;
class NotepadWindow;
class HelpWindow;
class RecorderWindow;
class LedgerWindow;
class LedgerPlotWindow;

// Brings the planner's windows up in their order and owns them for the run:
// the reminders window first, the main window initialised hidden inside it,
// then either the reminders or the start window, then the main window.
class PlannerApp : public QObject {
    Q_OBJECT
public:
    PlannerApp(ProgramState& state, const Platform& platform);
    ~PlannerApp() override;

    void start();
    // Started from the tray (--tray): start() reads the plan but shows no window.
    void setStartHidden(bool hidden) { startHidden_ = hidden; }
    // The main window, in front (from the tray or an alarm).
    void showPlanner() { showMainWindow(); }

    MainWindow* mainWindow() const { return mainWindow_.get(); }
    RemindersWindow* remindersWindow() const { return remindersWindow_.get(); }
    StartWindow* startWindow() const;
    AboutWindow* aboutWindow() const;

    // The start window, which shows the main window after two ticks.
    void showStartWindow();
    void showAbout();
    void showPhoneBook();
    void showLedger();
    // The chart of the ledger; a plan kept in the project style is re-sorted
    // by date first, when the user agrees.
    void showLedgerPlot();
    LedgerWindow* ledger() const;
    LedgerPlotWindow* ledgerPlot() const;
    void showLoanWindow();
    void showKeywordWindow();
    void showCalculator();
    void showWorldTimes();
    // The user guide at a topic ("calculator.html", "ledger.html#plot").
    void showHelp(const QString& topic);
    HelpWindow* helpWindow() const;
    // The recorder for the record being edited; the main window waits,
    // disabled, until it closes.
    void showRecorder();
    RecorderWindow* recorder() const;
    PhoneBookWindow* phoneBook() const;
    LoanWindow* loanWindow() const;
    LedgerWindow* ledgerWindow() const;
    // Opens the notepad (when it is not open) with a new document.
    void showNotepad();
    NotepadWindow* notepad() const;
    KeywordWindow* keywordWindow() const;
    CalculatorWindow* calculator() const;
    WorldTimesWindow* worldTimes() const;

signals:
    void finished();

protected:
    // F1 in any of the program's windows opens the guide at its topic.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectToolMenus();
    void showMainWindow();
    void endProgram();

    ProgramState& state_;
    Platform platform_;
    bool startHidden_ = false;
    std::unique_ptr<RemindersWindow> remindersWindow_;
    std::unique_ptr<MainWindow> mainWindow_;
    QPointer<StartWindow> startWindow_;
    QPointer<AboutWindow> aboutWindow_;
    QPointer<PhoneBookWindow> phoneBookWindow_;
    QPointer<LoanWindow> loanWindow_;
    QPointer<KeywordWindow> keywordWindow_;
    QPointer<CalculatorWindow> calculatorWindow_;
    QPointer<WorldTimesWindow> worldTimesWindow_;
    QPointer<NotepadWindow> notepadWindow_;
    QPointer<HelpWindow> helpWindow_;
    QPointer<RecorderWindow> recorderWindow_;
    QPointer<LedgerWindow> ledgerWindow_;
    QPointer<LedgerPlotWindow> ledgerPlotWindow_;
};

} // namespace zp
