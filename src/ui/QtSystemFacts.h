#pragma once
// The Info page's facts as this computer gives them, and the pure readings
// they are made from (kept apart so tests reach them).

#include "ui/SystemFacts.h"

#include <QString>
#include <array>

namespace zp {

// The first three numbers of a kernel release such as "6.1.0-18-amd64" or
// "5.15.90.1-microsoft-standard": {6, 1, 0}. Missing numbers are 0.
std::array<int, 3> kernelReleaseNumbers(const QString& release);

// The value of KEY=value in an os-release text, its quotes removed; empty
// when the key is not there. VERSION_ID="12" gives "12".
QString osReleaseValue(const QString& osRelease, const QString& key);

// uname() for the system and kernel, /etc/os-release (or
// /usr/lib/os-release) for the distribution's version, the primary screen
// when a window system is there, the running program's own file.
class QtSystemFacts : public SystemFactsSource {
public:
    SystemFacts systemFacts() const override;
};

} // namespace zp
