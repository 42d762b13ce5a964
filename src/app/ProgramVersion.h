#pragma once
#include <QString>

namespace zp {

// The program's version as the build sets it: major.minor.patch and the
// build number the build was made with.
struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int patch = 0;
    int build = 0;
};

ProgramVersion programVersion();

// "3.2.0": the release, as the application's own version names it.
QString programReleaseText(const ProgramVersion& version = programVersion());

// "3.2.0 (build 412)", as --version and the Info page show it.
QString programVersionText(const ProgramVersion& version = programVersion());

// "3.2": the version as the hint bar and the About box name it.
QString programVersionName(const ProgramVersion& version = programVersion());

} // namespace zp
