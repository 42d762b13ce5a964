#include "ui/PictureFile.h"
#include "ui/ReadableFile.h"
#include "ui/modules/PortAudioSound.h"
#include "ui/modules/WaveFile.h"
#include "support/WaitForProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zp {
namespace {

class ReadableFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo()).constData(), 0600), 0);
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    }
    QString fifo() const { return dir.filePath(QStringLiteral("fifo.wav")); }
    // Whether a reader holds the FIFO open, or waits in open() for a writer.
    bool fifoHasAReader() const
    {
        const int fd = ::open(QFile::encodeName(fifo()).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd); // lets a reader stuck in open() go on to its end
        return fd >= 0;
    }
    QTemporaryDir dir;
};

// A FIFO would hold its reader in open() until a writer came, a device would
// never end: every reader of a record's sound or picture refuses them, and
// what is no file at all, before opening them, with a reason.
TEST_F(ReadableFile, soundsAndPicturesThatAreNoRegularFile_areRefusedUnopened)
{
    const QString names[] = {fifo(), QStringLiteral("/dev/zero"), QStringLiteral("/dev/random"),
                             dir.filePath(QStringLiteral("folder")), dir.filePath(QStringLiteral("missing.wav"))};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QString why;
        EXPECT_EQ(openReadableFile(name, &why), -1);
        EXPECT_FALSE(why.isEmpty());
        EXPECT_FALSE(inspectWave(name).readable);
        EXPECT_TRUE(readWaveSamples(name, 100).empty());
        QString pictureWhy;
        EXPECT_FALSE(readPictureFile(name, &pictureWhy));
        EXPECT_EQ(pictureWhy, why);
    }
    EXPECT_FALSE(fifoHasAReader());
}

TEST_F(ReadableFile, thePlayerHandedAFifoNeverWaitsOnIt)
{
    {
        PortAudioSound sound;
        sound.play(fifo());
        // Once the player has taken the name up, ending the service must
        // not leave it behind in open().
        ASSERT_TRUE(waitForOtherProcess([&] { return !sound.playWaiting(); }));
    }
    EXPECT_FALSE(fifoHasAReader());
}

TEST_F(ReadableFile, aRecordingIsNeverWrittenIntoAFifoDeviceOrFolder)
{
    for (const QString& name : {fifo(), QStringLiteral("/dev/null"), dir.filePath(QStringLiteral("folder"))}) {
        WaveWriter writer;
        EXPECT_FALSE(writer.open(name, 8000)) << name.toStdString();
        EXPECT_FALSE(writer.problem().isEmpty());
        EXPECT_NE(fileKindAt(name), FileKind::Regular) << "left as it was";
    }
}

TEST(BoundedThread, aThreadStuckPastTheWaitIsLetGoAndTheWorkEndsLater)
{
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    auto ended = std::make_shared<std::atomic<bool>>(false);
    BoundedThread stuck;
    stuck.start([fifo, ended] {
        const int fd = ::open(fifo.constData(), O_RDONLY); // waits for a writer
        if (fd >= 0)
            ::close(fd);
        *ended = true;
    });
    EXPECT_FALSE(stuck.finish(std::chrono::milliseconds(50)));
    EXPECT_FALSE(stuck.started());
    EXPECT_FALSE(*ended);

    ::close(::open(fifo.constData(), O_WRONLY)); // the writer it waited for
    while (!*ended)
        std::this_thread::yield();
}

} // namespace
} // namespace zp
