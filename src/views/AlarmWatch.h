#pragma once
#include "state/AlarmSchedule.h"
#include "state/ProgramState.h"
#include "ui/Clock.h"
#include "ui/NotificationService.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <vector>

namespace zp {

inline const QString kOpenAction = QStringLiteral("open");
inline const QString kSnoozeAction = QStringLiteral("snooze");

// Hands out the alarms of the open plan while the planner runs: one
// single-shot timer to the next alarm, but never longer than a minute, so
// a clock that jumps (suspend and resume, a hand-set clock) is noticed
// within a minute. What fell due since the last check is shown once: a
// forward jump shows the alarms it skipped once (one summary when many), a
// backward jump shows nothing again. Without a notification service an
// alarm opens the record details window instead.
class AlarmWatch : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Shows the main window with record `index` current.
        std::function<void(int index)> openRecord;
        // Shows the record details window for record `index`.
        std::function<void(int index)> showDetails;
        std::function<void(const QString& path)> playSound;
        // Alarms up to this moment were handed out: remember it for the
        // next start's missed alarms.
        std::function<void(const QDateTime& moment)> checkedUpTo;
    };

    AlarmWatch(ProgramState& state, Clock& clock, NotificationService& notifications, QObject* parent = nullptr);
    ~AlarmWatch() override;

    void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }
    void setOptions(const AlarmOptions& options);
    const AlarmOptions& options() const { return options_; }

    // Starts watching. Alarms due after `lastChecked` (the last run's
    // checkedUpTo), within the last 24 hours, come first as one "missed"
    // notification; an invalid `lastChecked` (a first start) misses none.
    void start(const QDateTime& lastChecked);
    // Arms the alarms afresh from the plan: after loading and every edit.
    void rearm();
    // Looks at the clock and shows what fell due; the timer calls it.
    void check();

    const AlarmSchedule& schedule() const { return schedule_; }
    // Alarms due up to this moment were handed out (the last check).
    QDateTime checkedUpTo() const { return QDateTime::fromMSecsSinceEpoch(checkedUpTo_, QTimeZone::utc()); }
    // The next alarms still to come, soonest first (for the tray menu):
    // the moment and the summary of each.
    std::vector<std::pair<QDateTime, QString>> upcoming(int count) const;
    // Milliseconds the timer waits now; -1 when stopped.
    int timerInterval() const { return timer_.isActive() ? timer_.interval() : -1; }

private:
    struct Shown {
        int record = 0;
        QString fingerprint;
    };
    struct Snoozed {
        qint64 dueMsecs = 0;
        Shown alarm;
    };

    void deliver(const std::vector<Shown>& alarms);
    void showOne(const Shown& alarm);
    void showMany(const std::vector<Shown>& alarms, const AlarmText& text);
    void fallBack(const Shown& alarm);
    void playSoundOf(int record);
    void onAction(unsigned id, const QString& action);
    void scheduleNext();
    // The record an alarm was for, where it is now; 0 when gone or done.
    int find(const Shown& alarm) const;
    Shown shownFor(int record) const;
    qint64 nowMsecs() const;

    ProgramState& state_;
    Clock& clock_;
    NotificationService& notifications_;
    Hooks hooks_;
    AlarmOptions options_;
    AlarmSchedule schedule_;
    std::vector<Snoozed> snoozed_;
    std::map<unsigned, Shown> onScreen_;
    qint64 checkedUpTo_ = 0;
    bool started_ = false;
    QTimer timer_;
};

} // namespace zp
