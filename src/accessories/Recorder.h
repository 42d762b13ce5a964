#pragma once
// The voice-note recorder's rules: naming new recordings, the recording
// time limit and its timer, and what a use of the recorder leaves in the
// plan's attachment state. The window only wires these to its controls.

#include "plan/RecordStore.h"
#include "ui/SoundService.h"

#include <QDateTime>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace zp {

inline const QString kRecorderCaption = QStringLiteral("Planner Audio");
inline const QString kAudioErrorTitle = QStringLiteral("Audio Error");
inline const QString kRecorderNamingError = QStringLiteral("Trouble opening sound file - datestamp naming error");
inline const QString kRecorderOpenError = QStringLiteral("Trouble opening sound device - check setup");
inline const QString kRecorderDeviceError = QStringLiteral("Trouble with sound device - check setup");

// maxRecordSeconds meaning "no limit".
constexpr double kUnlimitedRecordSeconds = 99999;
// The timer's interval until a limit is chosen.
constexpr int kDefaultRecorderIntervalMs = 5000;

// One item of the "&Max. Rec. time" menu.
struct RecordLimitItem {
    const char* control; // objectName
    const char* caption;
    int index;           // the item's menu index
    double seconds;      // maxRecordSeconds it sets
    int intervalMs;      // the timer interval it sets
};
const std::array<RecordLimitItem, 5>& recordLimitItems();

// The item that shows `maxSeconds` ticked, if any.
std::optional<RecordLimitItem> recordLimitFor(double maxSeconds);

// A new recording's path: the folder, then day of the month, hour (00-23),
// minute and second, two digits each, and ".WAV". When that file exists
// already (two recordings in one second, or the same moment of another
// month) "-2", "-3", ... is put before ".WAV" so nothing is overwritten.
// A folder that is the file system's root gets no second separator.
QString newRecordingPath(const QString& folder, const QDateTime& now,
                         const std::function<bool(const QString&)>& exists);

// Where the recorder opens, in twips: Int(0.1 x the main window's height)
// below the main window's top, centred across the main window.
QPoint recorderPosition(const QRect& mainWindowTwips, int recorderWidthTwips);

// Why the recorder may not write its new recording at `path`, as a message
// for the user, or nothing when it may: never over the open plan (under
// any name), a pipe, a device or a folder.
std::optional<QString> recordingTargetProblem(const QString& path, const QString& openPlan);

// The recorder's status line once a recording has stopped: its real length
// and the file's name, and why it ended early or left nothing, when it did.
QString recordingResultText(const RecordingResult& result, const QString& fileName);

// The status line while recording: the file's name and the seconds so far,
// rounded to the nearest second.
QString recordingProgressText(const QString& fileName, qint64 elapsedMs);

// Whether a record's sound is played: sound on (1) and a path that is
// neither empty nor "plandefault".
bool shouldPlaySound(double soundOn, const QString& path);

// One use of the recorder, from the audio button to the window closing.
class RecorderSession {
public:
    RecorderSession(RecordStore& store, double& maxRecordSeconds);

    // The audio button: a recording made in the previous use and never
    // stored is queued for deletion; the limit timer is armed.
    void begin();
    // The new recording's path becomes the record's sound to be.
    void useNewPath(const QString& path);
    // Opening the file or device failed: nothing is recorded and the
    // record keeps the sound it had.
    void fail();
    bool failed() const { return failed_; }

    // Record was pressed and recording started at `now`: the recording is
    // the record's sound to be, and the limit timer runs from this moment.
    void recordStarted(const QDateTime& now);
    // How long the recording started last has run at `now`.
    qint64 recordedMs(const QDateTime& now) const;
    // The chosen limit has run out at `now`, counted from Record (never
    // with "Unlimited"). A limit the menu has no item for ends at the
    // timer's interval, as the timer would.
    bool limitReached(const QDateTime& now) const;
    // A tick of the limit timer; true when it stops the recording.
    bool timerTick();
    // A "&Max. Rec. time" item was chosen.
    void chooseLimit(const RecordLimitItem& item);

    // The window closes. `recordingKept`: a recording was made and its file
    // is a valid wave file.
    void end(bool recordingKept);

    int timerIntervalMs() const { return intervalMs_; }
    bool timerRunning() const { return timerRunning_; }
    bool tickArmed() const { return tickArmed_; }

private:
    RecordStore& store_;
    double& maxRecordSeconds_;
    int intervalMs_ = kDefaultRecorderIntervalMs;
    bool timerRunning_ = true; // from the moment the window exists
    bool tickArmed_ = true;
    bool failed_ = false;
    QDateTime recordStart_;
};

} // namespace zp
