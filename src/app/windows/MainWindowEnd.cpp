// The main window at start and end: the start-up steps, the plan named
// at start, the recovery copy and the ways the program ends.

#include "app/windows/MainWindow.h"

#include "app/SettingsFile.h"
#include "app/windows/CalendarCommands.h"
#include "app/windows/CalendarServerCommands.h"
#include "app/windows/EditPage.h"
#include "app/windows/MainStatusBar.h"
#include "app/windows/RecordsListView.h"
#include "plan/DateStyle.h"
#include "plan/DateText.h"
#include "plan/HistorySteps.h"
#include "plan/PlanFile.h"
#include "plan/Recovery.h"
#include "views/RecordsList.h"
#include "ui/WindowGeometry.h"
#include "ui/QtPlatform.h"
#include "ui/TextFit.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QCloseEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace zp {

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
        const HistoryStep step(&state_.history, kDateStyleStep);
        state_.history.keepFileDateStyle();
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
    calendarServerCommands().planSaved();
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
    leave();
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
    leave();
}

void MainWindow::leave()
{
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
    if (!exiting_ && closeToTray_ && closeToTray_()) {
        event->ignore();
        hide();
        return;
    }
    if (exitProgram(false))
        event->accept();
    else
        event->ignore();
}

} // namespace zp
