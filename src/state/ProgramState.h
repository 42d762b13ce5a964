#pragma once
#include "plan/PlanHistory.h"
#include "plan/RecordStore.h"
#include "state/Preferences.h"
#include "state/Settings.h"

#include <QString>

namespace zp {

// Everything the planner's windows share while it runs: the open plan, the
// settings and the bookkeeping of the tool windows. One object, created at
// start-up and handed to every window by reference.
struct ProgramState {
    RecordStore store;
    // Every change to the open plan's records, for undo and redo.
    PlanHistory history{store};
    Settings settings;
    // The settings as read at start-up: written back instead of the run's
    // own when "Save settings on exit" is off.
    SettingsSnapshot settingsSnapshot = defaultSettingsSnapshot();
    // Where the settings file lives; empty: settings are neither read nor
    // written (tests set them directly).
    QString settingsPath;
    // The settings PLANNER.INI has no line for (zorvik-planner.conf);
    // in memory only until the program opens the file (tests do not).
    Preferences preferences;
    // The desktop's recently-used list; empty: not written (tests set it).
    QString recentlyUsedPath;
    // Where unsaved changes go when the program must end without asking;
    // empty: nowhere (tests set it).
    QString recoveryFolder;

    // The sound played at start-up when sound is on; empty: none.
    QString startupSoundPath;

    // Command-line plan, empty when none was given.
    QString commandLinePlan;

    // Lines of the records list holding this text are highlighted; empty: none.
    QString highlightKeyword;
    // Raised while a rebuild of the list must also swap day and month of
    // the stored dates (the system's date order changed).
    bool convertDatesOnRebuild = false;

    // Entry grid column stretch: 0 normal, 1 doubled.
    int gridStretch = 0;

    // Loan simulator starting figures.
    double loanAmount = 1000000;
    double loanRatePercent = 10.2;
    double loanYears = 10;
    // The start date as last typed; empty until the loan window first opens
    // (it then takes today's date).
    QString loanStartText;

    // The print window's choices, kept for the next print: the style it
    // prints (1 standard, 2 project), whether every record prints, and
    // else the range, 1-based and inclusive, as typed.
    int printStyle = 1;
    bool printAllRecords = true;
    double printFrom = 1;
    double printTo = 0;

    // Tool windows that are open now.
    bool phoneBookOpen = false;
    bool calculatorOpen = false;
    bool worldTimesOpen = false;
    bool notepadOpen = false;
    bool loanOpen = false;
};

} // namespace zp
