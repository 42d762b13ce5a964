#pragma once
#include "plan/DateText.h"
#include "ui/FontDialog.h"
#include "ui/SystemFacts.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

class QTextStream;

namespace zp {

// What the planner was asked to do from the command line.
struct CommandLine {
    enum class Command { Gui, List, Find, Reminders, Export, ExportIcs, ImportIcs, Info, Ledger, Pdf, Loan, Alarms, Publish, Help,
                         Version, Error };
    Command command = Command::Gui;
    QString planFile;               // the plan to open or print
    QString displayMode = QStringLiteral("sortbydate");
    QString findText;               // for Command::Find: the text the records must have
    std::optional<DateOrder> dateOrder; // stands in for the system's order
    std::optional<QDate> today;     // stands in for today's date
    std::optional<QTime> now;       // for Command::Alarms: stands in for the time of day
    bool startInTray = false;       // for Command::Gui (--tray): start in the tray, no window shown
    QString error;                  // for Command::Error: the one-line message
    QString pdfStyle;               // for Command::Pdf: "standard", "project" or "timeline"
    QString outputFile;             // for Command::Pdf: the PDF to write
    int outputArgument = -1;        // for Command::Pdf: which argument (0 the first after the
                                    // program's name) named it, for its bytes as given
    QString calendarFile;           // for Command::ImportIcs: the calendar to read
    int recurrenceMonths = 12;      // for Command::ImportIcs: how far repeating events reach
    QStringList loanTexts;          // for Command::Loan: amount, years, rate, start, frequency
    QString calendarUrl;            // for Command::Publish: the calendar, instead of the plan's
    QString userName;               // for Command::Publish: the user, instead of the plan's
};

// Reads the arguments (without the program name). Anything that is not an
// option of the chosen command is an error; the desktop program takes at
// most one plan file.
CommandLine parseCommandLine(const QStringList& arguments);

QString commandLineUsage();

// One command-line argument as the text the program works with. A file name
// that is not valid in the locale's encoding (say Latin-1 bytes on a UTF-8
// system) has no exact text form; when such a file exists it is opened here
// and named by its descriptor (/proc/self/fd/N), so it is still found.
QString argumentText(const QByteArray& raw);

// The user's own settings that shape terminal output: the field labels and
// print switches "Copy all" uses in the window.
std::optional<std::array<QString, 25>> userFieldLabels(const QString& settingsPath);

// The user's settings that shape a printed plan: the field labels with the
// print switches, and the display font (the printer font).
struct UserPrintSettings {
    std::array<QString, 25> fieldLabels;
    FontChoice font;
};
std::optional<UserPrintSettings> userPrintSettings(const QString& settingsPath);

class Printer;

// Runs --pdf up to the finished drawing: reads the plan, takes the user's
// switches and font, and prints every record in the chosen style on the
// printer `openOutput` gives (called once, when drawing starts; nullptr
// when the output cannot be written, which it has reported itself).
// Returns the exit status: 0 printed (the caller then puts the file in
// place), 1 the output may not be written (it is the plan under any name,
// a pipe, a device or a folder: nothing is drawn), the plan could not be
// read, had nothing to print or printing failed, 2 bad arguments. Messages
// go to `err`.
int runPdfCommand(const CommandLine& command, DateOrder systemOrder, QTextStream& err,
                  const std::optional<UserPrintSettings>& settings, const std::function<Printer*()>& openOutput);

// Runs a terminal command (List, Find, Reminders, Export, ExportIcs, ImportIcs, Info, Ledger,
// Loan, Help, Version, Error) and returns the process exit status: 0 done,
// 1 the plan could not be read or had nothing to give (no record has the
// text of --find), a calendar was
// refused, the plan could not be written, or what was printed on `out` did
// not all arrive; 2 bad arguments or a missing file.
// `fieldLabels`, when given, labels the exported records; `facts` are the
// computer's, for the Info page.
// `systemNow`, when valid, is the moment --alarms lists from (its date
// stands aside for `systemToday`'s).
int runCommandLine(const CommandLine& command, DateOrder systemOrder, const QDate& systemToday, QTextStream& out,
                   QTextStream& err, const std::optional<std::array<QString, 25>>& fieldLabels = std::nullopt,
                   const SystemFacts& facts = SystemFacts(), const QDateTime& systemNow = QDateTime());

} // namespace zp
