#include "app/CommandLine.h"

#include "app/InstalledFiles.h"
#include "app/ProgramVersion.h"
#include "app/SettingsFile.h"
#include "app/TerminalOutput.h"
#include "app/SystemInfo.h"
#include "money/Ledger.h"
#include "money/Loan.h"
#include "plan/Calendar.h"
#include "plan/DateStyle.h"
#include "plan/FileCommands.h"
#include "plan/PlanFile.h"
#include "plan/RecordStore.h"
#include "plan/WriteTarget.h"
#include "state/AlarmSchedule.h"
#include "state/Preferences.h"
#include "views/RecordCopyText.h"
#include "views/RecordSearch.h"
#include "views/RecordsList.h"
#include "views/Printing.h"
#include "views/Reminders.h"
#include "ui/MessageBox.h"

#include <QDateTime>
#include <QFileDevice>
#include <QFileInfo>
#include <QLockFile>
#include <QTimeZone>
#include <QTextStream>
#include <QUrl>

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

namespace zp {

namespace {

CommandLine failure(const QString& message)
{
    CommandLine c;
    c.command = CommandLine::Command::Error;
    c.error = message;
    return c;
}

std::optional<QString> modeWord(const QString& value)
{
    if (value == QLatin1String("date"))
        return QStringLiteral("sortbydate");
    if (value == QLatin1String("name"))
        return QStringLiteral("sortbyname");
    if (value == QLatin1String("task"))
        return QStringLiteral("sortbytask");
    if (value == QLatin1String("day"))
        return QStringLiteral("sortbyday");
    return std::nullopt;
}

const QString kOnlyOneCommand = QStringLiteral(
    "zorvik-planner: only one of --list, --find, --reminders, --alarms, --export, --export-ics, --import-ics, --info, --ledger, "
    "--pdf and --publish may be given");

} // namespace

QString commandLineUsage()
{
    return QStringLiteral(
        "Usage: zorvik-planner [PLANFILE]\n"
        "       zorvik-planner --tray [PLANFILE]\n"
        "       zorvik-planner --list [--mode date|name|task|day] [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --find TEXT [--mode date|name|task|day] [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --reminders [--today YYYY-MM-DD] [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --alarms [--today YYYY-MM-DD] [--now HH:MM] [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --export [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --export-ics [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --import-ics CALENDAR.ics [--months N] [--today YYYY-MM-DD]\n"
        "                      [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --pdf standard|project|timeline [--date-order dmy|mdy] OUTPUT.pdf PLANFILE\n"
        "       zorvik-planner --info [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --ledger [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --loan AMOUNT YEARS RATE START FREQUENCY [--date-order dmy|mdy]\n"
        "       zorvik-planner --publish [--calendar URL] [--user NAME] [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --help | --version\n"
        "\n"
        "Without options the planner opens its window, with PLANFILE instead of the\n"
        "plan it had open last time; with --tray it starts in the tray, to remind.\n"
        "  --list        print the records list lines of the plan, one per line\n"
        "  --find        print the list lines of the records with TEXT in their name,\n"
        "                message, phones, dates or amounts, as Edit > Find... finds\n"
        "                them: letter case and accents do not count, and no character\n"
        "                of TEXT has a meaning of its own\n"
        "  --reminders   print the reminders for the seven days after today\n"
        "  --alarms      print the alarms due in the next 24 hours, with the lead\n"
        "                time and hour of Options > Alarms..., one a line\n"
        "  --export      print every record as the \"Copy all\" command copies it\n"
        "  --export-ics  print every record as an iCalendar file (.ics) for other\n"
        "                calendars: dated records as events, the others as to-dos\n"
        "  --import-ics  add the events and to-dos of the iCalendar file CALENDAR.ics\n"
        "                to the plan, as File > Import does, and print what was added\n"
        "  --pdf         print every record of the plan into the PDF file OUTPUT.pdf in\n"
        "                the standard or project style or as a time line, with the\n"
        "                print switches and font of the planner's settings\n"
        "  --info        print the Info page: this computer, the program and the\n"
        "                plan's statistics\n"
        "  --ledger      print the ledger: income and expense of every record with\n"
        "                their totals and balance, cells separated by tabs\n"
        "  --loan        print the loan simulator's summary and repayment schedule\n"
        "                (cells separated by tabs) for an amount, a period in years,\n"
        "                a yearly interest rate in percent, a start date and weekly,\n"
        "                fortnightly, monthly or quarterly repayments\n"
        "  --publish     send what changed in the plan to its calendar server (File >\n"
        "                Calendar server...) and print what was added, changed and\n"
        "                deleted; the password comes from the keyring or from the\n"
        "                environment variable ZORVIK_CALDAV_PASSWORD\n"
        "  --calendar    the server calendar's URL, instead of the plan's\n"
        "  --user        the user name on the calendar server, instead of the plan's\n"
        "  --mode        how --list and --find show the records (default: date)\n"
        "  --date-order  read dates day first (dmy) or month first (mdy) instead of\n"
        "                following the system's regional settings\n"
        "  --months      for how many months from today the occurrences of repeating\n"
        "                events are imported (1 to 120, default: 12)\n"
        "  --today       the day the reminders or alarms are for, or repeating events\n"
        "                are imported from (default: today)\n"
        "  --now         the time of day --alarms counts from (default: now)\n");
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine c;
    QStringList plans;
    QList<qsizetype> planArguments; // where each of `plans` was given
    bool modeGiven = false, orderGiven = false, todayGiven = false, monthsGiven = false, nowGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&](const char* option) -> std::optional<QString> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            Q_UNUSED(option);
            return arguments[++i];
        };
        auto setCommand = [&](CommandLine::Command command) {
            if (c.command != CommandLine::Command::Gui && c.command != command)
                return false;
            c.command = command;
            return true;
        };
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            CommandLine help;
            help.command = CommandLine::Command::Help;
            return help;
        }
        if (a == QLatin1String("--version")) {
            CommandLine version;
            version.command = CommandLine::Command::Version;
            return version;
        }
        if (a == QLatin1String("--tray")) {
            c.startInTray = true;
        } else if (a == QLatin1String("--alarms")) {
            if (!setCommand(CommandLine::Command::Alarms))
                return failure(kOnlyOneCommand);
        } else if (a == QLatin1String("--now")) {
            const auto v = value("--now");
            const QTime t = v ? QTime::fromString(*v, QStringLiteral("HH:mm")) : QTime();
            if (!t.isValid())
                return failure(QStringLiteral("zorvik-planner: --now takes a time such as 09:30"));
            c.now = t;
            nowGiven = true;
        } else if (a == QLatin1String("--list") || a == QLatin1String("--reminders") || a == QLatin1String("--export") ||
            a == QLatin1String("--export-ics") || a == QLatin1String("--info") || a == QLatin1String("--ledger")) {
            const auto command = a == QLatin1String("--list")        ? CommandLine::Command::List
                                 : a == QLatin1String("--reminders") ? CommandLine::Command::Reminders
                                 : a == QLatin1String("--info")      ? CommandLine::Command::Info
                                 : a == QLatin1String("--ledger")    ? CommandLine::Command::Ledger
                                 : a == QLatin1String("--export-ics") ? CommandLine::Command::ExportIcs
                                                                     : CommandLine::Command::Export;
            if (!setCommand(command))
                return failure(kOnlyOneCommand);
        } else if (a == QLatin1String("--find")) {
            if (!setCommand(CommandLine::Command::Find))
                return failure(kOnlyOneCommand);
            const auto v = value("--find");
            if (!v)
                return failure(QStringLiteral("zorvik-planner: --find needs TEXT and PLANFILE (try --help)"));
            c.findText = *v;
        } else if (a == QLatin1String("--import-ics")) {
            if (!setCommand(CommandLine::Command::ImportIcs))
                return failure(kOnlyOneCommand);
            const auto v = value("--import-ics");
            if (!v)
                return failure(QStringLiteral("zorvik-planner: --import-ics needs CALENDAR.ics and PLANFILE (try --help)"));
            c.calendarFile = *v;
        } else if (a == QLatin1String("--publish")) {
            if (!setCommand(CommandLine::Command::Publish))
                return failure(kOnlyOneCommand);
        } else if (a == QLatin1String("--calendar") || a == QLatin1String("--user")) {
            const auto v = value("");
            if (!v || v->isEmpty())
                return failure(QStringLiteral("zorvik-planner: %1 needs a value (try --help)").arg(a));
            if (a == QLatin1String("--calendar")) {
                const QUrl url(*v, QUrl::StrictMode);
                if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
                    return failure(QStringLiteral("zorvik-planner: --calendar takes an http:// or https:// URL"));
                c.calendarUrl = *v;
            } else {
                c.userName = *v;
            }
        } else if (a == QLatin1String("--months")) {
            const auto v = value("--months");
            bool number = false;
            const int months = v ? v->toInt(&number) : 0;
            if (!number || months < 1 || months > 120)
                return failure(QStringLiteral("zorvik-planner: --months takes a number of months from 1 to 120"));
            c.recurrenceMonths = months;
            monthsGiven = true;
        } else if (a == QLatin1String("--pdf")) {
            if (!setCommand(CommandLine::Command::Pdf))
                return failure(kOnlyOneCommand);
            const auto v = value("--pdf");
            if (!v || (*v != QLatin1String("standard") && *v != QLatin1String("project") && *v != QLatin1String("timeline")))
                return failure(QStringLiteral("zorvik-planner: --pdf takes standard, project or timeline"));
            c.pdfStyle = *v;
        } else if (a == QLatin1String("--loan")) {
            if (!setCommand(CommandLine::Command::Loan))
                return failure(QStringLiteral("zorvik-planner: --loan goes with no other command"));
            // Taken as they stand: an amount of -5 is a value, not an option;
            // but "--date-order" is never one of the five, so four values
            // followed by an option are too few, not a strange start date.
            const auto isOption = [](const QString& t) { return t.startsWith(QLatin1String("--")); };
            if (i + 5 >= arguments.size() || std::any_of(arguments.begin() + i + 1, arguments.begin() + i + 6, isOption))
                return failure(QStringLiteral("zorvik-planner: --loan needs AMOUNT YEARS RATE START FREQUENCY\n"
                                              "Usage: zorvik-planner --loan AMOUNT YEARS RATE START FREQUENCY "
                                              "[--date-order dmy|mdy]"));
            c.loanTexts = arguments.mid(i + 1, 5);
            i += 5;
        } else if (a == QLatin1String("--mode")) {
            const auto v = value("--mode");
            const auto word = v ? modeWord(*v) : std::nullopt;
            if (!word)
                return failure(QStringLiteral("zorvik-planner: --mode takes date, name, task or day"));
            c.displayMode = *word;
            modeGiven = true;
        } else if (a == QLatin1String("--date-order")) {
            const auto v = value("--date-order");
            if (v == QStringLiteral("dmy"))
                c.dateOrder = DateOrder::DayFirst;
            else if (v == QStringLiteral("mdy"))
                c.dateOrder = DateOrder::MonthFirst;
            else
                return failure(QStringLiteral("zorvik-planner: --date-order takes dmy or mdy"));
            orderGiven = true;
        } else if (a == QLatin1String("--today")) {
            const auto v = value("--today");
            const QDate d = v ? QDate::fromString(*v, Qt::ISODate) : QDate();
            if (!d.isValid())
                return failure(QStringLiteral("zorvik-planner: --today takes a date such as 2026-12-31"));
            c.today = d;
            todayGiven = true;
        } else if (a == QLatin1String("--")) {
            for (qsizetype k = i + 1; k < arguments.size(); ++k) {
                plans.append(arguments[k]);
                planArguments.append(k);
            }
            break;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return failure(QStringLiteral("zorvik-planner: unknown option '%1' (try --help)").arg(a));
        } else {
            plans.append(a);
            planArguments.append(i);
        }
    }

    using C = CommandLine::Command;
    if (modeGiven && c.command != C::List && c.command != C::Find)
        return failure(QStringLiteral("zorvik-planner: --mode goes with --list or --find"));
    if (orderGiven && c.command == C::Gui)
        return failure(
            QStringLiteral("zorvik-planner: --date-order goes with --list, --find, --reminders, --alarms, --export, --export-ics, "
                           "--import-ics, --info, --ledger, --pdf, --loan or --publish"));
    if (todayGiven && c.command != C::Reminders && c.command != C::ImportIcs && c.command != C::Alarms)
        return failure(QStringLiteral("zorvik-planner: --today goes with --reminders, --alarms or --import-ics"));
    if (c.startInTray && c.command != C::Gui)
        return failure(QStringLiteral("zorvik-planner: --tray goes with no other command"));
    if (nowGiven && c.command != C::Alarms)
        return failure(QStringLiteral("zorvik-planner: --now goes with --alarms"));
    if ((!c.calendarUrl.isEmpty() || !c.userName.isEmpty()) && c.command != C::Publish)
        return failure(QStringLiteral("zorvik-planner: --calendar and --user go with --publish"));
    if (monthsGiven && c.command != C::ImportIcs)
        return failure(QStringLiteral("zorvik-planner: --months goes with --import-ics"));
    if (c.command == C::Loan) {
        if (!plans.isEmpty())
            return failure(QStringLiteral("zorvik-planner: --loan takes no plan file"));
        return c;
    }
    if (c.command == C::Pdf) {
        if (plans.size() != 2)
            return failure(QStringLiteral("zorvik-planner: --pdf needs OUTPUT.pdf and PLANFILE (try --help)"));
        // What the output may be is judged when it is written (runPdfCommand).
        c.outputFile = plans.takeFirst();
        c.outputArgument = static_cast<int>(planArguments.takeFirst());
    }
    if (plans.size() > 1)
        return failure(QStringLiteral("zorvik-planner: one plan file at a time, not %1").arg(plans.size()));
    if (c.command != C::Gui) {
        if (plans.isEmpty())
            return failure(QStringLiteral("zorvik-planner: a plan file is needed (try --help)"));
        const QFileInfo info(plans.front());
        if (!info.exists())
            return failure(QStringLiteral("zorvik-planner: %1: no such file").arg(plans.front()));
        // A file that is there but cannot be opened is left to the reader,
        // which answers with the program's own message.
        if (!info.isFile())
            return failure(QStringLiteral("zorvik-planner: %1: not a file").arg(plans.front()));
    }
    if (!plans.isEmpty())
        c.planFile = plans.front();
    // The window remembers the plan for the next start, which may run in
    // another folder: a relative name is made absolute first.
    if (c.command == CommandLine::Command::Gui && !c.planFile.isEmpty())
        c.planFile = QFileInfo(c.planFile).absoluteFilePath();
    return c;
}

} // namespace zp

