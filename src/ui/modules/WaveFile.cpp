#include "ui/modules/WaveFile.h"


#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <sndfile.h>

namespace zp {

WaveWriter::~WaveWriter()
{
    finish();
}

bool WaveWriter::open(const QString& path, int sampleRate)
{
    finish();
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const QByteArray name = QFile::encodeName(path);
    file_ = sf_open(name.constData(), SFM_WRITE, &info);
    path_ = path;
    frames_ = 0;
    failed_ = false;
    return file_ != nullptr;
}

bool WaveWriter::write(const std::int16_t* samples, long frames)
{
    if (!file_ || failed_)
        return false;
    const sf_count_t written = sf_writef_short(file_, samples, frames);
    if (written > 0)
        frames_ += written;
    if (written != frames) {
        failed_ = true;
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
    if (frames_ > 0 && info.readable && info.frames > 0)
        return true;
    QFile::remove(path_);
    return false;
}

WaveInfo inspectWave(const QString& path)
{
    WaveInfo result;
    SF_INFO info{};
    const QByteArray name = QFile::encodeName(path);
    SNDFILE* file = sf_open(name.constData(), SFM_READ, &info);
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
    const QByteArray name = QFile::encodeName(path);
    SNDFILE* file = sf_open(name.constData(), SFM_READ, &info);
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
