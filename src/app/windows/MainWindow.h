#pragma once
#include "app/MainLayout.h"
#include "app/windows/EditPage.h"
#include "state/ProgramState.h"
#include "plan/FileCommands.h"
#include "plan/RecordEditing.h"
#include "ui/Platform.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QSlider;
class QTabWidget;
class QModelIndex;
class QTableView;
class QTimer;

namespace zp {

class CalendarCommands;
class CalendarServerCommands;
struct CalendarServerHookup;
class EntryGridModel;
class FindBar;
class RecordsFind;
class PrintCommands;
class HintRouter;
class RecordsListModel;
class ImageButton;
class MainStatusBar;
class RecordsListView;
class RecentPlansMenu;

// The main window: toolbar, hint panel, moving logo, the records list and
// the record pages side by side, status bar, menus and timers.
class MainWindow : public QMainWindow, private FileCommandsView, private EditPageHost {
    Q_OBJECT
public:
    MainWindow(ProgramState& state, const Platform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up steps run inside the main window: date style, placement,
    // plan name, fonts and the settings shown on menus and labels.
    void initialise();

    void layoutMainWindow() override;
    void showRecordPage(int previousPage);
    // Fills the Info page afresh: the computer, the program and the plan's
    // statistics.
    void buildSystemInfo();
    void applyFontSettings();
    void applySettingsToWindow();
    void rebuildRecordsList() override;
    // Ends the program the one way it ends: File > Exit (viaMenu) or
    // closing the window.
    // Returns false when the user chose to save and the save did not
    // happen: the program then stays open, with nothing lost.
    bool exitProgram(bool viaMenu);
    // At start, after the plan is read: a recovery copy left by a run that
    // ended before saving is offered for restoring.
    void offerRecoveryCopy();
    // Ends at once, asking nothing (a termination signal, the end of the
    // desktop session): unsaved changes go to a recovery copy, the settings
    // are saved and the plan's lock is let go.
    void endWithoutAsking();
    // Its first half, all a process that is going down anyway (the display
    // is gone) can still do: a calendar read stopped, the recovery copy,
    // the settings, the lock released; no window, question or event loop.
    // False when the program had already ended in order.
    bool keepUnsavedWork();
    CalendarCommands& calendarCommands() { return *calendar_; }
    CalendarServerCommands& calendarServerCommands();
    // Writes the recovery copy while the plan has unsaved changes (removes
    // it when it has none); run every two minutes.
    void keepRecoveryCopy();
    // A successful save makes the recovery copy needless.
    void planSaved() override;
    // Reads the system's date order and ticks the date style it shows;
    // with refreshViews, a changed order converts the plan's dates.
    void detectSystemDateStyle(bool refreshViews);
    // The plan named at start-up; one that cannot be read (or is in use
    // and the user declines) leaves an untitled empty plan.
    void readStartupPlan();
    FileCommands& fileCommands() { return *files_; }
    // Selecting and double-clicking a line of the records list.
    void selectListLine(int index);
    void editListLine(int index);
    void setDisplayMode(const QString& word);
    // Find (MainWindowFind.cpp): Edit > Find... opens the bar above the
    // records list; the list then shows only the records with its text.
    void openFind();
    // F3 and Enter (forward), Shift+F3 and Shift+Enter: the next or
    // previous record found becomes current.
    void findNext(bool forward);
    // Escape: the bar goes, the whole list comes back with the record found
    // current.
    void closeFind();
    bool findOpen() const;
    // The keyboard goes to the records list, on the current line. By
    // default the program moves it, not the user: a date box losing it is
    // not being left (its text is the plan's, not typed), so it is not checked.
    void focusRecordsList(Qt::FocusReason reason = Qt::ActiveWindowFocusReason);

    // Actions other windows open; the owner wires them as windows arrive.
    void setOpenAbout(std::function<void()> open) { openAbout_ = std::move(open); }
    void setOnExit(std::function<void()> onExit) { onExit_ = std::move(onExit); }
    // Asked first when the program is to end; false keeps it running (a
    // tool window with unsaved work the user kept open).
    void setBeforeExit(std::function<bool()> beforeExit) { beforeExit_ = std::move(beforeExit); }
    void setOpenRecorder(std::function<void()> open) { openRecorder_ = std::move(open); }
    // Asked when the window is closed: true hides it (the planner keeps
    // running in the tray) instead of ending the program.
    void setCloseToTray(std::function<bool()> closeToTray) { closeToTray_ = std::move(closeToTray); }
    // Out of sight in the tray, the window's clock, date check and logo
    // stop, so an idle planner hardly wakes; back in sight they go on.
    void setResting(bool resting);
    // Plays a record's sound without waiting, when sound is on and the
    // record has one.
    void playSound(const QString& path);
    // The same for the record the user picked; the hint panel says why its
    // sound cannot be played (missing, a folder, a pipe or a device).
    void playRecordSound(const QString& path) override;

    QAction* menuAction(const QString& name) const override;
    HintRouter& hints() override { return *hints_; }
    QString statusPanelText(int panel) const;
    void setStatusPanelText(int panel, const QString& text);
    ControlGeometry currentGeometry() const;
    QRect twipsGeometry() const; // outer: left, top, width, height
    void setTwipsGeometry(const WindowPlacement& placement);

    // Twips per pixel of the screen the window is on.
    const Twips& twips() const { return twips_; }
    // How much the controls' layout is grown so the fonts in use fit it,
    // and the twips the controls are placed in.
    double fontGrowth() const { return fontGrowth_; }
    const Twips& layoutTwips() const { return layoutTwips_; }

    // Long work (re-sorting) shows the progress bar and stops the date check.
    ProgressSink& progressSink() override;
    // Printing from the menus and from other windows' grids.
    PrintCommands& printCommands() { return *printCommands_; }

    // Test hooks: one tick of each timer.
    void tickTimer1();
    void tickTimer2();
    void tickTimer3();

signals:
    // The display font changed: open tool windows take it too.
    void fontsApplied();
    // The records list was rebuilt: after every edit and every plan read.
    void recordsListRebuilt();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void connectFileCommands();
    void createToolbar();
    void createPanels();
    void createRecordPages();
    void createTimers();
    void createKeyboardCommands();
    void attachHints();
    void placeDesignLayout();
    void applyGeometry(const ControlGeometry& geometry);
    void onSliderChanged(int value);
    void onLogoClicked();
    void toggleGridStretch();
    void chooseFont();
    void showImagePage() override;
    void showPlanName() override;
    void refreshAfterPlanChange() override;
    ProgressSink* progress() override;
    void planFileUsed(const QString& path) override;
    // Row 1 of the placements and the maximised state, at exit.
    void rememberMainPlacement();
    // Stops the timers and ends the program, asked or not.
    void leave();
    void setMenuTick(const QString& name, bool ticked) override;
    bool menuTick(const QString& name) const;
    QWidget* control(const QString& name) const;

    void connectPrinting();
    // File > Import and File > Export of calendar files.
    void connectCalendarCommands();
    // Edit > Undo, Redo and Repeat record (MainWindowHistory.cpp).
    void connectHistoryCommands();
    void takeHistoryStep(bool redo);
    void nameHistorySteps();
    void repeatRecord();
    // File > Calendar server..., Publish and Import from a calendar server
    // (MainWindowCalendarServer.cpp).
    void connectCalendarServer();
    void showRecordDetailsPage();
    void showRecordTab(int page) override;
    // The Image button shows the Image page while it asks, without leaving
    // the Edit page (the typed fields and a fresh recording stay).
    void peekRecordTab(int page) override;
    int selectedListLine() const override;
    // What picking a record's line does: the pages show it, the entry
    // panel follows it and, when `speak`, its sound plays.
    void selectRecord(int record, bool speak);

    // Find's share of the window (MainWindowFind.cpp).
    void createFind();
    void findAsTyped(const QString& text);
    // The records a rebuild shows while the bar is open, found afresh;
    // nothing when the bar is closed.
    std::optional<std::vector<int>> refreshFind();
    void showFindCount();
    // Places the find bar (when open) at the top of the list's area and the
    // list below it; the area is where the layout puts the list.
    void placeRecordsList(const QRect& area);
    void openRecorder() override;
    bool editPageShowing() const override;

    // The Edit page: the entry panel, the entry grid and the edit commands
    // of the menus.
    EditPage* editPage_ = nullptr;

    class Progress;

    ProgramState& state_;
    Platform platform_;
    Twips twips_;
    // The controls are placed in twips drawn for small fonts; with larger
    // fonts every twip of the layout takes more pixels (twips_ shrunk by
    // fontGrowth_), so the whole arrangement grows with the text.
    Twips layoutTwips_;
    double fontGrowth_ = 1.0;
    WindowPlacement lastPlacement_; // as asked for, before growing
    void fitLayoutToFonts();
    void setGridColumnWidths(const std::vector<int>& twipsWidths);
    std::unique_ptr<Progress> progress_;     // re-sorting
    std::unique_ptr<Progress> fileProgress_; // reading and writing plans
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<Progress> printProgress_;     // printing
    std::unique_ptr<PrintCommands> printCommands_;
    std::unique_ptr<CalendarCommands> calendar_;
    std::unique_ptr<CalendarServerHookup> calendarServer_;
    RecentPlansMenu* recentPlans_ = nullptr;
    HintRouter* hints_ = nullptr;
    std::function<void()> openAbout_;
    std::function<void()> onExit_;
    std::function<bool()> beforeExit_;
    std::function<void()> openRecorder_;
    std::function<bool()> closeToTray_;
    std::vector<QTimer*> restingTimers_; // stopped while resting, to start again
    bool resting_ = false;
    bool exiting_ = false;
    bool inLayout_ = false;
    int logoIntervalMs_ = 100;
    LogoScroller logo_;

    QWidget* client_ = nullptr;
    std::map<QString, QAction*> actions_;
    std::map<QString, QWidget*> controls_;
    QWidget* picToolbar_ = nullptr;
    QLabel* panel3D3_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    QLabel* picture1_ = nullptr;
    QLabel* picture2_ = nullptr;
    QLabel* image32_ = nullptr;
    QTabWidget* ssTab1_ = nullptr;
    QTabWidget* ssTab2_ = nullptr;
    RecordsListView* viewlist_ = nullptr;
    RecordsListModel* listModel_ = nullptr;
    FindBar* findBar_ = nullptr;
    std::unique_ptr<RecordsFind> find_;
    QRect listArea_; // the list's place with the find bar's
    QPlainTextEdit* text1_ = nullptr;
    QPlainTextEdit* text12_ = nullptr;
    QLabel* image1_ = nullptr;
    QSlider* slider1_ = nullptr;
    MainStatusBar* statusBar_ = nullptr;
    QTimer* timer1_ = nullptr;
    QTimer* timer2_ = nullptr;
    QTimer* timer3_ = nullptr;
    QTimer* recoveryTimer_ = nullptr;
    // The plan name the last recovery copy was written under.
    std::optional<QString> recoveryCopyOf_;
    int currentPage_ = 0;
};

} // namespace zp
