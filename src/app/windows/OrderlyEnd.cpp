#include "app/windows/OrderlyEnd.h"

#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "ui/TerminationWatcher.h"

#include <QApplication>
#include <QWidget>

namespace zp {

OrderlyEnd::OrderlyEnd(PlannerApp& planner, TerminationWatcher& watcher, QObject* parent)
    : QObject(parent), planner_(planner)
{
    connect(&watcher, &TerminationWatcher::terminationRequested, this, &OrderlyEnd::endNow);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, &OrderlyEnd::endNow);
}

void OrderlyEnd::endNow()
{
    if (ending_)
        return;
    ending_ = true;
    if (MainWindow* window = planner_.mainWindow())
        window->endWithoutAsking();
    // A question on the screen (even the one at start-up, before the main
    // event loop runs) cannot be answered any more.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        if (QApplication::activeModalWidget() == modal) {
            modal->hide();
            break;
        }
    }
    QCoreApplication::quit();
}

} // namespace zp
