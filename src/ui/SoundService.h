#pragma once
#include <QString>

namespace zp {

// The sound device: records voice notes into wave files and plays wave
// files back without blocking the caller. One service for the whole run.
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
    virtual bool isRecording() const = 0;
    // Ends the recording and closes its file. True when a valid wave file
    // holding the recording is left; a file that could not be finished
    // (the disk filled up and nothing could be kept) is removed.
    virtual bool stopRecording() = 0;
    // Stops any recording and releases the devices openDevice opened.
    virtual void closeDevice() = 0;

    // Starts playing a wave file and returns at once; a new sound stops the
    // one playing. Files that cannot be played are ignored silently.
    virtual void play(const QString& path) = 0;
    virtual void stopPlaying() = 0;
};

} // namespace zp
