#pragma once
// The sound device through PortAudio, wave files through libsndfile.

#include "ui/SoundService.h"
#include "ui/modules/WaveFile.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace zp {

// Recording runs on a thread of its own that reads the input stream and
// writes the wave file; playing runs on one long-lived thread that is
// handed file names, so play() only queues the name and returns. Every
// PortAudio call that opens, closes or sets up goes through one lock.
class PortAudioSound : public SoundService {
public:
    PortAudioSound();
    ~PortAudioSound() override;
    PortAudioSound(const PortAudioSound&) = delete;
    PortAudioSound& operator=(const PortAudioSound&) = delete;

    bool openDevice() override;
    bool canRecord() const override { return canRecord_; }
    bool canPlay() const override { return canPlay_; }
    bool startRecording(const QString& path) override;
    bool isRecording() const override { return recording_.load(); }
    bool stopRecording() override;
    void closeDevice() override;

    void play(const QString& path) override;
    void stopPlaying() override;

private:
    bool initialise(); // caller holds paMutex_
    bool rescanDevices(); // caller holds paMutex_
    void recordLoop();
    void playLoop();
    void playFile(const QString& path, unsigned generation);

    std::mutex paMutex_;
    bool initialised_ = false;
    bool playStreamOpen_ = false; // guarded by paMutex_

    // Recorder.
    void* inputStream_ = nullptr; // PaStream*
    int inputRate_ = 44100;
    bool canRecord_ = false;
    bool canPlay_ = false;
    WaveWriter writer_;
    std::thread recordThread_;
    std::atomic<bool> recording_{false};
    std::atomic<bool> stopRecordingNow_{false};

    // Player.
    std::thread playThread_;
    std::mutex playMutex_;
    std::condition_variable playWake_;
    QString request_;
    bool hasRequest_ = false;
    bool quit_ = false;
    std::atomic<unsigned> generation_{0};
};

} // namespace zp
