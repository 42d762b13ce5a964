// libFuzzer target for the calendar reader, with an export round trip.
// Build it with clang:
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DZORVIK_BUILD_FUZZ=ON \
//         -DZORVIK_BUILD_TESTS=OFF -DZORVIK_BUILD_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_calendar
//   build-fuzz/tests/plan/fuzz/fuzz_calendar -max_total_time=600 new-corpus tests/plan/fuzz/calendar-corpus
// New inputs worth keeping go into tests/plan/fuzz/calendar-corpus, which
// test_plan replays on every run.

#include "plan/fuzz/CalendarFuzzCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const zp::DateOrder order : {zp::DateOrder::DayFirst, zp::DateOrder::MonthFirst}) {
        const QString why = zp::fuzzcheck::checkCalendarBytes(bytes, order);
        if (!why.isEmpty()) {
            std::fprintf(stderr, "calendar check failed: %s\n", why.toLocal8Bit().constData());
            std::abort();
        }
    }
    return 0;
}
