#pragma once
#include "state/ProgramState.h"
#include "ui/NotificationService.h"
#include "ui/Platform.h"
#include "views/AlarmWatch.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QDialog;
class QMenu;
class QSystemTrayIcon;

namespace zp {

class PlannerApp;
class RecordDetailsWindow;

// The planner's alarms in the running program: the watch over the open
// plan, Options > Alarms..., the tray icon with its menu, and the record
// details window that stands in for a notification when the desktop has
// no notification service.
class PlannerAlarms : public QObject {
    Q_OBJECT
public:
    // `trayAvailable`: the desktop shows tray icons (QSystemTrayIcon).
    PlannerAlarms(PlannerApp& planner, ProgramState& state, const Platform& platform,
                  NotificationService& notifications, bool trayAvailable, QObject* parent = nullptr);
    // Remembers how far alarms were handed out, for the next start.
    ~PlannerAlarms() override;

    // Starts the watch (missed alarms first) and shows the tray icon when
    // it is wanted; `inTray`: the planner started with no window (--tray).
    void start(bool inTray);

    AlarmWatch& watch() { return watch_; }
    QMenu* trayMenu() const { return trayMenu_.get(); }
    // Fills the tray menu: Show, the next three alarms, Exit.
    void refreshTrayMenu();
    RecordDetailsWindow* detailsWindow() const;
    // Options > Alarms...; the hook, when set, is given the open dialog (tests answer it).
    void chooseOptions();
    void setDialogHook(std::function<void(QDialog&)> hook) { dialogHook_ = std::move(hook); }
    // Closing the main window leaves the planner in the tray.
    bool keepsRunningInTray() const;

private:
    void showPlanner();
    void openRecord(int index);
    void showDetails(int index);
    void updateTray();

    PlannerApp& planner_;
    ProgramState& state_;
    Platform platform_;
    bool trayAvailable_;
    bool startedInTray_ = false;
    AlarmWatch watch_;
    std::unique_ptr<QMenu> trayMenu_;
    QPointer<QSystemTrayIcon> tray_;
    QPointer<RecordDetailsWindow> details_;
    std::function<void(QDialog&)> dialogHook_;
};

} // namespace zp
