#pragma once
#include "plan/Calendar.h"
#include "state/ProgramState.h"
#include "ui/Platform.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace zp {

// File > Export and File > Import of calendars: the file dialogs, the
// questions and the messages around the calendar logic.
class CalendarCommands {
public:
    using Reader = std::function<CalendarImport(const QString& path, const RecordStore& store,
                                                const CalendarImportOptions& options)>;

    // `planChanged` refreshes the main window after records came in;
    // `showHint` writes a line into its hint panel; `importRunning` hears
    // when a calendar read starts (true) and ends (false), so the window
    // keeps everything that could change the plan still meanwhile.
    CalendarCommands(ProgramState& state, const Platform& platform, std::function<void()> planChanged,
                     std::function<void(const QString&)> showHint, std::function<void(bool)> importRunning = {});
    ~CalendarCommands();

    // Every record of the plan into a calendar file the user names.
    void exportCalendar();
    // Events and to-dos of a calendar file into the open plan, all or
    // nothing. The file is read on a thread of its own while a progress
    // window with Cancel shows how far it is; Cancel changes nothing.
    void importCalendar();
    // The same for a calendar the program has in hand (fetched from a
    // calendar server): `shownName` names it in the messages.
    void importCalendarFile(const QString& path, const QString& shownName);
    // Stops a calendar read under way and waits for its thread, so nothing
    // reads the plan any more; does nothing when no read runs. The program's
    // ends call it before they write the recovery copy.
    void stopImport();
    // The reader of calendar files (readCalendarFile); tests put in one
    // they drive themselves.
    void setReader(Reader reader) { reader_ = std::move(reader); }
    // How long a read may take before its progress window shows (300 ms):
    // a quick read shows none.
    void setProgressDelay(int ms) { progressDelayMs_ = ms; }

private:
    struct ImportRun;
    // The read on its thread; nothing when it was cancelled or stopped.
    std::optional<CalendarImport> readInBackground(const QString& path, CalendarImportOptions options);

    ProgramState& state_;
    Platform platform_;
    std::function<void()> planChanged_;
    std::function<void(const QString&)> showHint_;
    std::function<void(bool)> importRunning_;
    Reader reader_ = readCalendarFile;
    int progressDelayMs_ = 300;
    std::shared_ptr<ImportRun> run_;
};

} // namespace zp
