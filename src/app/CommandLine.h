#pragma once
#include "plan/DateText.h"
#include "ui/SystemFacts.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class QTextStream;

namespace zp {

// What the planner was asked to do from the command line.
struct CommandLine {
    enum class Command { Gui, List, Reminders, Export, Info, Help, Version, Error };
    Command command = Command::Gui;
    QString planFile;               // the plan to open or print
    QString displayMode = QStringLiteral("sortbydate");
    std::optional<DateOrder> dateOrder; // stands in for the system's order
    std::optional<QDate> today;     // stands in for today's date
    QString error;                  // for Command::Error: the one-line message
};

// Reads the arguments (without the program name). Anything that is not an
// option of the chosen command is an error; the desktop program takes at
// most one plan file.
CommandLine parseCommandLine(const QStringList& arguments);

QString commandLineUsage();

// The user's own settings that shape terminal output: the field labels and
// print switches "Copy all" uses in the window.
std::optional<std::array<QString, 25>> userFieldLabels(const QString& settingsPath);

// Runs a terminal command (List, Reminders, Export, Info, Help, Version,
// Error) and returns the process exit status: 0 done, 1 the plan could not
// be read or had nothing to give, 2 bad arguments or a missing file.
// `fieldLabels`, when given, labels the exported records; `facts` are the
// computer's, for the Info page.
int runCommandLine(const CommandLine& command, DateOrder systemOrder, const QDate& systemToday, QTextStream& out,
                   QTextStream& err, const std::optional<std::array<QString, 25>>& fieldLabels = std::nullopt,
                   const SystemFacts& facts = SystemFacts());

} // namespace zp
