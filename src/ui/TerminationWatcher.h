#pragma once
#include <QObject>

class QSocketNotifier;

namespace zp {

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal delivered on the event
// loop (through a self-pipe, the one thing safe to do in a signal handler),
// so the program can end in an orderly way instead of being cut off.
class TerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();
    QSocketNotifier* notifier_ = nullptr;
    bool requested_ = false;
};

} // namespace zp
