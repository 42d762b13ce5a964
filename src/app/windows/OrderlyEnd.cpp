#include "app/windows/OrderlyEnd.h"

#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "ui/TerminationWatcher.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
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
    // Start-up may still be under way and have more questions to ask (a
    // plan that cannot be read after the settings question); none of them
    // can be answered any more, so each is closed as it appears.
    QCoreApplication::instance()->installEventFilter(this);
    if (MainWindow* window = planner_.mainWindow())
        window->endWithoutAsking();
    // A question on the screen (even the one at start-up, before the main
    // event loop runs) cannot be answered any more.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        closeModal(modal);
        if (QApplication::activeModalWidget() == modal)
            break;
    }
    QCoreApplication::quit();
}

bool OrderlyEnd::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && widget->isModal())
            QTimer::singleShot(0, widget, [widget] { closeModal(widget); });
    }
    return QObject::eventFilter(watched, event);
}

// Closing is what Escape does: a question answers with its safe button
// (No, Cancel). One that refuses to close is hidden, which ends its wait.
void OrderlyEnd::closeModal(QWidget* modal)
{
    modal->close();
    if (modal->isVisible())
        modal->hide();
}

} // namespace zp
