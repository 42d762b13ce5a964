#pragma once
// Writing and checking wave files through libsndfile.

#include <QString>
#include <cstdint>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace zp {

// Writes a 16-bit PCM mono wave file bit by bit. Only a regular file (or a
// new one) is written: a pipe or a device is refused. When a write fails
// (the disk is full) the file is finished at what was written; finish()
// keeps it only when it is a readable wave file holding some sound, else
// removes it.
class WaveWriter {
public:
    WaveWriter() = default;
    ~WaveWriter();
    WaveWriter(const WaveWriter&) = delete;
    WaveWriter& operator=(const WaveWriter&) = delete;

    bool open(const QString& path, int sampleRate);
    bool isOpen() const { return file_ != nullptr; }
    // False once a write has failed; later writes are dropped.
    bool write(const std::int16_t* samples, long frames);
    bool failed() const { return failed_; }
    // Why the file could not be opened or written, for the user: "the disk
    // is full"; empty while all went well.
    const QString& problem() const { return problem_; }
    // Closes the file. True when a valid, non-empty wave file is left.
    bool finish();
    // After finish: the frames the file really holds (0 when removed).
    long long keptFrames() const { return keptFrames_; }

private:
    SNDFILE* file_ = nullptr;
    QString path_;
    long long frames_ = 0;
    long long keptFrames_ = 0;
    bool failed_ = false;
    QString problem_;
};

// The user's words for why a write failed, from its errno: "the disk is
// full".
QString writeFailureText(int error);

struct WaveInfo {
    bool readable = false;
    int sampleRate = 0;
    int channels = 0;
    long long frames = 0;
};

// What libsndfile makes of a file; readable is false for anything that is
// not a sound file it knows.
WaveInfo inspectWave(const QString& path);

// The first channel of a sound file as samples in -1 ... 1 (at most
// maxFrames of them); empty when unreadable.
std::vector<float> readWaveSamples(const QString& path, long long maxFrames);

} // namespace zp
