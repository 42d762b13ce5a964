#pragma once
// The platform services a program that links Qt Core only can use too: the
// clock, the system's date order, the facts about the computer that need
// no window system, and where the planner's two programs are installed.

#include "ui/Clock.h"
#include "ui/DateOrderSource.h"
#include "ui/SystemFacts.h"

#include <QByteArrayView>
#include <QSize>
#include <QString>
#include <array>
#include <optional>

namespace zp {

// The day/month order of a C library date format such as "%d/%m/%Y":
// day first when the day (%d, %e) comes before the month (%m, %b, %B, %h),
// month first when the month comes first. "%D" (= "%m/%d/%y") and "%F"
// (= "%Y-%m-%d") count as month first. A format with neither, such as
// "%x", is taken as month first, the order of the C locale's "%m/%d/%y".
DateOrder dateOrderFromFormat(const QString& dFmt);

// The one place that reads the real time.
class SystemClock : public Clock {
public:
    QDateTime now() const override;
    QTimeZone timeZone() const override;
    qint64 steadyMsecs() const override;
};

// Reads the date format of the LC_TIME locale named by the environment
// (LC_ALL, LC_TIME, LANG) on every call, through a locale object made
// afresh, so a changed environment is noticed without a restart. Should the
// environment name a locale that is not installed, the process's own
// LC_TIME locale is asked instead; main() sets that from the environment
// once at start-up with setlocale(LC_TIME, "") (QApplication does the same
// for every category on Unix).
class LocaleDateOrder : public DateOrderSource {
public:
    DateOrder systemDateOrder() const override;
};

// The first three numbers of a kernel release such as "6.1.0-18-amd64" or
// "5.15.90.1-microsoft-standard": {6, 1, 0}. Missing numbers are 0.
std::array<int, 3> kernelReleaseNumbers(const QString& release);

// The value of KEY=value in an os-release text, its quotes removed; empty
// when the key is not there. VERSION_ID="12" gives "12".
QString osReleaseValue(const QString& osRelease, const QString& key);

// The facts uname(), /etc/os-release (or /usr/lib/os-release) and the
// program's own file give; no screen. The program's folder is the folder
// of the `zorvik-planner` command (plannerCommandDirectory), the size that
// of the command and the full program together (of the running program's
// file alone when it is neither).
SystemFacts hostSystemFacts();

// The option the full program answers with the size of the display's
// primary screen ("1280x1024") and nothing else.
inline constexpr char kScreenSizeOption[] = "--screen-size";

// The primary screen of the display the environment names (DISPLAY,
// WAYLAND_DISPLAY), as the windows would see it: asked of the full program
// beside the command, since the command links no window system. None when
// no display is named, it cannot be reached or the full program is missing.
std::optional<QSize> displayScreenPixels(const QString& commandDirectory);

// "1280x1024" read back; none for anything else.
std::optional<QSize> parseScreenSize(QByteArrayView text);

// --- The two programs ------------------------------------------------------
//
// `zorvik-planner` is a small program that links Qt Core only: it runs the
// terminal commands itself and hands the windows and --pdf to the full
// program, `zorvik-planner-windows`, by exec. Installed, the full program
// lives in <libexec>/zorvik-planner/ (it is no command of its own); in the
// build folder the two sit side by side.

inline const QString kWindowsProgramName = QStringLiteral("zorvik-planner-windows");

// The folder of the running program's own file (/proc/self/exe, links
// resolved); empty when it cannot be read.
QString ownProgramDirectory();

// The full program for a `zorvik-planner` in `commandDirectory`: its
// installed place when it is there, else beside the command, else its
// installed place (for the message that it is missing).
QString windowsProgramPath(const QString& commandDirectory);

// The folder of the `zorvik-planner` command, for a program in
// `programDirectory`: the full program installed in libexec answers the
// bin folder beside it, so files installed relative to the command
// (../share/...) are found; any other program answers its own folder.
QString plannerCommandDirectory(const QString& programDirectory);

} // namespace zp
