#pragma once
#include <QString>

namespace zp {

// The files installed beside the program: `cmake --install` and the Debian
// package put the program in <prefix>/bin and its data in <prefix>/share,
// so they are found from the program's own folder wherever the prefix is
// (/usr, /usr/local, a DESTDIR). Run from the build folder, neither is
// there and the copies compiled into the program serve.
struct InstalledFiles {
    QString userGuide;    // .../share/doc/zorvik-planner/html/index.html, or empty
    QString startupSound; // .../share/zorvik-planner/PLANNER.WAV, or empty
};

InstalledFiles findInstalledFiles(const QString& programDirectory);

// Lines for --version telling where each was found ("built in" when not).
QString installedFilesText(const InstalledFiles& files);

} // namespace zp
