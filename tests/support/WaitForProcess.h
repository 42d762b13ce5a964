#pragma once
// For window tests (they link Qt Test): waiting on another process.
#include <QTest>

namespace zp {

// Waits, serving events, until another process or thread has done what
// `condition` looks for. Only for what no test clock can drive (a program
// starting, a file another process writes); false when it never came.
template <class Condition> bool waitForOtherProcess(Condition condition, int ms = 20000)
{
    return QTest::qWaitFor(condition, ms);
}

} // namespace zp
