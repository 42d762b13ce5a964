#pragma once
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

namespace zp {

// What the Info page tells about the computer and the program's own file.
struct SystemFacts {
    QString platformName;        // "Linux"; empty: no platform line
    int versionMajor = 0;        // the kernel's release numbers
    int versionMinor = 0;
    int versionPatch = 0;
    QString serviceLevel;        // the distribution's version text ("12"), empty when none
    std::optional<QSize> screenPixels; // primary screen; none on a terminal without a display
    QString programDirectory;
    std::optional<std::int64_t> programFileSize; // none when the program file cannot be read
};

class SystemFactsSource {
public:
    virtual ~SystemFactsSource() = default;
    virtual SystemFacts systemFacts() const = 0;
};

} // namespace zp
