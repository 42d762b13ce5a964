#pragma once
#include <QString>

namespace zp {

// What a recording left behind, as the sound service found it on stopping.
struct RecordingResult {
    // A valid wave file holding the recording is left.
    bool kept = false;
    // The length of sound the file really holds.
    double seconds = 0;
    // Writing ended before Stop: the disk filled up or the device went away.
    bool cutShort = false;
    // Why, in the user's words ("the disk is full"), when cut short or not
    // kept for a known reason.
    QString reason;
};

// The sound device: records voice notes into wave files and plays wave
// files back without blocking the caller. One service for the whole run.
// No call waits for ever on a device or a disk that stopped answering, and
// only regular files are played or written.
class SoundService {
public:
    virtual ~SoundService() = default;

    // Opens the default recording and playing devices. False when there is
    // no sound server or device to talk to.
    virtual bool openDevice() = 0;
    // After openDevice: whether the opened devices can record and play.
    virtual bool canRecord() const = 0;
    virtual bool canPlay() const = 0;
    // Starts recording into `path` (16-bit PCM mono WAV), replacing that
    // file. False when the file or the recording stream cannot be opened.
    virtual bool startRecording(const QString& path) = 0;
    // True from startRecording until stopRecording, or until the recording
    // ends by itself (the disk filled up, the device went away).
    virtual bool isRecording() const = 0;
    // Ends the recording and closes its file; says what it left. A file
    // that could not be finished (nothing could be kept) is removed.
    virtual RecordingResult stopRecording() = 0;
    // How loud the input is while recording: the peak of the last buffer
    // read, from 0 (silence) to 1 (full scale); 0 when not recording.
    virtual double inputLevel() const = 0;
    // Stops any recording and releases the devices openDevice opened.
    virtual void closeDevice() = 0;

    // Starts playing a wave file and returns at once; a new sound stops the
    // one playing. Files that cannot be played (missing, no regular file,
    // no sound) are ignored silently.
    virtual void play(const QString& path) = 0;
    virtual void stopPlaying() = 0;
};

} // namespace zp
