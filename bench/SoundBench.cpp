// Starting playback of a record's sound, as a list click or a shown record
// does, from the moment the window asks until control is back with it.
//
//   BM_PlaybackStart          PortAudioSound::play of the start-up chime;
//                             each call also stops the sound started by the
//                             one before, as a quick run of clicks does
//   BM_PlaybackStartBaseline  checking that the same file exists (one stat
//                             call), for scale
//   BM_PlaybackStartDamaged   play of files that are no sound, in turn: the
//                             chime cut to a third, a text, an empty file,
//                             a missing one and a folder
//
// Goal: well under 20 ms a call, so the window never waits for the sound
// device (opening the file and the device happen on the player's thread).

#include "ui/modules/PortAudioSound.h"
#include "ui/modules/WaveFile.h"
#include "ui/StartupSound.h"

#include <iterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString& chimePath()
{
    static QTemporaryDir dir;
    static const QString path = zp::installStartupSound(dir.path());
    return path;
}

void BM_PlaybackStart(benchmark::State& state)
{
    const QString& path = chimePath();
    zp::PortAudioSound sound;
    for (auto _ : state)
        sound.play(path);
    sound.stopPlaying();
}
BENCHMARK(BM_PlaybackStart)->Unit(benchmark::kMicrosecond);

void BM_PlaybackStartBaseline(benchmark::State& state)
{
    const QString& path = chimePath();
    for (auto _ : state)
        benchmark::DoNotOptimize(QFileInfo::exists(path));
}
BENCHMARK(BM_PlaybackStartBaseline)->Unit(benchmark::kMicrosecond);

void BM_PlaybackStartDamaged(benchmark::State& state)
{
    static QTemporaryDir dir;
    QFile chime(chimePath());
    chime.open(QIODevice::ReadOnly);
    const QByteArray good = chime.readAll();
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    const QString files[] = {write("truncated.wav", good.left(good.size() / 3)), write("text.wav", "not a sound\n"),
                             write("empty.wav", QByteArray()), dir.filePath(QStringLiteral("missing.wav")), dir.path()};
    zp::PortAudioSound sound;
    std::size_t next = 0;
    for (auto _ : state)
        sound.play(files[next++ % std::size(files)]);
    sound.stopPlaying();
}
BENCHMARK(BM_PlaybackStartDamaged)->Unit(benchmark::kMicrosecond);

} // namespace
