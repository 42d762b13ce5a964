#pragma once
#include <QObject>

class QWidget;

namespace zp {

class PlannerApp;
class TerminationWatcher;

// A termination signal or the end of the desktop session is a close that
// cannot wait for answers: unsaved changes go to a recovery copy, the
// settings are saved, the lock is released and the event loop ends. Set up
// before the plan is opened, so a signal during start-up is not the
// default, abrupt end either.
class OrderlyEnd : public QObject {
    Q_OBJECT
public:
    OrderlyEnd(PlannerApp& planner, TerminationWatcher& watcher, QObject* parent = nullptr);

    // Ends at once, without questions; later requests do nothing.
    void endNow();
    // Whether an end was requested (start-up checks this before it enters
    // the event loop).
    bool ending() const { return ending_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void closeModal(QWidget* modal);
    PlannerApp& planner_;
    bool ending_ = false;
};

} // namespace zp
