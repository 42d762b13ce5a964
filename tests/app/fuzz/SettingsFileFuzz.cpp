// libFuzzer target for the settings reader, built like the plan file one:
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DZORVIK_BUILD_FUZZ=ON \
//         -DZORVIK_BUILD_TESTS=OFF -DZORVIK_BUILD_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_settings_file
//   build-fuzz/tests/app/fuzz/fuzz_settings_file -max_total_time=300 new-corpus tests/app/fuzz/corpus
// New inputs worth keeping go into tests/app/fuzz/corpus, which test_app
// replays on every run.

#include "app/fuzz/SettingsFileFuzzCheck.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/zorvik-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/zorvik-fuzz-XXXXXX"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString why = zp::fuzzcheck::checkSettingsBytes(bytes, dir.path());
    if (!why.isEmpty()) {
        std::fprintf(stderr, "settings check failed: %s\n", why.toLocal8Bit().constData());
        std::abort();
    }
    return 0;
}
