#include "ui/modules/WaveFile.h"

#include "ui/ReadableFile.h"

#include <QFile>
#include <sndfile.h>

#include <cerrno>
#include <cstring>

namespace zp {

namespace {

// A sound file opened for reading only when it is a regular file, so no
// reader ever waits on a pipe or reads a device for ever.
SNDFILE* openSoundFile(const QString& path, SF_INFO& info)
{
    const int fd = openReadableFile(path);
    // libsndfile closes the descriptor, also when it cannot read the file.
    return fd < 0 ? nullptr : sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
}

} // namespace

QString writeFailureText(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("the disk is full");
    case EDQUOT:
        return QStringLiteral("your disk quota is used up");
    case EFBIG:
        return QStringLiteral("the file has reached the largest size allowed");
    case EIO:
        return QStringLiteral("the disk reported an error");
    case 0:
        return QStringLiteral("the file could not be written");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

WaveWriter::~WaveWriter()
{
    finish();
}

bool WaveWriter::open(const QString& path, int sampleRate)
{
    finish();
    path_ = path;
    frames_ = keptFrames_ = 0;
    failed_ = false;
    problem_.clear();
    const int fd = openWritableFile(path, &problem_);
    if (fd < 0)
        return false;
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    errno = 0;
    file_ = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
    if (!file_) {
        // Only a failed write of the header says something worth telling.
        const int error = errno;
        problem_ = writeFailureText(error == ENOSPC || error == EDQUOT || error == EFBIG || error == EIO ? error : 0);
        QFile::remove(path);
    }
    return file_ != nullptr;
}

bool WaveWriter::write(const std::int16_t* samples, long frames)
{
    if (!file_ || failed_)
        return false;
    errno = 0;
    const sf_count_t written = sf_writef_short(file_, samples, frames);
    const int error = errno;
    if (written > 0)
        frames_ += written;
    if (written != frames) {
        failed_ = true;
        problem_ = writeFailureText(error);
        return false;
    }
    return true;
}

bool WaveWriter::finish()
{
    if (!file_)
        return false;
    // Closing rewrites the header with the frames really written, so a
    // recording cut short by a full disk still reads as a shorter file.
    sf_close(file_);
    file_ = nullptr;
    const WaveInfo info = inspectWave(path_);
    if (frames_ > 0 && info.readable && info.frames > 0) {
        keptFrames_ = info.frames;
        return true;
    }
    QFile::remove(path_);
    keptFrames_ = 0;
    return false;
}

WaveInfo inspectWave(const QString& path)
{
    WaveInfo result;
    SF_INFO info{};
    SNDFILE* file = openSoundFile(path, info);
    if (!file)
        return result;
    result.readable = info.channels > 0 && info.samplerate > 0;
    result.sampleRate = info.samplerate;
    result.channels = info.channels;
    result.frames = info.frames;
    sf_close(file);
    return result;
}

std::vector<float> readWaveSamples(const QString& path, long long maxFrames)
{
    std::vector<float> mono;
    SF_INFO info{};
    SNDFILE* file = openSoundFile(path, info);
    if (!file)
        return mono;
    if (info.channels > 0 && info.channels <= 64) {
        std::vector<float> frame(static_cast<std::size_t>(info.channels) * 1024);
        while (static_cast<long long>(mono.size()) < maxFrames) {
            const sf_count_t got = sf_readf_float(file, frame.data(), 1024);
            if (got <= 0)
                break;
            for (sf_count_t i = 0; i < got && static_cast<long long>(mono.size()) < maxFrames; ++i)
                mono.push_back(frame[static_cast<std::size_t>(i * info.channels)]);
        }
    }
    sf_close(file);
    return mono;
}

} // namespace zp
