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
//
// It also keeps the last chance: when the process ends without this end
// having run (the display went away and Qt's display connection called
// exit(), or a fatal Qt message), an exit handler and a Qt message hook
// write the recovery copy and release the lock, asking nothing and without
// an event loop.
class OrderlyEnd : public QObject {
    Q_OBJECT
public:
    OrderlyEnd(PlannerApp& planner, TerminationWatcher& watcher, QObject* parent = nullptr);
    ~OrderlyEnd() override;

    // Ends at once, without questions; later requests do nothing.
    void endNow();
    // Whether an end was requested (start-up checks this before it enters
    // the event loop).
    bool ending() const { return ending_; }
    // Run by the exit handler and the message hook: what can still be done
    // when the process is going down without the orderly end having run.
    static void lastChance();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void closeModal(QWidget* modal);
    PlannerApp& planner_;
    bool ending_ = false;
};

} // namespace zp
