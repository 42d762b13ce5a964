#pragma once
// The sound device through PortAudio, wave files through libsndfile.

#include "ui/SoundService.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zp {

// A thread that is waited for only so long: one stuck in a device or a disk
// that stopped answering is let go, so stopping the recorder or ending the
// program never hangs on it. What the work uses must be owned by the work
// itself (a shared_ptr it holds), as a thread let go may go on using it
// after its starter is gone.
class BoundedThread {
public:
    BoundedThread() = default;
    ~BoundedThread();
    BoundedThread(const BoundedThread&) = delete;
    BoundedThread& operator=(const BoundedThread&) = delete;

    void start(std::function<void()> work);
    // Started, and neither joined nor let go yet.
    bool started() const { return thread_.joinable(); }
    // Waits up to `limit` for the work to end: true when it ended (the
    // thread is joined), false when it is still running and was let go.
    bool finish(std::chrono::milliseconds limit);

private:
    struct Done {
        std::mutex mutex;
        std::condition_variable wake;
        bool done = false;
    };
    std::shared_ptr<Done> done_;
    std::thread thread_;
};

// Runs `work` on a thread of its own and waits up to `limit` for it; false
// when it was let go still running.
bool runWithin(std::chrono::milliseconds limit, std::function<void()> work);

// Recording runs on a thread of its own that reads the input stream and
// writes the wave file, and stops the stream and finishes the file itself;
// playing runs on one long-lived thread that is handed file names, so
// play() only queues the name and returns. The state both threads use is
// an engine they share, so either can be let go when it does not end in
// time. Every PortAudio call that opens, closes or sets up goes through
// one lock.
class PortAudioSound : public SoundService {
public:
    // How long stopping waits for a thread or a device call to end.
    static constexpr std::chrono::milliseconds kLongestWait{3000};

    PortAudioSound();
    ~PortAudioSound() override;
    PortAudioSound(const PortAudioSound&) = delete;
    PortAudioSound& operator=(const PortAudioSound&) = delete;

    bool openDevice() override;
    bool canRecord() const override;
    bool canPlay() const override;
    bool startRecording(const QString& path) override;
    bool isRecording() const override;
    RecordingResult stopRecording() override;
    double inputLevel() const override;
    void closeDevice() override;
    // Seconds the recording in progress holds so far (0 when none), as the
    // device delivered them: what a wait for "recorded enough" looks at.
    double recordedSeconds() const;

    void play(const QString& path) override;
    void stopPlaying() override;
    // Whether a sound asked for with play() still waits for the player to
    // take it up.
    bool playWaiting() const;

    struct Engine;

private:
    std::shared_ptr<Engine> engine_;
    BoundedThread recordThread_;
    BoundedThread playThread_;
    // A recording thread or a device call that did not end in time still
    // holds the input stream: nothing more is recorded, and PortAudio is
    // left as it is when the program ends.
    bool stuck_ = false;
};

} // namespace zp
