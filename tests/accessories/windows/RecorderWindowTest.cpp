#include "accessories/windows/RecorderWindow.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "support/Fakes.h"
#include "ui/WindowGeometry.h"
#include "views/windows/RemindersWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace zp {
namespace {

class RecorderWindowTest : public ::testing::Test {
public:
    RecorderWindowTest()
    {
        test.clock.set(2026, 12, 3, 14, 5, 9);
        state.store.recordingsFolder = dir.filePath("recordings");
        state.store.currentSoundPath = QStringLiteral("/music/old.wav");
    }
    // Opens a recorder over a main window at (1500, 1500), 9000 x 6000 twips.
    QPointer<RecorderWindow> openRecorder()
    {
        QPointer<RecorderWindow> w = new RecorderWindow(state, test.platform());
        QObject::connect(w.data(), &RecorderWindow::closed, [this] { ++closedSignals; });
        if (w->open(QRect(1500, 1500, 9000, 6000)))
            QApplication::setActiveWindow(w); // for its keys
        return w;
    }
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    static void click(RecorderWindow& w, const char* name)
    {
        QTest::mouseClick(w.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    QString newPath() const { return dir.filePath("recordings/03140509.WAV"); }

    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    int closedSignals = 0;
};

TEST_F(RecorderWindowTest, opensOverTheMainWindowWithItsControlsAndTheStoredLimit)
{
    state.settings.maxRecordSeconds = 20;
    auto w = openRecorder();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->objectName(), "Form13");
    EXPECT_EQ(w->windowTitle(), "Planner Audio");
    EXPECT_EQ(w->findChild<QLabel*>("Label1")->text(), "Stop");
    EXPECT_EQ(w->findChild<QLabel*>("Label2")->text(), "Record");
    EXPECT_EQ(w->findChild<QLabel*>("Label3")->text(), "Close");
    ASSERT_NE(w->findChild<QWidget*>("MMControl1"), nullptr);
    ASSERT_NE(w->findChild<QPushButton*>("Command3D1"), nullptr);
    for (const char* item : {"two", "five", "ten", "twenty", "unlimited"})
        EXPECT_EQ(w->limitAction(QString::fromLatin1(item))->isChecked(), QByteArray(item) == "twenty") << item;
    EXPECT_EQ(w->findChild<QAction*>("maxrectime")->text(), "&Max. Rec. time");
    EXPECT_TRUE(w->limitTimer()->isActive());
    EXPECT_EQ(w->limitTimer()->interval(), 20000);

    const WindowPlacement at = placementOf(*w, Twips(15, 15));
    EXPECT_NEAR(at.top, 1500 + 600, 15);
    EXPECT_NEAR(at.left, 1500 + (9000 - at.width) / 2, 15);

    EXPECT_EQ(state.store.currentSoundPath, newPath());
    EXPECT_EQ(state.store.previousSoundPath, "/music/old.wav");
    EXPECT_EQ(test.sound.opens, 1);
    w->close();
}

TEST_F(RecorderWindowTest, openingFailuresShowTheirMessageAndRecordNothing)
{
    struct Case {
        const char* why;
        std::function<void(RecorderWindowTest&)> arrange;
        QString message;
    } cases[] = {
        {"no folder", [](RecorderWindowTest& t) { t.state.store.recordingsFolder.clear(); }, kRecorderNamingError},
        {"folder is a file",
         [](RecorderWindowTest& t) {
             QFile f(t.dir.filePath("file"));
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             t.state.store.recordingsFolder = t.dir.filePath("file");
         },
         kRecorderNamingError},
        {"no server", [](RecorderWindowTest& t) { t.test.sound.deviceAvailable = false; }, kRecorderOpenError},
        {"cannot record", [](RecorderWindowTest& t) { t.test.sound.recordable = false; }, kRecorderDeviceError},
        {"cannot play", [](RecorderWindowTest& t) { t.test.sound.playable = false; }, kRecorderDeviceError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        test = {};
        test.clock.set(2026, 12, 3, 14, 5, 9);
        closedSignals = 0;
        state.store.recordingsFolder = dir.filePath("recordings");
        c.arrange(*this);
        auto w = openRecorder();
        flushDeletes();
        EXPECT_FALSE(w); // closed and gone
        ASSERT_EQ(test.messages.count(), 1);
        EXPECT_EQ(test.messages.last().text, c.message);
        EXPECT_EQ(test.messages.last().title, "Audio Error");
        EXPECT_EQ(test.messages.last().style, 48);
        EXPECT_EQ(closedSignals, 1);
        EXPECT_TRUE(test.sound.recordings.empty());
        EXPECT_FALSE(test.sound.open);
        EXPECT_EQ(state.store.currentSoundPath, "/music/old.wav");
        EXPECT_EQ(state.store.recorderState, RecorderState::Untouched);
    }
}

TEST_F(RecorderWindowTest, closingStopsSavesAndTellsWhatWasRecorded)
{
    struct Case {
        const char* why;
        bool record;
        bool kept;
        const char* closeWith;
        RecorderState state;
    } cases[] = {
        {"nothing recorded", false, true, "Command3D1", RecorderState::ClosedWithoutRecording},
        {"closed while recording", true, true, "Command3D1", RecorderState::Recorded},
        {"closed by the control's Close", true, true, "CloseButton", RecorderState::Recorded},
        {"recording could not be kept", true, false, "Command3D1", RecorderState::ClosedWithoutRecording},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        test = {};
        test.clock.set(2026, 12, 3, 14, 5, 9);
        test.sound.keepsRecording = c.kept;
        QDir(dir.filePath("recordings")).removeRecursively();
        state.store.recorderState = RecorderState::Untouched;
        auto w = openRecorder();
        if (c.record) {
            click(*w, "RecordButton");
            EXPECT_EQ(test.sound.recordings, std::vector<QString>{newPath()});
            EXPECT_EQ(state.store.recorderState, RecorderState::Recorded);
        }
        click(*w, c.closeWith);
        flushDeletes();
        EXPECT_FALSE(w);
        EXPECT_FALSE(test.sound.recording);
        EXPECT_EQ(test.sound.closes, 1);
        EXPECT_EQ(state.store.recorderState, c.state);
        EXPECT_TRUE(test.messages.empty());
    }
}

TEST_F(RecorderWindowTest, theLimitTimerStopsTheRecordingUnlessUnlimited)
{
    state.settings.maxRecordSeconds = 7; // no item: the default interval
    auto w = openRecorder();
    EXPECT_EQ(w->limitTimer()->interval(), 5000);
    click(*w, "RecordButton");
    w->tickLimitTimer();
    EXPECT_FALSE(test.sound.recording);
    EXPECT_FALSE(w->limitTimer()->isActive());
    EXPECT_EQ(test.sound.stops, 1);

    w->limitAction("unlimited")->trigger();
    EXPECT_EQ(state.settings.maxRecordSeconds, 99999);
    EXPECT_EQ(w->limitTimer()->interval(), 60000);
    EXPECT_TRUE(w->limitAction("unlimited")->isChecked());
    EXPECT_FALSE(w->limitAction("ten")->isChecked());
    click(*w, "RecordButton");
    w->tickLimitTimer();
    EXPECT_TRUE(test.sound.recording);
    QTest::keyClick(w.data(), Qt::Key_S);
    EXPECT_FALSE(test.sound.recording);

    w->limitAction("two")->trigger();
    EXPECT_EQ(state.settings.maxRecordSeconds, 2);
    EXPECT_EQ(w->limitTimer()->interval(), 2000);
    QTest::keyClick(w.data(), Qt::Key_Escape);
    flushDeletes();
    EXPECT_FALSE(w);
}

TEST_F(RecorderWindowTest, theLimitRunsFromRecordAndTheStatusCountsWholeSeconds)
{
    state.settings.maxRecordSeconds = 10;
    test.sound.recordedSeconds = 10.2;
    auto w = openRecorder();
    auto* status = w->findChild<QLabel*>("RecorderStatus");
    test.clock.advanceSecs(7); // the window has been open a while
    click(*w, "RecordButton");
    EXPECT_TRUE(w->limitTimer()->isActive());
    EXPECT_EQ(status->text(), "Recording 03140509.WAV: 0 s");
    test.clock.current = test.clock.current.addMSecs(9600);
    w->showProgress();
    EXPECT_TRUE(test.sound.recording);
    EXPECT_EQ(status->text(), "Recording 03140509.WAV: 10 s");
    test.clock.current = test.clock.current.addMSecs(400);
    w->showProgress();
    EXPECT_FALSE(test.sound.recording);
    EXPECT_EQ(status->text(), "Recorded 10 s in 03140509.WAV");
    w->close();
}

TEST_F(RecorderWindowTest, playIsThereOnlyForAKeptRecordingAndPlaysIt)
{
    auto w = openRecorder();
    auto* play = w->findChild<QPushButton*>("PlayButton");
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->text(), "&Play");
    EXPECT_FALSE(play->isEnabled());
    click(*w, "RecordButton");
    EXPECT_FALSE(play->isEnabled());
    click(*w, "StopButton");
    ASSERT_TRUE(play->isEnabled());
    click(*w, "PlayButton");
    EXPECT_EQ(test.sound.played, std::vector<QString>{newPath()});
    click(*w, "RecordButton"); // a new recording replaces it
    EXPECT_FALSE(play->isEnabled());
    EXPECT_EQ(test.sound.playStops, 2); // at each Record: nothing plays over it
    test.sound.keepsRecording = false;
    click(*w, "StopButton");
    EXPECT_FALSE(play->isEnabled());
    w->close();
}

TEST_F(RecorderWindowTest, theLevelMeterFollowsTheInputWhileRecording)
{
    test.sound.levels = {0.25, 0.8, 1.0};
    auto w = openRecorder();
    auto* meter = w->findChild<QProgressBar*>("LevelMeter");
    ASSERT_NE(meter, nullptr);
    click(*w, "RecordButton");
    EXPECT_EQ(meter->value(), 25);
    w->showProgress();
    EXPECT_EQ(meter->value(), 80);
    w->showProgress();
    EXPECT_EQ(meter->value(), 100);
    click(*w, "StopButton");
    EXPECT_EQ(meter->value(), 0);
    w->close();
}

TEST_F(RecorderWindowTest, aRecordingThatCannotStartIsReported)
{
    test.sound.recordingStarts = false;
    auto w = openRecorder();
    click(*w, "RecordButton");
    ASSERT_EQ(test.messages.count(), 1);
    EXPECT_EQ(test.messages.last().text, kRecorderOpenError);
    EXPECT_EQ(state.store.recorderState, RecorderState::Untouched);
    w->close();
    EXPECT_EQ(state.store.recorderState, RecorderState::ClosedWithoutRecording);
}

TEST_F(RecorderWindowTest, aRecordingCutShortByAFullDiskSaysSoWithTheLengthKept)
{
    test.sound.cutShortReason = QStringLiteral("the disk is full");
    test.sound.recordedSeconds = 3;
    auto w = openRecorder();
    click(*w, "RecordButton");
    test.sound.recording = false; // the disk filled up: the recording ended by itself
    w->showProgress();
    EXPECT_EQ(w->findChild<QLabel*>("RecorderStatus")->text(), "Recording stopped: the disk is full. 3 s recorded in 03140509.WAV");
    EXPECT_EQ(test.sound.stops, 1);
    w->close();
    EXPECT_EQ(state.store.recorderState, RecorderState::Recorded); // what was written is kept
}

TEST_F(RecorderWindowTest, aTargetThatIsThePlanOrAPipeIsRefusedBeforeRecording)
{
    const std::function<void()> arrangements[] = {
        [this] { state.store.planFileName = newPath(); },
        [this] { ASSERT_EQ(::mkfifo(QFile::encodeName(newPath()).constData(), 0600), 0); },
    };
    for (const auto& arrange : arrangements) {
        test = {};
        test.clock.set(2026, 12, 3, 14, 5, 9);
        auto w = openRecorder();
        arrange(); // after the name was chosen, before Record
        click(*w, "RecordButton");
        ASSERT_EQ(test.messages.count(), 1);
        EXPECT_TRUE(test.messages.last().text.startsWith("The recording cannot be written to " + newPath()));
        EXPECT_TRUE(test.sound.recordings.empty());
        w->close();
        state.store.planFileName.clear();
    }
}

TEST_F(RecorderWindowTest, speakOpensTheRecorderAndTheMainWindowWaitsForIt)
{
    PlannerApp app(state, test.platform());
    app.start();
    MainWindow& main = *app.mainWindow();
    main.findChild<QPushButton*>("SSCommand1")->click();
    ASSERT_NE(app.recorder(), nullptr);
    EXPECT_EQ(app.recorder()->objectName(), "Form13");
    EXPECT_FALSE(main.isEnabled());
    app.recorder()->findChild<QPushButton*>("RecordButton")->click();
    app.recorder()->close();
    flushDeletes();
    EXPECT_EQ(app.recorder(), nullptr);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(state.store.recorderState, RecorderState::Recorded);
    EXPECT_EQ(state.store.currentSoundPath, newPath());
}

TEST_F(RecorderWindowTest, soundsPlayAtStartOnAClickAndOnAReminderOnlyWhenSoundIsOn)
{
    state.settings.startupShow = QStringLiteral("yearmonth");
    state.startupSoundPath = QStringLiteral("/data/PLANNER.WAV");
    PlannerRecord due, silent;
    due[Field::StartDate] = QStringLiteral("04/12/2026");
    due[Field::Name] = QStringLiteral("Dentist");
    due[Field::AudioPath] = QStringLiteral("/r/dentist.WAV");
    silent[Field::StartDate] = QStringLiteral("05/12/2026");
    silent[Field::Name] = QStringLiteral("Quiet");
    silent[Field::AudioPath] = kNoAttachment;
    state.store.replaceAll({due, silent});

    for (const double soundOn : {0.0, 1.0}) {
        SCOPED_TRACE(soundOn);
        test = {};
        test.clock.set(2026, 12, 3, 9, 0);
        state.settings.soundOn = soundOn;
        PlannerApp app(state, test.platform());
        app.start();
        const std::vector<QString> startup = test.sound.played;
        const int lines = static_cast<int>(app.remindersWindow()->reminders().lines.size());
        EXPECT_GE(lines, 2);
        for (int line = 0; line < lines; ++line)
            app.remindersWindow()->pressLine(line);
        const std::vector<QString> reminder(test.sound.played.begin() + startup.size(), test.sound.played.end());
        test.sound.played.clear();
        app.mainWindow()->selectListLine(0);
        app.mainWindow()->selectListLine(1); // "plandefault": nothing
        if (soundOn == 1) {
            EXPECT_EQ(startup, std::vector<QString>{"/data/PLANNER.WAV"});
            EXPECT_EQ(reminder, std::vector<QString>{"/r/dentist.WAV"});
            EXPECT_EQ(test.sound.played, std::vector<QString>{"/r/dentist.WAV"});
        } else {
            EXPECT_TRUE(startup.empty());
            EXPECT_TRUE(reminder.empty());
            EXPECT_TRUE(test.sound.played.empty());
        }
    }
}

} // namespace
} // namespace zp
