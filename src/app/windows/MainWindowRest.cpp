// The main window out of sight in the tray.

#include "app/windows/MainWindow.h"

#include <QTimer>

namespace zp {

void MainWindow::setResting(bool resting)
{
    if (resting == resting_)
        return;
    resting_ = resting;
    if (resting) {
        // The recovery copy keeps its two-minute round: unsaved work stays safe.
        for (QTimer* timer : {timer1_, timer2_, timer3_}) {
            if (timer->isActive()) {
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
}

} // namespace zp
