#include "app/windows/RecentPlansMenu.h"

#include "plan/FileCommands.h"
#include "state/ProgramState.h"
#include "state/RecentPlans.h"
#include "ui/Clock.h"
#include "ui/MessageBox.h"

#include <QFileInfo>
#include <QStyleOptionMenuItem>

namespace zp {

namespace {
constexpr const char* kMissing = "zorvikMissing";
}

RecentPlansMenu::RecentPlansMenu(ProgramState& state, MessageBoxService& messages, Clock& clock,
                                 std::function<void(const QString&)> open, QMenu& fileMenu, QAction* before)
    : QMenu(QStringLiteral("&Recent plans"), &fileMenu), state_(state), messages_(messages), clock_(clock),
      open_(std::move(open))
{
    setObjectName(QStringLiteral("recentPlans"));
    menuAction()->setObjectName(QStringLiteral("recentPlans"));
    fileMenu.insertMenu(before, this);
    // Another copy of the planner may have opened plans, and files come
    // and go: the list is read afresh whenever the File menu opens.
    connect(&fileMenu, &QMenu::aboutToShow, this, &RecentPlansMenu::rebuild);
    rebuild();
}

void RecentPlansMenu::noteUsed(const QString& path)
{
    noteRecentPlan(state_.preferences, state_.recentlyUsedPath, path, clock_.now());
    rebuild();
}

void RecentPlansMenu::rebuild()
{
    clear();
    const QStringList plans = recentPlans(state_.preferences);
    int position = 0;
    for (const QString& plan : plans) {
        QAction* a = addAction(recentPlanCaption(++position, plan));
        const bool missing = !QFileInfo(plan).isFile();
        a->setProperty(kMissing, missing);
        const QString tip = missing ? QStringLiteral("%1 (not found)").arg(plan) : plan;
        a->setStatusTip(tip);
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, [this, plan] { choose(plan); });
    }
    setToolTipsVisible(true);
    menuAction()->setEnabled(!plans.isEmpty());
}

void RecentPlansMenu::choose(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        messages_.msgBox(QStringLiteral("The plan %1 cannot be found.\nIt has been taken off the list of recent plans.")
                             .arg(path),
                         MsgStyle::Exclamation, kOpenTitle);
        removeRecentPlan(state_.preferences, path);
        rebuild();
        return;
    }
    open_(path);
}

void RecentPlansMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const
{
    QMenu::initStyleOption(option, action);
    if (!action || !action->property(kMissing).toBool())
        return;
    // Drawn in the disabled colours, but left enabled so it can be chosen.
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        option->palette.setBrush(role, option->palette.brush(QPalette::Disabled, role));
}

} // namespace zp
