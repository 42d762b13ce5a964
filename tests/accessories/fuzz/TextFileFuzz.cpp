// libFuzzer target for the notepad's reading and writing of text files.
// Build it with clang:
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DZORVIK_BUILD_FUZZ=ON \
//         -DZORVIK_BUILD_TESTS=OFF -DZORVIK_BUILD_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_text_file
//   build-fuzz/tests/accessories/fuzz/fuzz_text_file -max_total_time=600 new-corpus tests/accessories/fuzz/corpus
// New inputs worth keeping go into tests/accessories/fuzz/corpus, which
// test_accessories replays on every run.

#include "accessories/fuzz/TextFileFuzzCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString why = zp::fuzzcheck::checkTextBytes(bytes);
    if (!why.isEmpty()) {
        std::fprintf(stderr, "text file check failed: %s\n", why.toLocal8Bit().constData());
        std::abort();
    }
    return 0;
}
