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
        // Every periodic timer of the window and its parts (the status bar's
        // clock too) but the recovery copy's two-minute round: unsaved work
        // stays safe.
        for (QTimer* timer : findChildren<QTimer*>()) {
            if (timer != recoveryTimer_ && timer->isActive() && !timer->isSingleShot()) {
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
