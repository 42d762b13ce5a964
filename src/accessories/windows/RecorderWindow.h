#pragma once
#include "accessories/Recorder.h"
#include "state/ProgramState.h"
#include "ui/Platform.h"

#include <QWidget>

class QAction;
class QLabel;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QTimer;

namespace zp {

// "Planner Audio": records a voice note for the record being edited into a
// new date-stamped wave file. Stop, Record and Close buttons with their
// labels, a Play button for the recording just made, a level meter, a
// close picture button, the "&Max. Rec. time" menu and the timer that ends
// a recording at the chosen limit, counted from Record. R records, S stops,
// P plays, Escape closes. It deletes itself when closed.
class RecorderWindow : public QWidget {
    Q_OBJECT
public:
    RecorderWindow(ProgramState& state, const Platform& platform, QWidget* parent = nullptr);
    ~RecorderWindow() override;

    // Opens over the main window (its outer frame in twips), names the new
    // recording and opens the sound device. On a failure the message is
    // shown, the window closes and false is returned.
    bool open(const QRect& mainWindowTwips);

    const RecorderSession& session() const { return session_; }
    QAction* limitAction(const QString& name) const;
    QTimer* limitTimer() const { return timer1_; }
    // One tick of the limit timer, for tests.
    void tickLimitTimer();
    // Shows the time recorded so far and the input level, ends a recording
    // whose limit ran out, or shows what a recording that ended by itself
    // (a full disk) left; the progress timer's tick, for tests.
    void showProgress();

signals:
    // The window has closed: the recording, if any, is saved.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenu();
    void applyLimitTicks();
    void chooseLimit(const RecordLimitItem& item);
    void closeWindow() { close(); }
    void record();
    void stop();
    void play();
    QString fileName() const;
    // Ends the running recording, if any, and keeps what it says.
    std::optional<RecordingResult> finishRecording();
    void failWith(const QString& message);

    ProgramState& state_;
    Platform platform_;
    Twips twips_;
    RecorderSession session_;
    bool ended_ = false;
    bool recordingKept_ = false;
    bool recordingRunning_ = false; // started and not yet stopped
    QMenuBar* menuBar_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* recordButton_ = nullptr;
    QPushButton* ejectButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QProgressBar* levelMeter_ = nullptr;
    QPushButton* command3D1_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer* timer1_ = nullptr;
    QTimer* progressTimer_ = nullptr;
};

} // namespace zp
