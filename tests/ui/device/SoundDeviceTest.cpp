// The real sound device. Each test runs as its own process with its own
// environment (see tests/CMakeLists.txt): one against the private sound
// server that scripts/test starts (a silent sink and a 440 Hz sine source),
// one with no server at all.

#include "accessories/windows/RecorderWindow.h"
#include "support/Fakes.h"
#include "support/WaitForProcess.h"
#include "ui/modules/PortAudioSound.h"
#include "ui/modules/WaveFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace zp {
namespace {

// The frequency of a clean tone, from how often it crosses zero upwards.
double toneFrequency(const std::vector<float>& samples, int rate)
{
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        if (samples[i - 1] < 0 && samples[i] >= 0)
            ++crossings;
    return crossings * double(rate) / double(samples.size());
}

double rms(const std::vector<float>& samples)
{
    double sum = 0;
    for (float s : samples)
        sum += double(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

TEST(SoundDevice, recordsTwoSecondsOfTheServersTone)
{
    const char* server = std::getenv("ZORVIK_TEST_PULSE_SERVER");
    if (!server || !*server)
        GTEST_SKIP() << "no private sound server: scripts/test starts one";
    setenv("PULSE_SERVER", server, 1);

    QTemporaryDir dir;
    const QString path = dir.filePath("03140509.WAV");
    PortAudioSound sound;
    ASSERT_TRUE(sound.openDevice());
    EXPECT_TRUE(sound.canRecord());
    EXPECT_TRUE(sound.canPlay());
    // The test server's sine source hands its first reader all it made
    // while nobody listened; a short first recording takes that away.
    ASSERT_TRUE(sound.startRecording(dir.filePath("warm-up.WAV")));
    ASSERT_TRUE(waitForOtherProcess([&] { return sound.recordedSeconds() >= 0.3; }));
    sound.stopRecording();

    ASSERT_TRUE(sound.startRecording(path));
    EXPECT_TRUE(sound.isRecording());
    // Two seconds as the device counts them, not as the test's clock does.
    ASSERT_TRUE(waitForOtherProcess([&] { return sound.recordedSeconds() >= 2.0; }));
    EXPECT_GT(sound.inputLevel(), 0.01); // the meter sees the tone
    ASSERT_TRUE(sound.stopRecording().kept);
    EXPECT_EQ(sound.inputLevel(), 0);
    sound.closeDevice();

    const WaveInfo info = inspectWave(path);
    ASSERT_TRUE(info.readable);
    EXPECT_EQ(info.channels, 1);
    // At least the two seconds; the sine source may add some it had made
    // before the recording began.
    const double seconds = double(info.frames) / info.sampleRate;
    EXPECT_GE(seconds, 1.6);
    EXPECT_LE(seconds, 3.5);
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray header = raw.read(36);
    EXPECT_TRUE(header.startsWith("RIFF"));
    EXPECT_EQ(header.mid(8, 4), "WAVE");
    EXPECT_EQ(int(header[34]), 16); // 16-bit samples

    // Past the first tenth of a second, which may still be settling.
    std::vector<float> samples = readWaveSamples(path, info.frames);
    samples.erase(samples.begin(), samples.begin() + std::min<std::size_t>(samples.size(), info.sampleRate / 10));
    EXPECT_GT(rms(samples), 0.01); // not silence
    EXPECT_NEAR(toneFrequency(samples, info.sampleRate), 440.0, 440.0 * 0.05);

    // And it plays back to the server's sink without holding anyone up.
    sound.play(path);
    ASSERT_TRUE(waitForOtherProcess([&] { return !sound.playWaiting(); }));
    sound.play(path); // a new sound stops the one playing
    sound.stopPlaying();
}

TEST(SoundDevice, withoutAServerTheRecorderSaysSoAndRecordsNothing)
{
    if (!QDir(QStringLiteral("/dev/snd")).entryList({QStringLiteral("pcm*")}, QDir::System).isEmpty())
        GTEST_SKIP() << "this machine has a sound card of its own";
    setenv("PULSE_SERVER", "unix:/nonexistent/zorvik-no-sound-server", 1);

    QTemporaryDir dir;
    TestPlatform test;
    PortAudioSound sound;
    Platform platform = test.platform();
    Platform real{platform.messages,    platform.clock,      platform.dateOrder, platform.screen,
                  platform.fileDialogs, platform.fontDialog, platform.clipboard, platform.printing,
                  platform.systemFacts, sound,              platform.numberDialog, platform.charts,
                  platform.progress};
    ProgramState state;
    state.store.recordingsFolder = dir.filePath("recordings");
    QPointer<RecorderWindow> w = new RecorderWindow(state, real);
    EXPECT_FALSE(w->open(QRect(0, 0, 9000, 6000)));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(w);
    ASSERT_EQ(test.messages.count(), 1);
    EXPECT_EQ(test.messages.last().text, "Trouble opening sound device - check setup");
    EXPECT_EQ(test.messages.last().title, "Audio Error");
    EXPECT_TRUE(QDir(state.store.recordingsFolder).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(state.store.recorderState, RecorderState::Untouched);
}

} // namespace
} // namespace zp
