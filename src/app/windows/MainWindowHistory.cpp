// The main window's Edit > Undo, Redo and Repeat record: the commands
// themselves are the plan history's and the repeat's; here they are named on
// the menu and the window shows the plan they leave.
#include "app/windows/MainWindow.h"

#include "app/windows/RepeatDialog.h"
#include "plan/CalendarFields.h"
#include "plan/HistorySteps.h"
#include "plan/RecordRepeat.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace zp {

void MainWindow::connectHistoryCommands()
{
    connect(menuAction(QStringLiteral("Undo")), &QAction::triggered, this, [this] { takeHistoryStep(false); });
    connect(menuAction(QStringLiteral("Redo")), &QAction::triggered, this, [this] { takeHistoryStep(true); });
    connect(menuAction(QStringLiteral("Repeatrecord")), &QAction::triggered, this, [this] { repeatRecord(); });
    if (QMenu* edit = menuAction(QStringLiteral("Editmenu"))->menu()) {
        connect(edit, &QMenu::aboutToShow, this, [this] { nameHistorySteps(); });
        // The shortcuts work whether or not the menu was looked at since the
        // last change; with nothing to take they do nothing.
        connect(edit, &QMenu::aboutToHide, this, [this] {
            menuAction(QStringLiteral("Undo"))->setEnabled(true);
            menuAction(QStringLiteral("Redo"))->setEnabled(true);
        });
    }
}

void MainWindow::nameHistorySteps()
{
    const PlanHistory& history = state_.history;
    const auto name = [](const QString& pattern, const QString& nothing, const QString& step) {
        // An ampersand in a record's name is shown, not taken as a mnemonic.
        return step.isEmpty() ? nothing : pattern.arg(QString(step).replace(u'&', QStringLiteral("&&")));
    };
    QAction* undo = menuAction(QStringLiteral("Undo"));
    QAction* redo = menuAction(QStringLiteral("Redo"));
    undo->setText(name(kUndoMenuText, kUndoNothing, history.undoName()));
    redo->setText(name(kRedoMenuText, kRedoNothing, history.redoName()));
    undo->setEnabled(history.canUndo());
    redo->setEnabled(history.canRedo());
    menuAction(QStringLiteral("Repeatrecord"))->setEnabled(state_.store.recordCount() > 0);
}

void MainWindow::takeHistoryStep(bool redo)
{
    PlanHistory& history = state_.history;
    if (!(redo ? history.redo() : history.undo()))
        return;
    refreshAfterPlanChange();
    nameHistorySteps();
    menuAction(QStringLiteral("Undo"))->setEnabled(true);
    menuAction(QStringLiteral("Redo"))->setEnabled(true);
}

void MainWindow::repeatRecord()
{
    RecordStore& store = state_.store;
    if (store.recordCount() == 0)
        return;
    const int index = std::clamp(store.currentRecord, 1, store.recordCount());
    if (!calendar::recordDate(store.record(index)[Field::StartDate], store.dateOrder())) {
        platform_.messages.msgBox(kRepeatNoDate, MsgStyle::Exclamation, kRepeatTitle);
        return;
    }
    auto* dialog = findChild<RepeatDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog)
        dialog = new RepeatDialog(this);
    dialog->repeat(store, index, [this, index](std::vector<PlannerRecord> copies) {
        if (addRepeatCopies(state_.store, index, copies, platform_.messages) > 0) {
            state_.store.currentRecord = index;
            refreshAfterPlanChange();
        }
    });
}

} // namespace zp
