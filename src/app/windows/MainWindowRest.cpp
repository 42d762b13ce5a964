// The main window out of sight in the tray.

#include "app/windows/MainWindow.h"

#include "app/windows/MainStatusBar.h"

#include <QTimer>

namespace zp {

void MainWindow::setResting(bool resting)
{
    if (resting == resting_)
        return;
    resting_ = resting;
    if (resting) {
        // Nothing is edited while the window is out of sight: the recovery
        // copy is brought up to date once, and every periodic timer of the
        // window and its parts (the status bar's clock too) waits.
        keepRecoveryCopy();
        for (QTimer* timer : findChildren<QTimer*>()) {
            if (timer->isActive() && !timer->isSingleShot()) {
                timer->stop();
                restingTimers_.push_back(timer);
            }
        }
        return;
    }
    for (QTimer* timer : restingTimers_)
        timer->start();
    restingTimers_.clear();
    // What the stopped ticks would have noticed meanwhile.
    tickTimer1();
    tickTimer2();
    statusBar_->refreshClock();
}

} // namespace zp
