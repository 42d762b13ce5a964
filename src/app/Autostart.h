#pragma once
#include <QString>

namespace zp {

// The option that starts the planner in the tray, as the login entry does.
inline const QString kTrayOption = QStringLiteral("--tray");

// The desktop's autostart entry for the planner:
// $XDG_CONFIG_HOME/autostart/org.zorvik.Planner.desktop (~/.config/...).
QString autostartFilePath();

// The entry's text: starts `command` (the `zorvik-planner` program) in the
// tray, with the plan it had open last.
QString autostartEntryText(const QString& command);

// Whether the entry is there and not switched off by the desktop
// (Hidden=true, X-GNOME-Autostart-enabled=false).
bool startsAtLogin();

// Writes (safely: a whole file or none) or removes the entry. False, with
// the reason in `error`, when that failed.
bool setStartAtLogin(bool on, const QString& command, QString* error = nullptr);

} // namespace zp
