#include "app/CommandLine.h"

#include "app/InstalledFiles.h"
#include "app/ProgramVersion.h"
#include "app/SettingsFile.h"
#include "app/SystemInfo.h"
#include "money/Ledger.h"
#include "money/Loan.h"
#include "plan/Calendar.h"
#include "plan/DateStyle.h"
#include "plan/PlanFile.h"
#include "plan/RecordStore.h"
#include "views/RecordCopyText.h"
#include "views/RecordsList.h"
#include "views/Printing.h"
#include "views/Reminders.h"
#include "ui/MessageBox.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimeZone>
#include <QTextStream>

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

} // namespace

QString commandLineUsage()
{
    return QStringLiteral(
        "Usage: zorvik-planner [PLANFILE]\n"
        "       zorvik-planner --list [--mode date|name|task|day] [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --reminders [--today YYYY-MM-DD] [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --export [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --export-ics [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --pdf standard|project|timeline [--date-order dmy|mdy] OUTPUT.pdf PLANFILE\n"
        "       zorvik-planner --info [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --ledger [--date-order dmy|mdy] PLANFILE\n"
        "       zorvik-planner --loan AMOUNT YEARS RATE START FREQUENCY [--date-order dmy|mdy]\n"
        "       zorvik-planner --help | --version\n"
        "\n"
        "Without options the planner opens its window, with PLANFILE instead of the\n"
        "plan it had open last time.\n"
        "  --list        print the records list lines of the plan, one per line\n"
        "  --reminders   print the reminders for the seven days after today\n"
        "  --export      print every record as the \"Copy all\" command copies it\n"
        "  --export-ics  print every record as an iCalendar file (.ics) for other\n"
        "                calendars: dated records as events, the others as to-dos\n"
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
        "  --mode        how --list shows the records (default: date)\n"
        "  --date-order  read dates day first (dmy) or month first (mdy) instead of\n"
        "                following the system's regional settings\n"
        "  --today       the day the reminders are for (default: today)\n");
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine c;
    QStringList plans;
    bool modeGiven = false, orderGiven = false, todayGiven = false;
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
        if (a == QLatin1String("--list") || a == QLatin1String("--reminders") || a == QLatin1String("--export") ||
            a == QLatin1String("--export-ics") || a == QLatin1String("--info") || a == QLatin1String("--ledger")) {
            const auto command = a == QLatin1String("--list")        ? CommandLine::Command::List
                                 : a == QLatin1String("--reminders") ? CommandLine::Command::Reminders
                                 : a == QLatin1String("--info")      ? CommandLine::Command::Info
                                 : a == QLatin1String("--ledger")    ? CommandLine::Command::Ledger
                                 : a == QLatin1String("--export-ics") ? CommandLine::Command::ExportIcs
                                                                     : CommandLine::Command::Export;
            if (!setCommand(command))
                return failure(QStringLiteral("zorvik-planner: only one of --list, --reminders, --export, --export-ics, --info, --ledger and --pdf may be given"));
        } else if (a == QLatin1String("--pdf")) {
            if (!setCommand(CommandLine::Command::Pdf))
                return failure(QStringLiteral("zorvik-planner: only one of --list, --reminders, --export, --export-ics, --info, --ledger and --pdf may be given"));
            const auto v = value("--pdf");
            if (!v || (*v != QLatin1String("standard") && *v != QLatin1String("project") && *v != QLatin1String("timeline")))
                return failure(QStringLiteral("zorvik-planner: --pdf takes standard, project or timeline"));
            c.pdfStyle = *v;
        } else if (a == QLatin1String("--loan")) {
            if (!setCommand(CommandLine::Command::Loan))
                return failure(QStringLiteral("zorvik-planner: --loan goes with no other command"));
            // Taken as they stand: an amount of -5 is a value, not an option.
            if (i + 5 >= arguments.size())
                return failure(QStringLiteral("zorvik-planner: --loan needs AMOUNT YEARS RATE START FREQUENCY"));
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
            plans.append(arguments.mid(i + 1));
            break;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return failure(QStringLiteral("zorvik-planner: unknown option '%1' (try --help)").arg(a));
        } else {
            plans.append(a);
        }
    }

    using C = CommandLine::Command;
    if (modeGiven && c.command != C::List)
        return failure(QStringLiteral("zorvik-planner: --mode goes with --list"));
    if (orderGiven && c.command == C::Gui)
        return failure(
            QStringLiteral("zorvik-planner: --date-order goes with --list, --reminders, --export, --export-ics, --info, --ledger, "
                           "--pdf or --loan"));
    if (todayGiven && c.command != C::Reminders)
        return failure(QStringLiteral("zorvik-planner: --today goes with --reminders"));
    if (c.command == C::Loan) {
        if (!plans.isEmpty())
            return failure(QStringLiteral("zorvik-planner: --loan takes no plan file"));
        return c;
    }
    if (c.command == C::Pdf) {
        if (plans.size() != 2)
            return failure(QStringLiteral("zorvik-planner: --pdf needs OUTPUT.pdf and PLANFILE (try --help)"));
        c.outputFile = plans.takeFirst();
        const QFileInfo output(c.outputFile);
        if (output.isDir())
            return failure(QStringLiteral("zorvik-planner: %1: is a folder").arg(c.outputFile));
        // Writing the PDF over the plan would lose the plan.
        if (output.exists() && output.canonicalFilePath() == QFileInfo(plans.front()).canonicalFilePath())
            return failure(QStringLiteral("zorvik-planner: OUTPUT.pdf must not be the plan file"));
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
    const int fd = ::open(raw.constData(), O_RDONLY | O_CLOEXEC);
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

int runCommandLine(const CommandLine& c, DateOrder systemOrder, const QDate& systemToday, QTextStream& out,
                   QTextStream& err, const std::optional<std::array<QString, 25>>& fieldLabels, const SystemFacts& facts)
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
            out.flush();
            if (!writeCalendar(*device, store, order, stamp)) {
                err << "zorvik-planner: the calendar could not be written: " << device->errorString() << '\n';
                return 1;
            }
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
        for (const QStringList& row : buildLedgerRows(store))
            out << row.join(QLatin1Char('\t')) << '\n';
        return 0;
    }
    case C::Loan:
        return writeLoanReport(c.loanTexts, order, systemToday, out, err);
    case C::Pdf: // needs a printer: runPdfCommand
    case C::Gui:
        break;
    }
    err << "zorvik-planner: nothing to do on the terminal for this command\n";
    return 2;
}

} // namespace zp
