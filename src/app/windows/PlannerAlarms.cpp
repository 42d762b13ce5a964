#include "app/windows/PlannerAlarms.h"

#include "app/Autostart.h"
#include "app/windows/AlarmsDialog.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "ui/MessageBox.h"
#include "ui/SystemServices.h"
#include "views/RecordDetails.h"
#include "views/windows/RecordDetailsWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace zp {

namespace {

// The command the login entry starts: `zorvik-planner` beside this program
// (or in the bin folder the installed windows program answers to).
QString plannerCommand()
{
    return QDir(plannerCommandDirectory(QCoreApplication::applicationDirPath())).filePath(QStringLiteral("zorvik-planner"));
}

} // namespace

PlannerAlarms::PlannerAlarms(PlannerApp& planner, ProgramState& state, const Platform& platform,
                             NotificationService& notifications, bool trayAvailable, QObject* parent)
    : QObject(parent), planner_(planner), state_(state), platform_(platform), trayAvailable_(trayAvailable),
      watch_(state, platform.clock, notifications)
{
    watch_.setHooks({[this](int index) { openRecord(index); }, [this](int index) { showDetails(index); },
                     [this](const QString& path) { platform_.sound.play(path); },
                     [this](const QDateTime& moment) {
                         setAlarmsCheckedUpTo(state_.preferences, moment);
                         state_.preferences.sync();
                     }});
    trayMenu_ = std::make_unique<QMenu>();
    trayMenu_->setObjectName(QStringLiteral("trayMenu"));
    connect(trayMenu_.get(), &QMenu::aboutToShow, this, &PlannerAlarms::refreshTrayMenu);
    refreshTrayMenu();
    MainWindow* main = planner_.mainWindow();
    // Every edit and every plan read rebuilds the list: the alarms follow.
    connect(main, &MainWindow::recordsListRebuilt, &watch_, &AlarmWatch::rearm);
    connect(main->menuAction(QStringLiteral("Alarms")), &QAction::triggered, this, &PlannerAlarms::chooseOptions);
    main->setCloseToTray([this] {
        if (!keepsRunningInTray())
            return false;
        planner_.mainWindow()->setResting(true);
        return true;
    });
}

PlannerAlarms::~PlannerAlarms()
{
    planner_.mainWindow()->setCloseToTray({});
    // Not when the program ended before the watch began.
    if (watch_.checkedUpTo().toMSecsSinceEpoch() > 0) {
        setAlarmsCheckedUpTo(state_.preferences, watch_.checkedUpTo());
        state_.preferences.sync();
    }
    delete details_.data();
    delete tray_.data();
}

void PlannerAlarms::start(bool inTray)
{
    startedInTray_ = inTray && trayAvailable_;
    watch_.setOptions(readAlarmOptions(state_.preferences));
    updateTray();
    if (startedInTray_)
        planner_.mainWindow()->setResting(true);
    watch_.start(alarmsCheckedUpTo(state_.preferences));
}

bool PlannerAlarms::keepsRunningInTray() const
{
    return trayAvailable_ && (watch_.options().keepInTray || startedInTray_);
}

void PlannerAlarms::updateTray()
{
    const bool wanted = keepsRunningInTray();
    // With the window gone to the tray, closing a tool window must not end
    // the program as closing its last window would.
    QApplication::setQuitOnLastWindowClosed(!wanted);
    if (!wanted) {
        delete tray_.data();
        return;
    }
    if (!tray_) {
        tray_ = new QSystemTrayIcon(QApplication::windowIcon(), this);
        tray_->setToolTip(QStringLiteral("Zorvik Planner"));
        tray_->setContextMenu(trayMenu_.get());
        connect(tray_.data(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
            if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick)
                showPlanner();
        });
    }
    tray_->show();
}

void PlannerAlarms::refreshTrayMenu()
{
    trayMenu_->clear();
    QAction* show = trayMenu_->addAction(QStringLiteral("&Show"), this, &PlannerAlarms::showPlanner);
    show->setObjectName(QStringLiteral("trayShow"));
    trayMenu_->addSeparator();
    const auto next = watch_.upcoming(3);
    if (next.empty())
        trayMenu_->addAction(QStringLiteral("No alarms to come"))->setEnabled(false);
    for (const auto& [when, summary] : next) {
        QAction* item = trayMenu_->addAction(when.toString(QStringLiteral("ddd HH:mm")) + QStringLiteral("  ") + summary);
        item->setObjectName(QStringLiteral("trayAlarm"));
        item->setEnabled(false);
    }
    trayMenu_->addSeparator();
    QAction* exit = trayMenu_->addAction(QStringLiteral("E&xit"), this, [this] {
        // The File > Exit way out, with its questions about unsaved work.
        planner_.mainWindow()->exitProgram(true);
    });
    exit->setObjectName(QStringLiteral("trayExit"));
}

void PlannerAlarms::showPlanner()
{
    planner_.mainWindow()->setResting(false);
    planner_.showPlanner();
}

void PlannerAlarms::openRecord(int index)
{
    showPlanner();
    MainWindow* main = planner_.mainWindow();
    main->selectListLine(index - 1);
    // The list's current line moves to the record with the rebuild.
    main->rebuildRecordsList();
}

RecordDetailsWindow* PlannerAlarms::detailsWindow() const
{
    return details_.data();
}

void PlannerAlarms::showDetails(int index)
{
    if (!details_)
        details_ = new RecordDetailsWindow;
    const ReminderRow row{QStringLiteral(" %1").arg(index), PackedRecord(state_.store.record(index))};
    details_->showText(recordDetailsText(state_.store, row));
    details_->show();
    details_->raise();
}

void PlannerAlarms::chooseOptions()
{
    AlarmsDialog dialog(watch_.options(), startsAtLogin(), trayAvailable_, planner_.mainWindow());
    if (dialogHook_)
        QTimer::singleShot(0, &dialog, [this, &dialog] { dialogHook_(dialog); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const AlarmOptions chosen = dialog.options();
    writeAlarmOptions(state_.preferences, chosen);
    state_.preferences.sync();
    watch_.setOptions(chosen);
    updateTray();
    if (dialog.startAtLogin() != startsAtLogin()) {
        QString error;
        if (!setStartAtLogin(dialog.startAtLogin(), plannerCommand(), &error))
            platform_.messages.msgBox(QStringLiteral("The start at login could not be changed: %1.").arg(error),
                                      MsgStyle::Exclamation, QStringLiteral("Alarms"));
    }
}

} // namespace zp
