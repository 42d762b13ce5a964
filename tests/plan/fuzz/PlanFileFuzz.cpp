// libFuzzer target for the plan file reader. Build it with clang:
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DZORVIK_BUILD_FUZZ=ON \
//         -DZORVIK_BUILD_TESTS=OFF -DZORVIK_BUILD_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_plan_file
//   build-fuzz/tests/plan/fuzz/fuzz_plan_file -max_total_time=300 new-corpus tests/plan/fuzz/corpus
// New inputs worth keeping go into tests/plan/fuzz/corpus, which test_plan
// replays on every run.

#include "plan/fuzz/PlanFileFuzzCheck.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// A folder in memory where there is one: every save syncs to disk.
QTemporaryDir& folder()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/zorvik-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/zorvik-fuzz-XXXXXX"));
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const zp::DateOrder order : {zp::DateOrder::DayFirst, zp::DateOrder::MonthFirst}) {
        const QString why = zp::fuzzcheck::checkPlanBytes(bytes, folder().path(), order);
        if (!why.isEmpty()) {
            std::fprintf(stderr, "plan file check failed: %s\n", why.toLocal8Bit().constData());
            std::abort();
        }
    }
    return 0;
}
