#include "ui/Artwork.h"
#include "ui/modules/PortAudioSound.h"
#include "ui/modules/WaveFile.h"
#include "ui/StartupSound.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <csignal>
#include <sys/resource.h>
#include <vector>

namespace zp {
namespace {

std::vector<std::int16_t> tone(int frames)
{
    std::vector<std::int16_t> samples(frames);
    for (int i = 0; i < frames; ++i)
        samples[i] = static_cast<std::int16_t>(8000 * std::sin(2 * 3.14159265 * 440 * i / 8000.0));
    return samples;
}

// Lets writes fail past `bytes`, as on a full disk, until destroyed.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST(WaveWriter, aFullDiskLeavesAShorterValidFileOrNone)
{
    QTemporaryDir dir;
    const std::vector<std::int16_t> second = tone(8000);

    const QString cut = dir.filePath("cut.wav");
    WaveWriter writer;
    ASSERT_TRUE(writer.open(cut, 8000));
    ASSERT_TRUE(writer.write(second.data(), 4000));
    {
        FileSizeLimit limit(12000);
        for (int i = 0; i < 4 && writer.write(second.data(), 4000); ++i) {
        }
        EXPECT_TRUE(writer.failed());
        EXPECT_EQ(writer.problem(), "the file has reached the largest size allowed");
        EXPECT_TRUE(writer.finish());
    }
    const WaveInfo info = inspectWave(cut);
    EXPECT_TRUE(info.readable);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.sampleRate, 8000);
    EXPECT_GE(info.frames, 4000);
    EXPECT_LT(info.frames, 6000);
    EXPECT_EQ(writer.keptFrames(), info.frames);

    const QString none = dir.filePath("none.wav");
    ASSERT_TRUE(writer.open(none, 8000));
    {
        FileSizeLimit limit(QFileInfo(none).size());
        EXPECT_FALSE(writer.write(second.data(), 4000));
        EXPECT_FALSE(writer.finish());
    }
    EXPECT_FALSE(QFile::exists(none)); // never a broken file left behind
}

// A small file system of its own, filled for real. Mounting needs root, as
// CI runs; elsewhere the test says why it is skipped.
TEST(WaveWriter, aFullDiskIsReportedWithTheLengthTheFileReallyHolds)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray mount = "mount -t tmpfs -o size=64k zorvik-full " + folder + " 2>/dev/null";
    if (std::system(mount.constData()) != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
    struct Unmount {
        QByteArray folder;
        ~Unmount() { std::system(("umount " + folder).constData()); }
    } unmount{folder};

    const QString path = dir.filePath("full.wav");
    const std::vector<std::int16_t> second = tone(8000);
    WaveWriter writer;
    ASSERT_TRUE(writer.open(path, 8000));
    long long offered = 0;
    while (offered < 8000 * 10 && writer.write(second.data(), 8000))
        offered += 8000;
    EXPECT_TRUE(writer.failed());
    EXPECT_EQ(writer.problem(), "the disk is full");
    EXPECT_TRUE(writer.finish());
    const WaveInfo info = inspectWave(path);
    EXPECT_TRUE(info.readable);
    EXPECT_EQ(writer.keptFrames(), info.frames);
    EXPECT_GE(info.frames, offered);
    EXPECT_LT(info.frames, 8000 * 5); // 64 KiB hold four seconds at most
}

TEST(WaveFile, startupSoundIsInstalledOnceAndKeepsTheUsersOwn)
{
    QTemporaryDir dir;
    const QString path = installStartupSound(dir.filePath("data"));
    ASSERT_EQ(path, dir.filePath("data/PLANNER.WAV"));
    const WaveInfo info = inspectWave(path);
    EXPECT_TRUE(info.readable);
    EXPECT_GT(info.frames, info.sampleRate / 2);

    QFile own(path);
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("mine");
    own.close();
    EXPECT_EQ(installStartupSound(dir.filePath("data")), path);
    EXPECT_EQ(QFileInfo(path).size(), 4);
    EXPECT_TRUE(installStartupSound(QString()).isEmpty());
}

TEST(WaveFile, startupSoundComesFromTheInstalledCopyWhenThereIsOne)
{
    QTemporaryDir dir;
    QFile installed(dir.filePath("PLANNER.WAV"));
    ASSERT_TRUE(installed.open(QIODevice::WriteOnly));
    installed.write("packaged chime");
    installed.close();
    const QString fromInstalled = installStartupSound(dir.filePath("a"), installed.fileName());
    QFile copy(fromInstalled);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), "packaged chime");
    // A source that is gone, or no regular file, falls back to the chime
    // compiled in.
    EXPECT_TRUE(inspectWave(installStartupSound(dir.filePath("b"), dir.filePath("gone.wav"))).readable);
    EXPECT_TRUE(inspectWave(installStartupSound(dir.filePath("c"), QStringLiteral("/dev/zero"))).readable);
}

// Bad files are skipped without a word, and the player stops even in the
// middle of a huge file. How long a play call takes is measured by
// BM_PlaybackStart and BM_PlaybackStartDamaged in bench/SoundBench.cpp.
TEST(PortAudioSound, badFilesPlayNothing_andAHugeFileStops)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    initArtwork();
    QFile chime(QStringLiteral(":/sounds/PLANNER.WAV"));
    ASSERT_TRUE(chime.open(QIODevice::ReadOnly));
    const QByteArray good = chime.readAll();
    QByteArray corrupt = good;
    for (int i = 12; i < 60; ++i)
        corrupt[i] = char(0xA5 ^ i);
    // A header claiming a rate no device has.
    QByteArray oddRate = good;
    oddRate[24] = oddRate[25] = oddRate[26] = char(0x7F);
    const QString huge = dir.filePath("huge.wav");
    {
        WaveWriter writer;
        ASSERT_TRUE(writer.open(huge, 8000));
        const std::vector<std::int16_t> s = tone(8000);
        for (int i = 0; i < 600; ++i) // ten minutes
            writer.write(s.data(), 8000);
        ASSERT_TRUE(writer.finish());
    }
    const QString files[] = {
        write("truncated.wav", good.left(good.size() / 3)),
        write("corrupt.wav", corrupt),
        write("text.wav", "not a sound at all\n"),
        write("empty.wav", QByteArray()),
        write("odd.wav", oddRate),
        dir.filePath("missing.wav"),
        dir.path(),
        huge,
    };

    PortAudioSound sound;
    for (const QString& file : files)
        sound.play(file);
    sound.stopPlaying();
}

} // namespace
} // namespace zp
