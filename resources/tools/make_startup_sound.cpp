// Synthesises resources/sounds/PLANNER.WAV, the start-up chime: three soft
// bell-like notes rising (C5, E5, G5) that ring into a chord. Not part of
// the build; run by hand when the sound changes:
//
//   g++ -std=c++20 make_startup_sound.cpp -o /tmp/make_startup_sound $(pkg-config --cflags --libs sndfile)
//   /tmp/make_startup_sound /path/to/resources/sounds/PLANNER.WAV

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.WAV\n", argv[0]);
        return 2;
    }
    constexpr int rate = 22050;
    constexpr double seconds = 1.4;
    constexpr double pi = 3.14159265358979323846;
    const int frames = static_cast<int>(rate * seconds);
    std::vector<double> mix(frames, 0.0);

    struct Note {
        double frequency;
        double start;
    };
    const Note notes[] = {{523.25, 0.00}, {659.26, 0.14}, {783.99, 0.28}};
    for (const Note& note : notes) {
        const int first = static_cast<int>(note.start * rate);
        for (int i = first; i < frames; ++i) {
            const double t = double(i - first) / rate;
            // A quick rise, then a bell's exponential fade; the octave and
            // twelfth partials fade faster, which keeps the tone soft.
            const double attack = std::min(1.0, t / 0.008);
            const double body = std::sin(2 * pi * note.frequency * t) * std::exp(-3.2 * t);
            const double octave = 0.35 * std::sin(2 * pi * 2 * note.frequency * t) * std::exp(-6.0 * t);
            const double twelfth = 0.12 * std::sin(2 * pi * 3 * note.frequency * t) * std::exp(-9.0 * t);
            mix[i] += attack * (body + octave + twelfth);
        }
    }
    // Fade out over the last 0.15 s and scale to a comfortable level.
    double peak = 0;
    for (double v : mix)
        peak = std::max(peak, std::abs(v));
    std::vector<short> samples(frames);
    for (int i = 0; i < frames; ++i) {
        const double tail = std::min(1.0, double(frames - i) / (0.15 * rate));
        samples[i] = static_cast<short>(std::lround(mix[i] / peak * 0.5 * tail * 32767));
    }

    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    sf_writef_short(file, samples.data(), frames);
    sf_close(file);
    return 0;
}
