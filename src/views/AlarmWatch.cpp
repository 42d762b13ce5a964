#include "views/AlarmWatch.h"

#include <algorithm>

namespace zp {

namespace {

constexpr qint64 kMinuteMsecs = 60 * 1000;

// What tells a record again after the plan changed around it.
QString fingerprintOf(const RecordView& r)
{
    return r[Field::StartDate].toString() + QChar(0x1f) + r[Field::Time].toString() + QChar(0x1f) +
           r[Field::Name].toString();
}

} // namespace

AlarmWatch::AlarmWatch(ProgramState& state, Clock& clock, NotificationService& notifications, QObject* parent)
    : QObject(parent), state_(state), clock_(clock), notifications_(notifications)
{
    timer_.setSingleShot(true);
    // A coarse timer may fire up to 5% early, which costs a second wake-up
    // to reach the due time; at most one wake-up a minute needs it on time.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &AlarmWatch::check);
    notifications_.setHandlers({[this](unsigned id, const QString& action) { onAction(id, action); },
                                [this](unsigned id) { onScreen_.erase(id); }, {}});
}

AlarmWatch::~AlarmWatch()
{
    notifications_.setHandlers({});
}

qint64 AlarmWatch::nowMsecs() const
{
    return clock_.now().toMSecsSinceEpoch();
}

void AlarmWatch::setOptions(const AlarmOptions& options)
{
    options_ = options;
    rearm();
}

void AlarmWatch::rearm()
{
    schedule_.arm(state_.store, options_, clock_.timeZone());
    if (started_)
        scheduleNext();
}

void AlarmWatch::start(const QDateTime& lastChecked)
{
    started_ = true;
    schedule_.arm(state_.store, options_, clock_.timeZone());
    const qint64 now = nowMsecs();
    checkedUpTo_ = now;
    if (lastChecked.isValid()) {
        const qint64 from = std::max(lastChecked.toMSecsSinceEpoch(), now - kMissedAlarmWindowMsecs);
        std::vector<Shown> missed;
        QStringList summaries;
        for (const Alarm& a : schedule_.dueBetween(from, now)) {
            missed.push_back(shownFor(a.record));
            summaries << alarmText(state_.store.record(a.record)).summary;
        }
        if (!missed.empty())
            showMany(missed, missedAlarmsText(summaries));
    }
    if (hooks_.checkedUpTo)
        hooks_.checkedUpTo(QDateTime::fromMSecsSinceEpoch(checkedUpTo_, QTimeZone::utc()));
    scheduleNext();
}

void AlarmWatch::check()
{
    const qint64 now = nowMsecs();
    // After the clock was set back, what was shown is not shown again.
    if (now <= checkedUpTo_) {
        scheduleNext();
        return;
    }
    std::vector<Shown> due;
    for (const Alarm& a : schedule_.dueBetween(checkedUpTo_, now))
        due.push_back(shownFor(a.record));
    for (auto it = snoozed_.begin(); it != snoozed_.end();) {
        if (it->dueMsecs > now) {
            ++it;
            continue;
        }
        const int index = find(it->alarm);
        if (index > 0)
            due.push_back(shownFor(index));
        it = snoozed_.erase(it);
    }
    checkedUpTo_ = now;
    if (!due.empty()) {
        deliver(due);
        if (hooks_.checkedUpTo)
            hooks_.checkedUpTo(QDateTime::fromMSecsSinceEpoch(checkedUpTo_, QTimeZone::utc()));
    }
    scheduleNext();
}

void AlarmWatch::scheduleNext()
{
    const qint64 now = nowMsecs();
    std::optional<qint64> next;
    if (const Alarm* a = schedule_.nextAfter(std::max(now, checkedUpTo_)))
        next = a->dueMsecs;
    for (const Snoozed& s : snoozed_)
        next = next ? std::min(*next, s.dueMsecs) : s.dueMsecs;
    if (!next) {
        // Nothing to wait for until the plan or the options change.
        timer_.stop();
        return;
    }
    timer_.start(static_cast<int>(std::clamp<qint64>(*next - now, 0, kMinuteMsecs)));
}

AlarmWatch::Shown AlarmWatch::shownFor(int record) const
{
    return {record, fingerprintOf(state_.store.record(record))};
}

int AlarmWatch::find(const Shown& alarm) const
{
    const RecordStore& store = state_.store;
    auto matches = [&](int i) {
        const RecordView r = store.record(i);
        return !r.isDone() && fingerprintOf(r) == alarm.fingerprint;
    };
    if (alarm.record >= 1 && alarm.record <= store.recordCount() && matches(alarm.record))
        return alarm.record;
    for (int i = 1; i <= store.recordCount(); ++i)
        if (matches(i))
            return i;
    return 0;
}

void AlarmWatch::deliver(const std::vector<Shown>& alarms)
{
    if (alarms.size() <= static_cast<std::size_t>(kAlarmsShownSingly)) {
        for (const Shown& a : alarms)
            showOne(a);
        return;
    }
    QStringList summaries;
    for (const Shown& a : alarms)
        summaries << alarmText(state_.store.record(a.record)).summary;
    playSoundOf(alarms.front().record);
    showMany(alarms, alarmSummaryText(summaries));
}

void AlarmWatch::showOne(const Shown& alarm)
{
    const AlarmText text = alarmText(state_.store.record(alarm.record));
    playSoundOf(alarm.record);
    const Notification n{text.summary, text.body,
                         {{QStringLiteral("default"), QStringLiteral("Open")},
                          {kOpenAction, QStringLiteral("Open")},
                          {kSnoozeAction, QStringLiteral("Snooze")}}};
    const unsigned id = notifications_.available() ? notifications_.notify(n) : 0;
    if (id == 0)
        fallBack(alarm);
    else
        onScreen_[id] = alarm;
}

void AlarmWatch::showMany(const std::vector<Shown>& alarms, const AlarmText& text)
{
    const Notification n{text.summary, text.body,
                         {{QStringLiteral("default"), QStringLiteral("Open")}, {kOpenAction, QStringLiteral("Open")}}};
    const unsigned id = notifications_.available() ? notifications_.notify(n) : 0;
    if (id == 0)
        fallBack(alarms.front());
    else
        onScreen_[id] = alarms.front();
}

void AlarmWatch::fallBack(const Shown& alarm)
{
    if (hooks_.showDetails)
        hooks_.showDetails(alarm.record);
}

void AlarmWatch::playSoundOf(int record)
{
    if (state_.settings.soundOn != 1 || !hooks_.playSound)
        return;
    const QString path = state_.store.field(Field::AudioPath, record).trimmed();
    if (!path.isEmpty() && path != QLatin1String("plandefault"))
        hooks_.playSound(path);
}

void AlarmWatch::onAction(unsigned id, const QString& action)
{
    const auto it = onScreen_.find(id);
    if (it == onScreen_.end())
        return;
    const Shown alarm = it->second;
    // Answered: the notification has done its work (some daemons keep it).
    notifications_.close(id);
    if (action == kSnoozeAction) {
        snoozed_.push_back({nowMsecs() + kSnoozeMinutes * kMinuteMsecs, alarm});
        scheduleNext();
    } else if (action == kOpenAction || action == QLatin1String("default")) {
        const int index = find(alarm);
        if (index > 0 && hooks_.openRecord)
            hooks_.openRecord(index);
    }
}

std::vector<std::pair<QDateTime, QString>> AlarmWatch::upcoming(int count) const
{
    std::vector<std::pair<qint64, int>> next; // due, record
    const qint64 from = std::max(nowMsecs(), checkedUpTo_);
    const auto all = schedule_.all();
    const Alarm* first = schedule_.nextAfter(from);
    for (auto it = first ? all.begin() + (first - all.data()) : all.end();
         it != all.end() && next.size() < static_cast<std::size_t>(count); ++it)
        next.emplace_back(it->dueMsecs, it->record);
    for (const Snoozed& s : snoozed_)
        if (const int index = find(s.alarm))
            next.emplace_back(s.dueMsecs, index);
    std::stable_sort(next.begin(), next.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    next.resize(std::min(next.size(), static_cast<std::size_t>(count)));
    std::vector<std::pair<QDateTime, QString>> out;
    for (const auto& [due, record] : next)
        out.emplace_back(QDateTime::fromMSecsSinceEpoch(due, clock_.timeZone()),
                         alarmText(state_.store.record(record)).summary);
    return out;
}

} // namespace zp
