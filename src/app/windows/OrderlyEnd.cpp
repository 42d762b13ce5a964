#include "app/windows/OrderlyEnd.h"

#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "ui/TerminationWatcher.h"

#include <QApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace zp {

namespace {

// The one orderly end of the running planner, for the last chance.
std::atomic<OrderlyEnd*> armedEnd{nullptr};
QtMessageHandler nextMessageHandler = nullptr;

void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // Qt's display connections end the process from inside the event loop
    // when the display is gone: the X11 one calls exit() after this
    // warning; the Wayland one may call _exit(), which runs no exit
    // handler, so its warning is the only chance. A fatal message aborts.
    if (type == QtFatalMsg
        || (type == QtWarningMsg
            && (message.startsWith(QLatin1String("The X11 connection broke"))
                || message.startsWith(QLatin1String("The Wayland connection")))))
        OrderlyEnd::lastChance();
    nextMessageHandler(type, context, message);
}

} // namespace

OrderlyEnd::OrderlyEnd(PlannerApp& planner, TerminationWatcher& watcher, QObject* parent)
    : QObject(parent), planner_(planner)
{
    connect(&watcher, &TerminationWatcher::terminationRequested, this, &OrderlyEnd::endNow);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, &OrderlyEnd::endNow);
    static std::once_flag installed;
    std::call_once(installed, [] {
        std::atexit(&OrderlyEnd::lastChance);
        nextMessageHandler = qInstallMessageHandler(onQtMessage);
    });
    armedEnd = this;
}

OrderlyEnd::~OrderlyEnd()
{
    OrderlyEnd* self = this;
    armedEnd.compare_exchange_strong(self, nullptr);
}

void OrderlyEnd::lastChance()
{
    OrderlyEnd* end = armedEnd.load();
    // The windows belong to the main thread: a fatal message of another
    // thread finds them busy.
    if (!end || end->ending_ || QThread::currentThread() != end->thread())
        return;
    end->ending_ = true;
    if (MainWindow* window = end->planner_.mainWindow())
        window->keepUnsavedWork();
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
