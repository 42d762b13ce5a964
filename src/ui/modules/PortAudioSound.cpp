#include "ui/modules/PortAudioSound.h"

#include "ui/ReadableFile.h"
#include "ui/modules/WaveFile.h"

#include <QFile>
#include <alsa/asoundlib.h>
#include <portaudio.h>
#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cmath>
#include <vector>

namespace zp {

namespace {

constexpr int kRecordRate = 44100;
constexpr unsigned long kChunkFrames = 1024;
// Generous latency: a voice note or a chime gains nothing from a small one,
// and through the sound server's ALSA bridge small buffers deliver uneven
// amounts of sound.
constexpr double kLeastLatencySeconds = 0.2;
// Rates outside this range are taken as a damaged header, not a sound.
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 384000;

const QString kDeviceWentAway = QStringLiteral("the sound device stopped delivering sound");
const QString kStoppedAnswering = QStringLiteral("the sound device or the disk stopped answering");

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

PaStream* asStream(void* p)
{
    return static_cast<PaStream*>(p);
}

} // namespace

// --- BoundedThread -----------------------------------------------------------

BoundedThread::~BoundedThread()
{
    if (thread_.joinable())
        thread_.detach();
}

void BoundedThread::start(std::function<void()> work)
{
    done_ = std::make_shared<Done>();
    thread_ = std::thread([done = done_, work = std::move(work)] {
        work();
        std::lock_guard lock(done->mutex);
        done->done = true;
        done->wake.notify_all();
    });
}

bool BoundedThread::finish(std::chrono::milliseconds limit)
{
    if (!thread_.joinable())
        return true;
    bool ended = false;
    {
        std::unique_lock lock(done_->mutex);
        ended = done_->wake.wait_for(lock, limit, [this] { return done_->done; });
    }
    if (ended)
        thread_.join();
    else
        thread_.detach();
    return ended;
}

bool runWithin(std::chrono::milliseconds limit, std::function<void()> work)
{
    BoundedThread thread;
    thread.start(std::move(work));
    return thread.finish(limit);
}

// --- the engine both threads share ---------------------------------------------

struct PortAudioSound::Engine {
    bool initialise(); // caller holds paMutex
    bool rescanDevices(); // caller holds paMutex
    bool openDevice();
    void closeInput();
    void recordLoop();
    void playLoop();
    void playFile(const QString& path, unsigned generation);

    std::timed_mutex paMutex;
    bool initialised = false;
    bool playStreamOpen = false; // guarded by paMutex

    // Recorder.
    void* inputStream = nullptr; // PaStream*
    int inputRate = kRecordRate;
    std::atomic<bool> canRecord{false};
    std::atomic<bool> canPlay{false};
    WaveWriter writer;
    std::atomic<bool> recording{false};
    std::atomic<bool> stopRecordingNow{false};
    std::atomic<float> inputPeak{0}; // of the last buffer read
    std::atomic<long> recordedFrames{0}; // of the recording in progress
    RecordingResult result; // written by the recording thread before it ends