namespace zp {

namespace {

// Reads the plan as the program does, with the given order standing in
// for the system's. Prints the program's own message when it cannot.
bool readForTerminal(const QString& path, DateOrder order, RecordStore& store, QTextStream& err,
                     const PlanRecordFilter& keep = {})
{
    store.systemDateStyle = dateStyleFor(order);
    store.fileDateStyle = store.systemDateStyle;
    const PlanReadResult result = readPlanFile(path, store, order, nullptr, keep);
    if (result.status == PlanReadStatus::Loaded || result.status == PlanReadStatus::Ignored)
        return true;
    // The window's message, then which file and why, as a terminal user
    // cannot see the file dialog that named it.
    err << result.message << '\n' << path << ": " << (result.detail.isEmpty() ? result.message : result.detail) << '\n';
    return false;
}

} // namespace

QString argumentText(const QByteArray& raw)
{
    const QString text = QString::fromLocal8Bit(raw);
    if (text.toLocal8Bit() == raw)
        return text;
    // Not blocking: the file may be a pipe with no writer.
    const int fd = ::open(raw.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return text;
    // Left open for the run: the name lives as long as the descriptor.
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

namespace {

// Reads the user's settings quietly: a terminal command has no message
// boxes, and without a usable settings file the built-in values serve.
bool readUserSettings(const QString& settingsPath, Settings& settings, RecordStore& store)
{
    class Quiet : public MessageBoxService {
    public:
        int msgBox(const QString&, int, const QString&) override { return MsgAnswer::Ok; }
    } quiet;
    if (settingsPath.isEmpty() || !QFileInfo::exists(settingsPath))
        return false;
    bool loaded = false;
    loadSettings(settingsPath, settings, store, quiet, &loaded);
    return loaded;
}

} // namespace

std::optional<std::array<QString, 25>> userFieldLabels(const QString& settingsPath)
{
    Settings settings;
    RecordStore store;
    if (!readUserSettings(settingsPath, settings, store))
        return std::nullopt;
    return store.fieldLabels;
}

std::optional<UserPrintSettings> userPrintSettings(const QString& settingsPath)
{
    Settings settings;
    RecordStore store;
    if (!readUserSettings(settingsPath, settings, store))
        return std::nullopt;
    return UserPrintSettings{store.fieldLabels, settings.font};
}

int runPdfCommand(const CommandLine& c, DateOrder systemOrder, QTextStream& err,
                  const std::optional<UserPrintSettings>& settings, const std::function<Printer*()>& openOutput)
{
    if (c.command != CommandLine::Command::Pdf) {
        err << "zorvik-planner: not a --pdf command\n";
        return 2;
    }
    // Messages of the print routines go to the terminal; a question (a
    // time line over centuries) is answered No: nothing is asked there.
    class TerminalMessages : public MessageBoxService {
    public:
        explicit TerminalMessages(QTextStream& err) : err_(err) {}
        int msgBox(const QString& text, int style, const QString&) override
        {
            QString line = text;
            line.replace(QLatin1Char('\n'), QLatin1Char(' '));
            err_ << "zorvik-planner: " << line << '\n';
            return (style & 7) == MsgStyle::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
        }

    private:
        QTextStream& err_;
    } messages(err);

    // Nothing is drawn for a file that must not be replaced: the plan
    // itself under any name, a pipe, a device or a folder.
    if (const auto problem = writeTargetProblem(c.outputFile, c.planFile)) {
        err << "zorvik-planner: cannot write " << c.outputFile << ": " << *problem << '\n';
        return 1;
    }
    RecordStore store;
    if (!readForTerminal(c.planFile, c.dateOrder.value_or(systemOrder), store, err))
        return 1;
    // The page headings name the plan as it was given.
    store.planFileName = c.planFile;
    FontChoice font;
    if (settings) {
        store.fieldLabels = settings->fieldLabels;
        font = settings->font;
    }
    SilentPrintFeedback feedback;
    PrintJob job{messages, feedback, openOutput, font.name, font.size};
    const PrintRange all;
    PrintOutcome outcome;
    if (c.pdfStyle == QLatin1String("project"))
        outcome = printProject(store, all, job);
    else if (c.pdfStyle == QLatin1String("timeline"))
        outcome = printTimeLine(store, job);
    else
        outcome = printStandard(store, all, job);
    err.flush();
    return outcome == PrintOutcome::Printed ? 0 : 1;
}

namespace {

// --import-ics: the window's File > Import for a plan file. The plan is
// locked as the window locks it, so a running planner that has it open is
// never written under; the plan file changes only when records were added,
// and then as a whole (a temporary file renamed over it).
int importCalendarIntoPlan(const CommandLine& c, DateOrder order, const QDate& today, QTextStream& out, QTextStream& err)
{
    auto refuse = [&](const QString& file, const QString& reason) {
        err << "zorvik-planner: " << file << ": " << reason << " Nothing was imported.\n";
        return 1;
    };
    if (const auto problem = readSourceProblem(c.calendarFile))
        return refuse(c.calendarFile, *problem);
    if (const auto problem = readSourceProblem(c.planFile))
        return refuse(c.planFile, *problem);
    // A lock its owner left behind (a crash) is taken over; one whose owner
    // runs is not, however old. A folder that cannot hold a lock (read-only)
    // does not stop the import, as it does not stop the window's save; the
    // write then says why it failed.
    QLockFile lock(FileCommands::lockFilePath(c.planFile));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError)
        return refuse(c.planFile, QStringLiteral("The plan is open in a running Zorvik Planner; import the calendar "
                                                 "there, or close the plan first."));
    RecordStore store;
    if (!readForTerminal(c.planFile, order, store, err))
        return 1;
    CalendarImportOptions options;
    options.order = store.dateOrder();
    options.today = today;
    options.recurrenceMonths = c.recurrenceMonths;
    const CalendarImport read = readCalendarFile(c.calendarFile, store, options);
    if (!read.readable)
        return refuse(c.calendarFile, read.error);
    const int wanted = read.newRecords;
    const int fitting = roomForRecords(store, wanted);
    if (wanted > 0 && fitting == 0)
        return refuse(c.planFile, QStringLiteral("The plan is full: it holds the most records a plan can (%1).")
                                      .arg(RecordStore::kMaxRecords));
    const int added = addImportedRecords(store, read.records, fitting);
    if (added > 0) {
        removePlanTemporaries(c.planFile);
        // In the plan's own encoding and, as every save, the system's date
        // style (the dates were read into it).
        const PlanWriteResult written = writePlanFile(c.planFile, store);
        if (written.status != PlanWriteStatus::Written)
            return refuse(c.planFile, QStringLiteral("The plan could not be written: %1.").arg(written.errorText));
        if (written.unconfirmed)
            err << "zorvik-planner: " << c.planFile << ": The plan was written, but it could not be confirmed on disk: "
                << written.errorText << '\n';
    }
    if (fitting < wanted)
        err << "zorvik-planner: " << c.planFile
            << QStringLiteral(": The calendar has %1 new records, but the plan had room for only %2 more (a plan holds at "
                              "most %3 records); the first %2 in date order were added.\n")
                   .arg(wanted)
                   .arg(fitting)
                   .arg(RecordStore::kMaxRecords);
    out << calendarImportSummary(added, read.skipped, read.notUnderstood) << '\n';
    return 0;
}

// --alarms: the alarms of the next 24 hours, with the user's own lead time
// and untimed hour.
int listAlarms(const CommandLine& c, DateOrder order, const QDate& systemToday, const QDateTime& systemNow,
               QTextStream& out, QTextStream& err)
{
    RecordStore store;
    if (!readForTerminal(c.planFile, order, store, err))
        return 1;
    Preferences preferences;
    preferences.open(preferencesFilePath());
    const AlarmOptions options = readAlarmOptions(preferences);
    if (!options.on) {
        out << "Alarms are switched off (Options > Alarms...).\n";
        return 0;
    }
    const QTimeZone zone = systemNow.isValid() ? systemNow.timeZone() : QTimeZone::systemTimeZone();
    const QDate day = c.today.value_or(systemNow.isValid() ? systemNow.date() : systemToday);
    const QTime time = c.now.value_or(systemNow.isValid() ? systemNow.time() : QTime(0, 0));
    const QStringList lines = alarmLines(store, options, QDateTime(day, QTime(time.hour(), time.minute()), zone));
    if (lines.isEmpty())
        out << "No alarms in the next 24 hours.\n";
    for (const QString& line : lines)
        out << line << '\n';
    return 0;
}

int runVerb(const CommandLine& c, DateOrder systemOrder, const QDate& systemToday, QTextStream& out, QTextStream& err,
            const std::optional<std::array<QString, 25>>& fieldLabels, const SystemFacts& facts,
            const QDateTime& systemNow)
{
    using C = CommandLine::Command;
    const DateOrder order = c.dateOrder.value_or(systemOrder);
    switch (c.command) {
    case C::Help:
        out << commandLineUsage();
        return 0;
    case C::Version:
        out << "Zorvik Planner " << programVersionText() << '\n'
            << installedFilesText(findInstalledFiles(facts.programDirectory));
        return 0;
    case C::Error:
        err << c.error << '\n';
        return 2;
    case C::List: {
        RecordStore store;
        if (!readForTerminal(c.planFile, order, store, err))
            return 1;
        forEachRecordsListLine(store, lineLayoutOf(c.displayMode), store.dateOrder(),
                               [&out](int, QStringView line) { out << line << '\n'; });
        return 0;
    }
    case C::Find: {
        RecordStore store;
        if (!readForTerminal(c.planFile, order, store, err))
            return 1;
        // The window's own matching, on the lines the window would show.
        const LineLayout layout = lineLayoutOf(c.displayMode);
        const std::vector<int> found = RecordSearch(c.findText).find(store, layout, store.dateOrder());
        for (int record : found)
            out << recordListLine(store.record(record), layout, store.dateOrder()) << '\n';
        return found.empty() ? 1 : 0;
    }
    case C::Reminders: {
        // Only the coming week's records are kept: a large plan is never
        // held whole for the few lines printed.
        const QDate today = c.today.value_or(systemToday);
        const ComingWeek week(today, order);
        RecordStore store;
        if (!readForTerminal(c.planFile, order, store, err, [&week](const RecordView& r) { return week.contains(r); }))
            return 1;
        for (const QString& line : buildReminderList(store, today).lines)
            out << line << '\n';
        return 0;
    }
    case C::Export: {
        RecordStore store;
        if (!readForTerminal(c.planFile, order, store, err))
            return 1;
        if (store.recordCount() == 0) {
            err << "No records to copy.\n";
            return 1;
        }
        if (fieldLabels)
            store.fieldLabels = *fieldLabels;
        // Line feeds on a terminal, where the clipboard text has CR LF.
        writeCopyAllText(store, out, QLatin1String("\n"));
        return 0;
    }
    case C::ExportIcs: {
        RecordStore store;
        if (!readForTerminal(c.planFile, order, store, err))
            return 1;
        // Stamped with the day, so the same plan gives the same file all day.
        const QDateTime stamp(systemToday, QTime(0, 0), QTimeZone::utc());
        if (QIODevice* device = out.device()) {
            // A refused write is reported with every other output failure.
            out.flush();
            if (!writeCalendar(*device, store, order, stamp))
                out.setStatus(QTextStream::WriteFailed);
        } else {
            out << QString::fromUtf8(calendarText(store, order, stamp));
        }
        return 0;
    }
    case C::Info: {
        RecordStore store;
        if (!readForTerminal(c.planFile, order, store, err))
            return 1;
        store.planFileName = c.planFile;
        out << systemInfoText(facts, programVersion(), store, QStringLiteral("\n"));
        return 0;
    }
    case C::Ledger: {
        RecordStore store;
        if (!readForTerminal(c.planFile, order, store, err))
            return 1;
        out << ledgerRowsText(buildLedgerRows(store));
        return 0;
    }
    case C::Alarms:
        return listAlarms(c, order, systemToday, systemNow, out, err);
    case C::ImportIcs:
        return importCalendarIntoPlan(c, order, c.today.value_or(systemToday), out, err);
    case C::Loan:
        return writeLoanReport(c.loanTexts, order, systemToday, out, err);
    case C::Pdf: // needs a printer: runPdfCommand
    case C::Publish: // needs the network: runPublishCommand
    case C::Gui:
        break;
    }
    err << "zorvik-planner: nothing to do on the terminal for this command\n";
    return 2;
}

} // namespace

int runCommandLine(const CommandLine& c, DateOrder systemOrder, const QDate& systemToday, QTextStream& out,
                   QTextStream& err, const std::optional<std::array<QString, 25>>& fieldLabels, const SystemFacts& facts,
                   const QDateTime& systemNow)
{
    return statusWithOutputChecked(runVerb(c, systemOrder, systemToday, out, err, fieldLabels, facts, systemNow), out,
                                   err);
}

} // namespace zp
