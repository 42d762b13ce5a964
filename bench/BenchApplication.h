#pragma once
// Windows need an application; the benchmarks run without a display.

#include <QApplication>

namespace zp::bench {

inline void ensureApplication()
{
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zorvik_bench";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

} // namespace zp::bench