    // Player.
    std::mutex playMutex;
    std::condition_variable playWake;
    QString request;
    bool hasRequest = false;
    bool quit = false;
    std::atomic<unsigned> generation{0};
};

bool PortAudioSound::Engine::initialise()
{
    if (!initialised) {
        // ALSA reports every device it probes and cannot open on the
        // terminal; the program reports what matters itself.
        snd_lib_error_set_handler(quietAlsa);
        initialised = Pa_Initialize() == paNoError;
    }
    return initialised;
}

bool PortAudioSound::Engine::rescanDevices()
{
    // The devices are listed once when PortAudio starts: a sound server
    // started after the planner is only seen by starting it again, which
    // is safe while no stream is open.
    if (!initialised || inputStream || playStreamOpen)
        return initialise();
    Pa_Terminate();
    initialised = false;
    return initialise();
}

bool PortAudioSound::Engine::openDevice()
{
    std::unique_lock lock(paMutex, std::defer_lock);
    // A player stuck in a device holds the lock: no device, rather than a
    // window that never answers.
    if (!lock.try_lock_for(kLongestWait))
        return false;
    canRecord = canPlay = false;
    if (!initialise())
        return false;
    if ((Pa_GetDeviceCount() <= 0 || Pa_GetDefaultInputDevice() == paNoDevice) && !rescanDevices())
        return false;
    if (Pa_GetDeviceCount() <= 0)
        return false;

    const PaDeviceIndex out = Pa_GetDefaultOutputDevice();
    const PaDeviceInfo* outInfo = out == paNoDevice ? nullptr : Pa_GetDeviceInfo(out);
    canPlay = outInfo && outInfo->maxOutputChannels > 0;

    const PaDeviceIndex in = Pa_GetDefaultInputDevice();
    const PaDeviceInfo* inInfo = in == paNoDevice ? nullptr : Pa_GetDeviceInfo(in);
    if (!inInfo || inInfo->maxInputChannels <= 0)
        return canPlay; // a device that cannot record

    PaStreamParameters params{};
    params.device = in;
    params.channelCount = 1;
    params.sampleFormat = paInt16;
    params.suggestedLatency = std::max(inInfo->defaultHighInputLatency, kLeastLatencySeconds);
    PaStream* stream = nullptr;
    inputRate = kRecordRate;
    PaError err = Pa_OpenStream(&stream, &params, nullptr, inputRate, kChunkFrames, paNoFlag, nullptr, nullptr);
    if (err != paNoError) {
        inputRate = static_cast<int>(inInfo->defaultSampleRate);
        err = Pa_OpenStream(&stream, &params, nullptr, inputRate, kChunkFrames, paNoFlag, nullptr, nullptr);
    }
    if (err != paNoError)
        return false;
    inputStream = stream;
    canRecord = true;
    return true;
}

void PortAudioSound::Engine::closeInput()
{
    std::lock_guard lock(paMutex);
    if (inputStream)
        Pa_CloseStream(asStream(inputStream));
    inputStream = nullptr;
}

void PortAudioSound::Engine::recordLoop()
{
    // Only what is there is read, so Stop never waits for the device to
    // deliver another buffer.
    std::vector<std::int16_t> buffer(kChunkFrames);
    QString cutShortBy;
    while (!stopRecordingNow.load()) {
        const signed long available = Pa_GetStreamReadAvailable(asStream(inputStream));
        if (available < 0) {
            cutShortBy = kDeviceWentAway; // keep what was recorded
            break;
        }
        if (available == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        const auto frames = std::min<unsigned long>(static_cast<unsigned long>(available), kChunkFrames);
        const PaError err = Pa_ReadStream(asStream(inputStream), buffer.data(), frames);
        if (err != paNoError && err != paInputOverflowed) {
            cutShortBy = kDeviceWentAway;
            break;
        }
        int peak = 0;
        for (unsigned long i = 0; i < frames; ++i)
            peak = std::max(peak, std::abs(int(buffer[i])));
        inputPeak = float(peak) / 32768.0f;
        if (!writer.write(buffer.data(), static_cast<long>(frames))) {
            cutShortBy = writer.problem(); // the disk is full: keep what was written
            break;
        }
        recordedFrames += static_cast<long>(frames);
    }
    {
        std::lock_guard lock(paMutex);
        Pa_StopStream(asStream(inputStream));
    }
    // Finished here, not by Stop, so a recording cut short is whole on the
    // disk at once, and Stop only collects what it left.
    RecordingResult done;
    done.kept = writer.finish();
    done.seconds = double(writer.keptFrames()) / inputRate;
    done.cutShort = !cutShortBy.isEmpty();
    done.reason = cutShortBy;
    result = done;
    inputPeak = 0;
    recording = false;
}

// --- PortAudioSound ----------------------------------------------------------

PortAudioSound::PortAudioSound() : engine_(std::make_shared<Engine>())
{
    // A JACK client must never start a JACK server of its own: with no
    // server running the device is simply missing.
    if (!std::getenv("JACK_NO_START_SERVER"))
        setenv("JACK_NO_START_SERVER", "1", 0);
    playThread_.start([engine = engine_] { engine->playLoop(); });
}

PortAudioSound::~PortAudioSound()
{
    closeDevice();
    {
        std::lock_guard lock(engine_->playMutex);
        engine_->quit = true;
        ++engine_->generation;
    }
    engine_->playWake.notify_all();
    // The program ends even when the player is stuck in a device: the
    // thread is let go with the engine it holds, and PortAudio, which it
    // may still be inside, is not shut down under it.
    if (!playThread_.finish(kLongestWait) || stuck_)
        return;
    runWithin(kLongestWait, [engine = engine_] {
        std::lock_guard lock(engine->paMutex);
        if (engine->initialised)
            Pa_Terminate();
        engine->initialised = false;
    });
}

bool PortAudioSound::openDevice()
{
    closeDevice();
    return !stuck_ && engine_->openDevice();
}

bool PortAudioSound::canRecord() const
{
    return engine_->canRecord.load();
}

bool PortAudioSound::canPlay() const
{
    return engine_->canPlay.load();
}

bool PortAudioSound::isRecording() const
{
    return engine_->recording.load();
}

double PortAudioSound::recordedSeconds() const
{
    const Engine& e = *engine_;
    return e.recording.load() ? double(e.recordedFrames.load()) / e.inputRate : 0.0;
}

double PortAudioSound::inputLevel() const
{
    return engine_->recording.load() ? double(engine_->inputPeak.load()) : 0.0;
}

bool PortAudioSound::startRecording(const QString& path)
{
    stopRecording();
    Engine& e = *engine_;
    if (stuck_ || !e.inputStream || !e.writer.open(path, e.inputRate))
        return false;
    {
        std::unique_lock lock(e.paMutex, std::defer_lock);
        if (!lock.try_lock_for(kLongestWait) || Pa_StartStream(asStream(e.inputStream)) != paNoError) {
            e.writer.finish();
            return false;
        }
    }
    e.stopRecordingNow = false;
    e.inputPeak = 0;
    e.recordedFrames = 0;
    e.result = {};
    e.recording = true;
    recordThread_.start([engine = engine_] { engine->recordLoop(); });
    return true;
}

RecordingResult PortAudioSound::stopRecording()
{
    if (!recordThread_.started())
        return {};
    engine_->stopRecordingNow = true;
    if (recordThread_.finish(kLongestWait))
        return engine_->result;
    stuck_ = true;
    RecordingResult lost;
    lost.cutShort = true;
    lost.reason = kStoppedAnswering;
    return lost;
}

void PortAudioSound::closeDevice()
{
    stopRecording();
    if (stuck_ || !engine_->inputStream)
        return;
    engine_->canRecord = false;
    if (!runWithin(kLongestWait, [engine = engine_] { engine->closeInput(); }))
        stuck_ = true;
}

void PortAudioSound::play(const QString& path)
{
    Engine& e = *engine_;
    {
        std::lock_guard lock(e.playMutex);
        e.request = path;
        e.hasRequest = true;
        ++e.generation; // the sound playing now ends at its next chunk
    }
    e.playWake.notify_one();
}

bool PortAudioSound::playWaiting() const
{
    std::lock_guard lock(engine_->playMutex);
    return engine_->hasRequest;
}

void PortAudioSound::stopPlaying()
{
    Engine& e = *engine_;
    std::lock_guard lock(e.playMutex);
    e.hasRequest = false;
    ++e.generation;
}

// --- the player ----------------------------------------------------------------

void PortAudioSound::Engine::playLoop()
{
    for (;;) {
        QString path;
        unsigned playing = 0;
        {
            std::unique_lock lock(playMutex);
            playWake.wait(lock, [this] { return quit || hasRequest; });
            if (quit)
                return;
            path = request;
            hasRequest = false;
            playing = generation.load();
        }
        playFile(path, playing);
    }
}

void PortAudioSound::Engine::playFile(const QString& path, unsigned playing)
{
    // Only a regular file is opened: a FIFO would hold the player in
    // open() until a writer came, and a device would never end.
    const int fd = openReadableFile(path);
    if (fd < 0)
        return;
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE); // closes fd, also on failure
    if (!file)
        return;
    if (info.channels <= 0 || info.channels > 64 || info.samplerate < kLowestRate || info.samplerate > kHighestRate) {
        sf_close(file);
        return;
    }

    PaStream* stream = nullptr;
    int outChannels = 0;
    {
        std::lock_guard lock(paMutex);
        const PaDeviceIndex out = initialise() ? Pa_GetDefaultOutputDevice() : paNoDevice;
        const PaDeviceInfo* outInfo = out == paNoDevice ? nullptr : Pa_GetDeviceInfo(out);
        if (outInfo && outInfo->maxOutputChannels > 0) {
            // Mono and stereo play as they are; more channels are folded
            // onto the first two.
            outChannels = std::min({info.channels, 2, outInfo->maxOutputChannels});
            PaStreamParameters params{};
            params.device = out;
            params.channelCount = outChannels;
            params.sampleFormat = paFloat32;
            params.suggestedLatency = std::max(outInfo->defaultHighOutputLatency, kLeastLatencySeconds);
            if (Pa_OpenStream(&stream, nullptr, &params, info.samplerate, kChunkFrames, paClipOff, nullptr, nullptr) !=
                    paNoError ||
                Pa_StartStream(stream) != paNoError) {
                if (stream)
                    Pa_CloseStream(stream);
                stream = nullptr;
            }
        }
        playStreamOpen = stream != nullptr;
    }
    if (!stream) {
        sf_close(file);
        return;
    }

    std::vector<float> in(kChunkFrames * static_cast<std::size_t>(info.channels));
    std::vector<float> out(kChunkFrames * static_cast<std::size_t>(outChannels));
    bool interrupted = false;
    for (;;) {
        if (generation.load() != playing) {
            interrupted = true;
            break;
        }
        const sf_count_t got = sf_readf_float(file, in.data(), kChunkFrames);
        if (got <= 0)
            break; // the end, or a truncated or damaged file
        for (sf_count_t f = 0; f < got; ++f)
            for (int c = 0; c < outChannels; ++c)
                out[f * outChannels + c] = in[f * info.channels + c];
        const PaError err = Pa_WriteStream(stream, out.data(), static_cast<unsigned long>(got));
        if (err != paNoError && err != paOutputUnderflowed)
            break;
    }
    sf_close(file);
    std::lock_guard lock(paMutex);
    if (interrupted)
        Pa_AbortStream(stream);
    else
        Pa_StopStream(stream);
    Pa_CloseStream(stream);
    playStreamOpen = false;
}

} // namespace zp
