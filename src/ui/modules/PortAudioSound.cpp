#include "ui/modules/PortAudioSound.h"

#include <QFile>
#include <alsa/asoundlib.h>
#include <portaudio.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
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

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

PaStream* asStream(void* p)
{
    return static_cast<PaStream*>(p);
}

} // namespace

PortAudioSound::PortAudioSound()
{
    // A JACK client must never start a JACK server of its own: with no
    // server running the device is simply missing.
    if (!std::getenv("JACK_NO_START_SERVER"))
        setenv("JACK_NO_START_SERVER", "1", 0);
    playThread_ = std::thread([this] { playLoop(); });
}

PortAudioSound::~PortAudioSound()
{
    closeDevice();
    {
        std::lock_guard lock(playMutex_);
        quit_ = true;
        ++generation_;
    }
    playWake_.notify_all();
    playThread_.join();
    std::lock_guard lock(paMutex_);
    if (initialised_)
        Pa_Terminate();
}

bool PortAudioSound::initialise()
{
    if (!initialised_) {
        // ALSA reports every device it probes and cannot open on the
        // terminal; the program reports what matters itself.
        snd_lib_error_set_handler(quietAlsa);
        initialised_ = Pa_Initialize() == paNoError;
    }
    return initialised_;
}

bool PortAudioSound::rescanDevices()
{
    // The devices are listed once when PortAudio starts: a sound server
    // started after the planner is only seen by starting it again, which
    // is safe while no stream is open.
    if (!initialised_ || inputStream_ || playStreamOpen_)
        return initialise();
    Pa_Terminate();
    initialised_ = false;
    return initialise();
}

bool PortAudioSound::openDevice()
{
    closeDevice();
    std::lock_guard lock(paMutex_);
    canRecord_ = canPlay_ = false;
    if (!initialise())
        return false;
    if ((Pa_GetDeviceCount() <= 0 || Pa_GetDefaultInputDevice() == paNoDevice) && !rescanDevices())
        return false;
    if (Pa_GetDeviceCount() <= 0)
        return false;

    const PaDeviceIndex out = Pa_GetDefaultOutputDevice();
    const PaDeviceInfo* outInfo = out == paNoDevice ? nullptr : Pa_GetDeviceInfo(out);
    canPlay_ = outInfo && outInfo->maxOutputChannels > 0;

    const PaDeviceIndex in = Pa_GetDefaultInputDevice();
    const PaDeviceInfo* inInfo = in == paNoDevice ? nullptr : Pa_GetDeviceInfo(in);
    if (!inInfo || inInfo->maxInputChannels <= 0)
        return canPlay_; // a device that cannot record

    PaStreamParameters params{};
    params.device = in;
    params.channelCount = 1;
    params.sampleFormat = paInt16;
    params.suggestedLatency = std::max(inInfo->defaultHighInputLatency, kLeastLatencySeconds);
    PaStream* stream = nullptr;
    inputRate_ = kRecordRate;
    PaError err = Pa_OpenStream(&stream, &params, nullptr, inputRate_, kChunkFrames, paNoFlag, nullptr, nullptr);
    if (err != paNoError) {
        inputRate_ = static_cast<int>(inInfo->defaultSampleRate);
        err = Pa_OpenStream(&stream, &params, nullptr, inputRate_, kChunkFrames, paNoFlag, nullptr, nullptr);
    }
    if (err != paNoError)
        return false;
    inputStream_ = stream;
    canRecord_ = true;
    return true;
}

bool PortAudioSound::startRecording(const QString& path)
{
    stopRecording();
    if (!inputStream_ || !writer_.open(path, inputRate_))
        return false;
    {
        std::lock_guard lock(paMutex_);
        if (Pa_StartStream(asStream(inputStream_)) != paNoError) {
            writer_.finish();
            return false;
        }
    }
    stopRecordingNow_ = false;
    recording_ = true;
    recordThread_ = std::thread([this] { recordLoop(); });
    return true;
}

void PortAudioSound::recordLoop()
{
    // Only what is there is read, so Stop never waits for the device to
    // deliver another buffer.
    std::vector<std::int16_t> buffer(kChunkFrames);
    while (!stopRecordingNow_.load()) {
        const signed long available = Pa_GetStreamReadAvailable(asStream(inputStream_));
        if (available < 0)
            break; // the device went away: keep what was recorded
        if (available == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        const auto frames = std::min<unsigned long>(static_cast<unsigned long>(available), kChunkFrames);
        const PaError err = Pa_ReadStream(asStream(inputStream_), buffer.data(), frames);
        if (err != paNoError && err != paInputOverflowed)
            break;
        if (!writer_.write(buffer.data(), static_cast<long>(frames)))
            break; // the disk is full: keep what was written
    }
}

bool PortAudioSound::stopRecording()
{
    if (!recordThread_.joinable())
        return false;
    stopRecordingNow_ = true;
    recordThread_.join();
    {
        std::lock_guard lock(paMutex_);
        Pa_StopStream(asStream(inputStream_));
    }
    recording_ = false;
    return writer_.finish();
}

void PortAudioSound::closeDevice()
{
    stopRecording();
    std::lock_guard lock(paMutex_);
    if (inputStream_)
        Pa_CloseStream(asStream(inputStream_));
    inputStream_ = nullptr;
}

void PortAudioSound::play(const QString& path)
{
    {
        std::lock_guard lock(playMutex_);
        request_ = path;
        hasRequest_ = true;
        ++generation_; // the sound playing now ends at its next chunk
    }
    playWake_.notify_one();
}

void PortAudioSound::stopPlaying()
{
    std::lock_guard lock(playMutex_);
    hasRequest_ = false;
    ++generation_;
}

void PortAudioSound::playLoop()
{
    for (;;) {
        QString path;
        unsigned generation = 0;
        {
            std::unique_lock lock(playMutex_);
            playWake_.wait(lock, [this] { return quit_ || hasRequest_; });
            if (quit_)
                return;
            path = request_;
            hasRequest_ = false;
            generation = generation_.load();
        }
        playFile(path, generation);
    }
}

void PortAudioSound::playFile(const QString& path, unsigned generation)
{
    SF_INFO info{};
    const QByteArray name = QFile::encodeName(path);
    SNDFILE* file = sf_open(name.constData(), SFM_READ, &info);
    if (!file)
        return;
    if (info.channels <= 0 || info.channels > 64 || info.samplerate < kLowestRate || info.samplerate > kHighestRate) {
        sf_close(file);
        return;
    }

    PaStream* stream = nullptr;
    int outChannels = 0;
    {
        std::lock_guard lock(paMutex_);
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
        playStreamOpen_ = stream != nullptr;
    }
    if (!stream) {
        sf_close(file);
        return;
    }

    std::vector<float> in(kChunkFrames * static_cast<std::size_t>(info.channels));
    std::vector<float> out(kChunkFrames * static_cast<std::size_t>(outChannels));
    bool interrupted = false;
    for (;;) {
        if (generation_.load() != generation) {
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
    std::lock_guard lock(paMutex_);
    if (interrupted)
        Pa_AbortStream(stream);
    else
        Pa_StopStream(stream);
    Pa_CloseStream(stream);
    playStreamOpen_ = false;
}

} // namespace zp
