#pragma once
#include "app/windows/CalendarServerCommands.h"
#include "ui/QtHttp.h"
#include "ui/QtPasswordStore.h"

#include <memory>

namespace zp {

// What the main window keeps for the calendar server: the network, the
// keyring and the commands (MainWindowCalendarServer.cpp).
struct CalendarServerHookup {
    QtHttp http;
    QtPasswordStore passwords;
    QtPasswordPrompt prompt;
    std::unique_ptr<CalendarServerCommands> commands;
};

} // namespace zp
