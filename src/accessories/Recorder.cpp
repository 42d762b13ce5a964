#include "accessories/Recorder.h"

#include "plan/WriteTarget.h"

#include <QtMath>
#include <algorithm>

namespace zp {

const std::array<RecordLimitItem, 5>& recordLimitItems()
{
    static const std::array<RecordLimitItem, 5> items{{
        {"two", "&2 seconds", 2, 2, 2000},
        {"five", "&5 seconds", 5, 5, 5000},
        {"ten", "&10 seconds", 10, 10, 10000},
        {"twenty", "&20 seconds", 20, 20, 20000},
        {"unlimited", "&Unlimited", 101, kUnlimitedRecordSeconds, 60000},
    }};
    return items;
}

std::optional<RecordLimitItem> recordLimitFor(double maxSeconds)
{
    for (const RecordLimitItem& item : recordLimitItems())
        if (item.seconds == maxSeconds)
            return item;
    return std::nullopt;
}

QString newRecordingPath(const QString& folder, const QDateTime& now,
                         const std::function<bool(const QString&)>& exists)
{
    QString prefix = folder;
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    const QString stamp = now.toString(QStringLiteral("ddHHmmss"));
    QString path = prefix + stamp + QStringLiteral(".WAV");
    for (int n = 2; exists && exists(path); ++n)
        path = prefix + stamp + QLatin1Char('-') + QString::number(n) + QStringLiteral(".WAV");
    return path;
}

QPoint recorderPosition(const QRect& mainWindowTwips, int recorderWidthTwips)
{
    const int top = mainWindowTwips.y() + static_cast<int>(0.1 * mainWindowTwips.height());
    const int left = mainWindowTwips.x() + (mainWindowTwips.width() - recorderWidthTwips) / 2;
    return {left, top};
}

std::optional<QString> recordingTargetProblem(const QString& path, const QString& openPlan)
{
    if (const auto why = writeTargetProblem(path, openPlan))
        return QStringLiteral("The recording cannot be written to %1: %2").arg(path, *why);
    return std::nullopt;
}

QString recordingResultText(const RecordingResult& result, const QString& fileName)
{
    const int seconds = qRound(result.seconds);
    if (!result.kept)
        return result.reason.isEmpty() ? QStringLiteral("Nothing could be recorded")
                                       : QStringLiteral("Nothing could be recorded: %1").arg(result.reason);
    if (result.cutShort)
        return QStringLiteral("Recording stopped: %1. %2 s recorded in %3").arg(result.reason).arg(seconds).arg(fileName);
    return QStringLiteral("Recorded %1 s in %2").arg(seconds).arg(fileName);
}

QString recordingProgressText(const QString& fileName, qint64 elapsedMs)
{
    return QStringLiteral("Recording %1: %2 s").arg(fileName).arg(qRound(double(elapsedMs) / 1000));
}

bool shouldPlaySound(double soundOn, const QString& path)
{
    return soundOn == 1 && !path.isEmpty() && path != kNoAttachment;
}

RecorderSession::RecorderSession(RecordStore& store, double& maxRecordSeconds)
    : store_(store), maxRecordSeconds_(maxRecordSeconds)
{
    if (const auto item = recordLimitFor(maxRecordSeconds_))
        intervalMs_ = item->intervalMs;
}

void RecorderSession::begin()
{
    if (store_.recorderState == RecorderState::Recorded)
        store_.newRecordings.add(store_.currentSoundPath);
    store_.recorderState = RecorderState::Untouched;
    tickArmed_ = true;
    failed_ = false;
}

void RecorderSession::useNewPath(const QString& path)
{
    store_.previousSoundPath = store_.currentSoundPath;
    store_.currentSoundPath = path;
}

void RecorderSession::fail()
{
    failed_ = true;
    timerRunning_ = false;
    // The record keeps its sound: a recorder that never opened changes
    // nothing a later Add or Change stores.
    store_.currentSoundPath = store_.previousSoundPath;
    store_.recorderState = RecorderState::Untouched;
}

void RecorderSession::recordStarted(const QDateTime& now)
{
    store_.recorderState = RecorderState::Recorded;
    timerRunning_ = true;
    tickArmed_ = true;
    recordStart_ = now;
}

qint64 RecorderSession::recordedMs(const QDateTime& now) const
{
    return recordStart_.isValid() ? std::max<qint64>(0, recordStart_.msecsTo(now)) : 0;
}

bool RecorderSession::limitReached(const QDateTime& now) const
{
    return recordStart_.isValid() && maxRecordSeconds_ != kUnlimitedRecordSeconds && recordedMs(now) >= intervalMs_;
}

bool RecorderSession::timerTick()
{
    bool stop = false;
    if (tickArmed_) {
        tickArmed_ = false;
        stop = maxRecordSeconds_ != kUnlimitedRecordSeconds;
        timerRunning_ = false;
    }
    tickArmed_ = true;
    return stop;
}

void RecorderSession::chooseLimit(const RecordLimitItem& item)
{
    maxRecordSeconds_ = item.seconds;
    intervalMs_ = item.intervalMs;
    if (item.seconds == kUnlimitedRecordSeconds)
        timerRunning_ = false;
}

void RecorderSession::end(bool recordingKept)
{
    if (failed_)
        return;
    // A recording whose file could not be kept counts as none.
    store_.recorderState = store_.recorderState == RecorderState::Recorded && recordingKept ? RecorderState::Recorded : RecorderState::ClosedWithoutRecording;
}

} // namespace zp
