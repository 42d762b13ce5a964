#pragma once
#include "state/ProgramState.h"
#include "ui/Platform.h"

#include <QString>
#include <functional>

namespace zp {

// File > Export and File > Import of calendars: the file dialogs, the
// questions and the messages around the calendar logic.
class CalendarCommands {
public:
    // `planChanged` refreshes the main window after records came in;
    // `showHint` writes a line into its hint panel.
    CalendarCommands(ProgramState& state, const Platform& platform, std::function<void()> planChanged,
                     std::function<void(const QString&)> showHint);

    // Every record of the plan into a calendar file the user names.
    void exportCalendar();
    // Events and to-dos of a calendar file into the open plan, all or nothing.
    void importCalendar();

private:
    ProgramState& state_;
    Platform platform_;
    std::function<void()> planChanged_;
    std::function<void(const QString&)> showHint_;
};

} // namespace zp
