#include "app/ProgramVersion.h"

// The build passes these in (CMakeLists.txt); a file compiled on its own
// still builds, as version 0.0.0 build 0.
#ifndef ZORVIK_VERSION_MAJOR
#define ZORVIK_VERSION_MAJOR 0
#define ZORVIK_VERSION_MINOR 0
#define ZORVIK_VERSION_PATCH 0
#endif
#ifndef ZORVIK_BUILD_NUMBER
#define ZORVIK_BUILD_NUMBER 0
#endif

namespace zp {

ProgramVersion programVersion()
{
    return {ZORVIK_VERSION_MAJOR, ZORVIK_VERSION_MINOR, ZORVIK_VERSION_PATCH, ZORVIK_BUILD_NUMBER};
}

QString programReleaseText(const ProgramVersion& v)
{
    return QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.patch);
}

QString programVersionText(const ProgramVersion& v)
{
    return QStringLiteral("%1 (build %2)").arg(programReleaseText(v)).arg(v.build);
}

QString programVersionName(const ProgramVersion& v)
{
    return QStringLiteral("%1.%2").arg(v.major).arg(v.minor);
}

} // namespace zp
