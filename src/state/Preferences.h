#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <memory>

class QSettings;

namespace zp {

// The settings PLANNER.INI has no line for. PLANNER.INI is a fixed list of
// lines that other copies and older versions of the planner read by
// position, so nothing can be added to it; everything newer lives in one
// key=value file beside it, ~/.config/zorvik-planner/zorvik-planner.conf
// ($XDG_CONFIG_HOME when set), an INI file read and written through
// QSettings.
//
// Keys in use (add yours here, with its type and meaning):
//   MainWindow/maximised   bool         the main window was maximised when
//                                       the program last ended
//   RecentPlans/files      string list  the plans last opened or saved,
//                                       most recent first (at most eight)
//   WorldTimes/homeCity    int          the picture number (1 ... 16,
//                                       18 ... 25) of the home city last
//                                       chosen in the world times; unset
//                                       until one is chosen
//   Alarms/on              bool         records alarm (default true)
//   Alarms/leadMinutes     int          how long before a record's time it
//                                       alarms: 0, 5, 10, 15, 30, 60 or 1440
//                                       (a day); default 10
//   Alarms/untimedAt       string       HH:mm, when a record without a
//                                       time alarms on its day; "09:00"
//   Alarms/keepInTray      bool         closing the main window leaves the
//                                       planner in the tray (default false)
//   Alarms/checkedUpTo     string       ISO date-time (UTC): alarms due up
//                                       to then were shown; later ones that
//                                       fell due while the planner was not
//                                       running are missed alarms
//   CalendarServer/<plan>/url, /user, /publishAfterSave, /certificates
//                          per plan (<plan>: calendarServerPlanKey): the
//                          calendar's URL, the user name, publish after
//                          each save (bool), and "host digest" texts of
//                          certificates the user accepted. The password
//                          lives in the keyring, never here.
inline const QString kPreferencesFileName = QStringLiteral("zorvik-planner.conf");
namespace PreferenceKey {
inline const QString MainWindowMaximised = QStringLiteral("MainWindow/maximised");
inline const QString RecentPlans = QStringLiteral("RecentPlans/files");
inline const QString WorldTimesHomeCity = QStringLiteral("WorldTimes/homeCity");
inline const QString AlarmsOn = QStringLiteral("Alarms/on");
inline const QString AlarmLeadMinutes = QStringLiteral("Alarms/leadMinutes");
inline const QString AlarmUntimedAt = QStringLiteral("Alarms/untimedAt");
inline const QString KeepInTray = QStringLiteral("Alarms/keepInTray");
inline const QString AlarmsCheckedUpTo = QStringLiteral("Alarms/checkedUpTo");
} // namespace PreferenceKey

// ~/.config/zorvik-planner/zorvik-planner.conf, or under $XDG_CONFIG_HOME.
QString preferencesFilePath();

// The calendar server a plan is published to (see above).
struct CalendarServerSettings {
    QString url;
    QString user;
    bool publishAfterSave = false;
    QStringList certificates; // "host sha256hex"
};
// The key of a plan's calendar server settings: a digest of its absolute
// path, as a path holds characters a settings key cannot.
QString calendarServerPlanKey(const QString& planFile);
// The file beside the settings that remembers what was published of a plan.
QString calendarPublishStatePath(const QString& preferencesPath, const QString& planFile);

class Preferences {
public:
    // Kept in memory only until open() names a file: tests and the
    // terminal commands never touch the user's file.
    Preferences();
    ~Preferences();
    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    // Reads from and writes to `path` from now on; empty: memory only.
    void open(const QString& path);
    QString path() const;

    QVariant value(const QString& key, const QVariant& fallback = QVariant()) const;
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);

    bool boolValue(const QString& key, bool fallback = false) const;
    QStringList stringList(const QString& key) const;

    bool mainWindowMaximised() const { return boolValue(PreferenceKey::MainWindowMaximised); }
    void setMainWindowMaximised(bool on) { setValue(PreferenceKey::MainWindowMaximised, on); }

    CalendarServerSettings calendarServer(const QString& planFile) const;
    void setCalendarServer(const QString& planFile, const CalendarServerSettings& settings);

    // Writes what was changed and takes in what another running copy
    // wrote meanwhile (QSettings merges key by key, under a lock file).
    // False when the file could not be written.
    bool sync();

private:
    std::unique_ptr<QSettings> file_;
    QVariantMap memory_;
};

} // namespace zp
