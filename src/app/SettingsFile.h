#pragma once
#include "state/Settings.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>

namespace zp {

class MessageBoxService;
class RecordStore;

// PLANNER.INI: not a key=value file but a fixed sequence of 106 lines whose
// meaning is their position. Line 1 is the header, line 2 the "save settings
// on exit" flag, lines 3 ... 106 the settings (see SettingsSnapshot for the
// order). Lines end with CR LF; number lines are written as the old BASIC
// printed numbers (" 10 ", "-2147483640 ").
constexpr int kSettingsLineCount = 106;
inline const QString kSettingsFileName = QStringLiteral("PLANNER.INI");
inline const QString kSettingsHeader = QStringLiteral("Zorvik Planner 3.2");

// Files of this size or smaller are treated like a missing file.
constexpr qint64 kSettingsMinimumBytes = 20;
// A line longer than this makes the file unreadable (it cannot be one the
// planner wrote).
constexpr qsizetype kSettingsMaxLineBytes = 65536;

// Shown once at start-up when the file is there but wrongly headed, too
// short or unreadable; the defaults apply. A missing file (or one of 20 bytes
// or less) is a first start: the defaults apply without a word.
inline const QString kSettingsLoadFailedTitle = QStringLiteral("Zorvik Planner Startup");
inline const QString kSettingsLoadFailedText = QStringLiteral(
    "The file PLANNER.INI was not loaded succesfully. Check the file %1. Alternatively a new .INI file will be "
    "created for you.");

// Shown when writing fails at exit, by the way the program is left; the exit
// goes on either way. %1 is the file.
inline const QString kSettingsWriteFailedExitMenuTitle = QStringLiteral("Zorvik Planner Exit");
inline const QString kSettingsWriteFailedExitMenu = QStringLiteral("Trouble saving PLANNER.INI file. Check the file %1");
inline const QString kSettingsWriteFailedWindowCloseTitle = QStringLiteral("Zorvik Planner Settings");
inline const QString kSettingsWriteFailedWindowClose = QStringLiteral(
    "The file PLANNER.INI was not opened succesfully and therefore your setting were not saved. Check the file %1");

// A path as the messages show it: "~/" for the home folder.
QString settingsPathForDisplay(const QString& path);

// ~/.config/zorvik-planner/PLANNER.INI, or under $XDG_CONFIG_HOME when set.
QString settingsFilePath();

// Whether a first line is one of the headers the reader accepts
// ("Zorvik Planner 2.0", "2.1", "3.0", "3.1" and "3.2", whole lines).
bool isAcceptedSettingsHeader(QStringView line);

// Every setting to its default, the flag ("1") included.
void setDefaultSettings(Settings& settings, RecordStore& store);

// Reads the file into the settings and the store. A missing file, or one of
// 20 bytes or less, quietly sets the defaults. A wrong header, a file that
// ends before line 106, an overlong line or a number too big for its line
// shows the start-up message, naming the file, once and sets the defaults
// instead; nothing read from such a file is kept.
// Returns the snapshot for saveSettings; `loaded` tells whether the file
// was used.
SettingsSnapshot loadSettings(const QString& path, Settings& settings, RecordStore& store,
                              MessageBoxService& messages, bool* loaded = nullptr);

// The bytes saveSettings writes: the header, the current flag, then lines
// 3 ... 106 from the current settings when the flag is "1", otherwise from
// the snapshot.
QByteArray settingsFileBytes(const Settings& settings, const RecordStore& store, const SettingsSnapshot& snapshot);

struct SettingsWriteResult {
    bool ok = true;
    QString error; // the system's reason when not ok
    explicit operator bool() const { return ok; }
};

// Writes the file through a temporary file renamed over the old one, making
// the folder when needed; a failed write leaves the old file as it was.
SettingsWriteResult saveSettings(const QString& path, const Settings& settings, const RecordStore& store,
                                 const SettingsSnapshot& snapshot);

// The write-failure message of the exit path: File > Exit when viaMenu,
// closing the main window otherwise; it names the file `path`.
void reportSettingsWriteFailure(MessageBoxService& messages, bool viaMenu, const QString& path);

// Number lines as the old BASIC printed them: a blank for the sign when not
// negative, the digits, a trailing blank. Singles show at most 7 significant
// digits, without a leading zero before the point (" .5 ") and with an
// exponent from 1E+07 up (" 1.234568E+07 ").
QString settingsIntegerText(qint64 value);
QString settingsSingleText(float value);

} // namespace zp
