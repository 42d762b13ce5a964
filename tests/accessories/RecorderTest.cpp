#include "accessories/Recorder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

namespace zp {
namespace {

const QDateTime kMoment(QDate(2026, 12, 3), QTime(14, 5, 9));

TEST(RecordingName, dayHourMinuteSecondInTheFolder)
{
    struct Case {
        QString folder;
        QDateTime now;
        QString expected;
    } cases[] = {
        {"/home/u/rec", kMoment, "/home/u/rec/03140509.WAV"},
        {"/home/u/rec/", kMoment, "/home/u/rec/03140509.WAV"},
        {"/", kMoment, "/03140509.WAV"}, // the root gets no second separator
        {"/r", QDateTime(QDate(2026, 1, 31), QTime(0, 0, 0)), "/r/31000000.WAV"},
        {"/r", QDateTime(QDate(2026, 1, 1), QTime(23, 59, 59)), "/r/01235959.WAV"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(newRecordingPath(c.folder, c.now, {}), c.expected) << c.folder.toStdString();
}

TEST(RecordingName, takenNamesGetASuffixSoNothingIsOverwritten)
{
    std::set<QString> taken{"/r/03140509.WAV", "/r/03140509-2.WAV"};
    const auto exists = [&](const QString& p) { return taken.count(p) > 0; };
    EXPECT_EQ(newRecordingPath("/r", kMoment, exists), "/r/03140509-3.WAV");
    taken.clear();
    EXPECT_EQ(newRecordingPath("/r", kMoment, exists), "/r/03140509.WAV");

    // Suffixed names are still the recorder's own, so clean-up finds them.
    QTemporaryDir dir;
    RecordStore store;
    store.recordingsFolder = dir.path();
    EXPECT_TRUE(store.isOwnRecording(dir.filePath("03140509-2.WAV")));
    EXPECT_TRUE(store.isOwnRecording(dir.filePath("03140509.wav")));
    EXPECT_FALSE(store.isOwnRecording(dir.filePath("03140509-.WAV")));
    EXPECT_FALSE(store.isOwnRecording(dir.filePath("0314050-2.WAV")));
}

TEST(RecordLimit, itemsSetSecondsAndTimerInterval)
{
    struct Case {
        double seconds;
        const char* control;
        int intervalMs;
    } cases[] = {{2, "two", 2000}, {5, "five", 5000}, {10, "ten", 10000}, {20, "twenty", 20000},
                 {99999, "unlimited", 60000}};
    for (const Case& c : cases) {
        const auto item = recordLimitFor(c.seconds);
        ASSERT_TRUE(item);
        EXPECT_STREQ(item->control, c.control);
        EXPECT_EQ(item->intervalMs, c.intervalMs);
    }
    EXPECT_FALSE(recordLimitFor(7));
    EXPECT_FALSE(recordLimitFor(0));
}

TEST(RecorderPlace, tenthDownAndCentredAcrossTheMainWindow)
{
    EXPECT_EQ(recorderPosition(QRect(1000, 2000, 9000, 6005), 4200), QPoint(1000 + 2400, 2000 + 600));
    // A main window narrower than the recorder puts it further left.
    EXPECT_EQ(recorderPosition(QRect(0, 0, 3000, 100), 4200), QPoint(-600, 10));
}

TEST(SoundPlayback, onlyWithSoundOnAndARealPath)
{
    EXPECT_TRUE(shouldPlaySound(1, "/a/b.wav"));
    EXPECT_FALSE(shouldPlaySound(0, "/a/b.wav"));
    EXPECT_FALSE(shouldPlaySound(2, "/a/b.wav"));
    EXPECT_FALSE(shouldPlaySound(1, ""));
    EXPECT_FALSE(shouldPlaySound(1, "plandefault"));
}

class RecorderSessionTest : public ::testing::Test {
protected:
    RecorderSessionTest()
    {
        store.currentSoundPath = "/r/old.wav";
    }
    RecordStore store;
    double maxSeconds = 10;
};

TEST_F(RecorderSessionTest, aRecordingNeverStoredIsQueuedWhenTheRecorderOpensAgain)
{
    store.recorderState = RecorderState::Recorded;
    store.currentSoundPath = "/r/first.WAV";
    RecorderSession session(store, maxSeconds);
    session.begin();
    EXPECT_EQ(store.newRecordings.paths, QStringList{"/r/first.WAV"});
    EXPECT_EQ(store.recorderState, RecorderState::Untouched);
    session.useNewPath("/r/second.WAV");
    EXPECT_EQ(store.previousSoundPath, "/r/first.WAV");
    EXPECT_EQ(store.currentSoundPath, "/r/second.WAV");
}

TEST_F(RecorderSessionTest, closingSetsTheOutcome)
{
    struct Case {
        bool recorded;
        bool kept;
        RecorderState state;
    } cases[] = {
        {false, false, RecorderState::ClosedWithoutRecording},
        {true, true, RecorderState::Recorded},
        {true, false, RecorderState::ClosedWithoutRecording}, // the file could not be kept
    };
    for (const Case& c : cases) {
        RecorderSession session(store, maxSeconds);
        session.begin();
        session.useNewPath("/r/new.WAV");
        if (c.recorded)
            session.recordStarted(kMoment);
        session.end(c.kept);
        EXPECT_EQ(store.recorderState, c.state) << c.recorded << c.kept;
        EXPECT_EQ(store.currentSoundPath, "/r/new.WAV");
        store.recorderState = RecorderState::Untouched;
    }
}

TEST_F(RecorderSessionTest, aFailedOpenLeavesTheRecordsSoundAlone)
{
    RecorderSession session(store, maxSeconds);
    session.begin();
    session.useNewPath("/r/new.WAV");
    session.fail();
    session.end(false);
    EXPECT_TRUE(session.failed());
    EXPECT_EQ(store.currentSoundPath, "/r/old.wav");
    EXPECT_EQ(store.recorderState, RecorderState::Untouched);
}

TEST_F(RecorderSessionTest, timerTickStopsOnceThenSwitchesOffUnlessUnlimited)
{
    RecorderSession session(store, maxSeconds);
    session.begin();
    EXPECT_EQ(session.timerIntervalMs(), 10000); // from the setting
    EXPECT_TRUE(session.timerRunning());         // from the moment the window exists
    EXPECT_TRUE(session.timerTick());
    EXPECT_FALSE(session.timerRunning());
    EXPECT_TRUE(session.tickArmed());
    session.recordStarted(kMoment);
    EXPECT_TRUE(session.timerRunning());

    session.chooseLimit(*recordLimitFor(kUnlimitedRecordSeconds));
    EXPECT_EQ(maxSeconds, kUnlimitedRecordSeconds);
    EXPECT_EQ(session.timerIntervalMs(), 60000);
    EXPECT_FALSE(session.timerRunning());
    EXPECT_FALSE(session.timerTick()); // unlimited: a tick never stops

    session.chooseLimit(*recordLimitFor(2));
    EXPECT_EQ(maxSeconds, 2);
    EXPECT_EQ(session.timerIntervalMs(), 2000);
}

TEST_F(RecorderSessionTest, anUnknownStoredLimitKeepsTheDefaultInterval)
{
    maxSeconds = 7;
    RecorderSession session(store, maxSeconds);
    EXPECT_EQ(session.timerIntervalMs(), kDefaultRecorderIntervalMs);
    EXPECT_TRUE(session.timerTick());
}

TEST_F(RecorderSessionTest, theLimitCountsFromRecordNotFromOpening)
{
    const struct {
        double limit;
        qint64 openToRecordMs;
        qint64 recordedMs;
        bool reached;
    } cases[] = {
        {10, 7000, 3000, false}, {10, 7000, 9999, false}, {10, 7000, 10000, true}, {2, 0, 2000, true},
        {7, 0, 5000, true}, // no item: ends at the default interval
        {kUnlimitedRecordSeconds, 0, 600000, false},
    };
    for (const auto& c : cases) {
        maxSeconds = c.limit;
        RecorderSession session(store, maxSeconds);
        session.begin();
        const QDateTime record = kMoment.addMSecs(c.openToRecordMs);
        EXPECT_FALSE(session.limitReached(record)); // nothing recorded yet
        session.recordStarted(record);
        EXPECT_EQ(session.limitReached(record.addMSecs(c.recordedMs)), c.reached) << c.limit << " " << c.recordedMs;
        EXPECT_EQ(session.recordedMs(record.addMSecs(c.recordedMs)), c.recordedMs);
    }
}

TEST(RecordingProgress, nameAndSecondsRoundedToTheNearest)
{
    const struct {
        qint64 ms;
        const char* status;
    } cases[] = {{0, "Recording 03140509.WAV: 0 s"},
                 {1499, "Recording 03140509.WAV: 1 s"},
                 {1500, "Recording 03140509.WAV: 2 s"},
                 {9600, "Recording 03140509.WAV: 10 s"}};
    for (const auto& c : cases)
        EXPECT_EQ(recordingProgressText("03140509.WAV", c.ms), c.status);
}

TEST(RecordingResult, theStatusTellsTheLengthReallyRecordedAndWhyItEndedEarly)
{
    const struct {
        RecordingResult result;
        const char* status;
    } cases[] = {
        {{true, 4.6, false, {}}, "Recorded 5 s in 03140509.WAV"},
        {{true, 3.2, true, "the disk is full"}, "Recording stopped: the disk is full. 3 s recorded in 03140509.WAV"},
        {{false, 0, true, "the disk is full"}, "Nothing could be recorded: the disk is full"},
        {{false, 0, false, {}}, "Nothing could be recorded"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(recordingResultText(c.result, "03140509.WAV"), c.status);
}

TEST(RecordingTarget, neverTheOpenPlanAPipeOrADevice)
{
    QTemporaryDir dir;
    const QString plan = dir.filePath("plan.pln");
    QFile(plan).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(plan, dir.filePath("03140509.WAV")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.WAV")).constData(), 0600), 0);
    for (const QString& target : {dir.filePath("03140509.WAV"), dir.filePath("fifo.WAV"), QStringLiteral("/dev/null")}) {
        const auto problem = recordingTargetProblem(target, plan);
        ASSERT_TRUE(problem) << target.toStdString();
        EXPECT_TRUE(problem->startsWith("The recording cannot be written to " + target + ": "));
    }
    EXPECT_FALSE(recordingTargetProblem(dir.filePath("03140510.WAV"), plan));
}

} // namespace
} // namespace zp
