#include "app/CommandLine.h"
#include "support/TerminalRun.h"
#include "app/ProgramVersion.h"
#include "app/SettingsFile.h"
#include "app/SystemInfo.h"
#include "plan/DateStyle.h"
#include "plan/FileCommands.h"
#include "plan/PlanFile.h"
#include "plan/RecordStore.h"
#include "views/Reminders.h"
#include "support/Fakes.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace zp {
namespace {

class CommandLineTest : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString smallPlan()
    {
        return write("small.pln", "Zorvik Planner 3.2 0\r\nenglisheuro\r\n"
                                  "05/11/1996\r\n10:30\r\nSmith\r\n432\r\n\r\nQuote\r\n120\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\n"
                                  "13/02/1997\r\n\r\nJones\r\n\r\n555 1234\r\n\r\n\r\n40\r\n1\r\nplandefault\r\nplandefault\r\n\r\n"
                                  "plannerend\r\n");
    }
    QTemporaryDir dir;
};

TEST_F(CommandLineTest, list_printsTheLinesOfEveryModeWithTrailingBlanks)
{
    const QString plan = smallPlan();
    struct Case {
        const char* mode;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"date", "05/11/1996, 10:30  - Smith, Quote (I:$120) (AH:432) (Pending) ", "13/02/1997,  - Jones, (E:$40) (BH:555 1234)(Done) "},
        {"name", "Smith, Quote 05/11/1996 10:30 (I:$120) (AH:432) (Pending) ", "Jones, 13/02/1997 (E:$40) (BH:555 1234)(Done) "},
        {"task", "Quote, 05/11/1996 10:30 Smith (I:$120) (AH:432) (Pending) ", "13/02/1997 Jones (E:$40) (BH:555 1234)(Done) "},
        {"day", "Tuesday, 05/11/1996 10:30 - Smith Quote (I:$120) (AH:432) (Pending) ",
         "Thursday, 13/02/1997 Jones (E:$40) (BH:555 1234)(Done) "},
    };
    for (const Case& c : cases) {
        const Outcome r = run({"--list", "--mode", c.mode, "--date-order", "dmy", plan});
        EXPECT_EQ(r.status, 0) << c.mode;
        EXPECT_EQ(r.out, QString::fromLatin1(c.first) + "\n" + QString::fromLatin1(c.second) + "\n") << c.mode;
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(CommandLineTest, list_readsDatesInTheFilesOrderAndShowsThemInTheChosenOne)
{
    const Outcome r = run({"--list", "--date-order", "mdy", smallPlan()});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("11/05/1996, 10:30")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\n02/13/1997,")) << r.out.toStdString();
    // Without --date-order the system's order is used.
    EXPECT_TRUE(run({"--list", smallPlan()}, DateOrder::MonthFirst).out.startsWith("11/05/1996"));
}

TEST_F(CommandLineTest, badArguments_giveOneLineAndStatus2)
{
    const QString plan = smallPlan();
    const QStringList bad[] = {
        {"--list"},
        {"--list", dir.filePath("missing.pln")},
        {"--bogus", plan},
        {"--list", "--mode", "colour", plan},
        {"--list", "--date-order", "ymd", plan},
        {"--list", plan, plan},
        {"--mode", "name", plan},
        {"--list", "--today", "2026-12-07", plan},
        {"--list", "--export", plan},
        {"--export-ics", "--export", plan},
        {"--list", dir.path()},
        {"--import-ics"},
        {"--import-ics", plan},
        {"--import-ics", plan, "--months", "0", plan},
        {"--import-ics", plan, "--months", "121", plan},
        {"--import-ics", plan, "--months", "six", plan},
        {"--list", "--months", "6", plan},
        {"--import-ics", plan, "--export", plan},
        {"--import-ics", plan, dir.path()},
    };
    for (const QStringList& args : bad) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
}

TEST_F(CommandLineTest, unreadablePlan_givesTheProgramsMessageAndStatus1)
{
    const QString text = write("other.txt", "This is just some text, not a plan at all.\n");
    Outcome r = run({"--list", text});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "File is not a Zorvik Planner file\n" + text + ": the first line names no planner version\n");
    const QString cut = write("cut.pln", "Zorvik Planner 3.2 0\r\nenglisheuro\r\n05/11/1996\r\n10:30\r\n");
    r = run({"--list", cut});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Trouble loading Planner file.\n" + cut + ": the file ends before the plan does\n");
}

TEST_F(CommandLineTest, planWithoutReadPermission_givesTheProgramsMessageAndStatus1)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    const QString plan = smallPlan();
    ASSERT_TRUE(QFile::setPermissions(plan, QFileDevice::WriteOwner));
    const Outcome r = run({"--list", plan});
    QFile::setPermissions(plan, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Trouble loading Planner file.\n" + plan + ": Permission denied\n");
}

// A file name in another encoding than the system's is still found.
TEST_F(CommandLineTest, fileNameNotInTheLocalesEncoding_isFound)
{
    const QString plan = smallPlan();
    const QByteArray raw = QFile::encodeName(dir.path()) + "/plan\xE9.pln";
    ASSERT_EQ(::rename(QFile::encodeName(plan).constData(), raw.constData()), 0);
    const QString text = argumentText(raw);
    EXPECT_EQ(run({"--list", text}).status, 0);
    EXPECT_EQ(argumentText("plain.pln"), "plain.pln");
}

TEST_F(CommandLineTest, helpVersionAndDesktopPlan)
{
    // Run from a build folder: no installed guide or chime beside the program.
    EXPECT_EQ(run({"--version"}).out, "Zorvik Planner " + programVersionText() +
                                          "\nUser guide: built in\nStart-up sound: built in\n");
    EXPECT_TRUE(programVersionText().startsWith("3.2.0 (build "));
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: zorvik-planner [PLANFILE]"));

    const CommandLine gui = parseCommandLine({"/home/ann/work.pln"});
    EXPECT_EQ(gui.command, CommandLine::Command::Gui);
    EXPECT_EQ(gui.planFile, "/home/ann/work.pln");
    EXPECT_EQ(parseCommandLine({}).planFile, "");
    EXPECT_EQ(parseCommandLine({"plans/work.pln"}).planFile, QDir::current().absoluteFilePath("plans/work.pln"));
}

TEST_F(CommandLineTest, info_printsTheInfoPageWithLineFeedsAndFailsAsTheOtherCommands)
{
    SystemFacts facts{QStringLiteral("Linux"), 6, 1, 0, QStringLiteral("12"), std::nullopt, QStringLiteral("/usr/bin"), 1000};
    const QString plan = smallPlan();
    const Outcome r = run({"--info", "--date-order", "dmy", plan}, DateOrder::MonthFirst, facts);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out.startsWith("SYSTEM INFORMATION\nPlatform: Linux\nVersion:  6. 1. 0\nCSDVersion:  12\n"
                                 "Screen Mode: none\n\nAPPLICATION INFORMATION\nApplication Path: /usr/bin\n"
                                 "Application Size: 1000\n"));
    EXPECT_TRUE(r.out.endsWith("FILE INFORMATION\nCurrent file: " + plan +
                               "\nTotal records:  2\nTotal characters:  80\nTotal income: $120.00\n"
                               "Total expenses: $40.00\nBalance: $80.00\nCompleted records:  1\n"
                               "Outstanding records:  1\n"))
        << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(u'\r'));

    EXPECT_EQ(run({"--info"}).status, 2);
    EXPECT_EQ(run({"--info", dir.filePath("missing.pln")}).status, 2);
    EXPECT_EQ(run({"--info", "--list", plan}).status, 2);
    const Outcome bad = run({"--info", write("other.txt", "This is just some text, not a plan at all.\n")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.err.startsWith("File is not a Zorvik Planner file\n"));
}

TEST_F(CommandLineTest, reminders_printTheComingWeekForTheGivenDay)
{
    const QString plan = smallPlan();
    Outcome r = run({"--reminders", "--today", "1996-11-04", "--date-order", "dmy", plan});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Smith, 05/11/1996, 10:30  (Pending)\n");
    r = run({"--reminders", "--today", "1997-02-12", plan});
    EXPECT_EQ(r.out, "Jones, 13/02/1997,  (Done)\n");
    r = run({"--reminders", "--today", "1996-11-05", plan}); // due today: not a reminder
    EXPECT_EQ(r.out, "No reminders for the coming week !\n");
    // Without --today the system's day is used (7 December 2026 here).
    EXPECT_EQ(run({"--reminders", plan}).out, "No reminders for the coming week !\n");
}

// The terminal reads only the records it will print; its lines are those
// the reminders window shows for the whole plan, at the turn of a year and
// whichever order the dates are read in.
TEST_F(CommandLineTest, reminders_printWhatTheWindowListsForTheWholePlan)
{
    QByteArray plan = "Zorvik Planner 3.2 0\r\nenglisheuro\r\n";
    QDate day(2026, 12, 20);
    for (int i = 0; i < 30; ++i, day = day.addDays(1))
        plan += day.toString(u"dd/MM/yyyy").toLatin1() + "\r\n09:00\r\nName " + QByteArray::number(i) +
                "\r\n\r\n\r\n\r\n\r\n\r\n" + (i % 3 ? "0" : "1") + "\r\nplandefault\r\nplandefault\r\n\r\n";
    for (const char* odd : {"Monday", "", "10:30", "31/02/2027"})
        plan += QByteArray(odd) + "\r\n\r\nOdd\r\n\r\n\r\n\r\n\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\n";
    const QString path = write("year.pln", plan + "plannerend\r\n");
    const struct {
        const char* today;
        DateOrder order;
    } cases[] = {{"2026-12-27", DateOrder::DayFirst}, {"2026-12-31", DateOrder::DayFirst}, {"2027-01-09", DateOrder::DayFirst},
                 {"2026-12-27", DateOrder::MonthFirst}, {"2027-01-05", DateOrder::MonthFirst}, {"2030-01-01", DateOrder::DayFirst}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.today);
        RecordStore whole;
        whole.systemDateStyle = dateStyleFor(c.order);
        ASSERT_TRUE(readPlanFile(path, whole, c.order).loaded());
        const QStringList window = buildReminderList(whole, QDate::fromString(QLatin1String(c.today), Qt::ISODate)).lines;
        const Outcome r = run({"--reminders", "--today", c.today, path}, c.order);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, window.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }
}

TEST_F(CommandLineTest, export_printsTheCopyAllTextWithLineFeeds)
{
    const Outcome r = run({"--export", "--date-order", "dmy", smallPlan()});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("Planner Record No. 1\nStart date 05/11/1996, 10:30\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\n\n\nPlanner Record No. 2\n"));
    EXPECT_FALSE(r.out.contains('\r'));

    const Outcome empty = run({"--export", write("none.pln", "Zorvik Planner 3.2 0\r\nenglisheuro\r\nplannerend\r\n")});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(empty.err, "No records to copy.\n");
}

TEST_F(CommandLineTest, exportIcs_printsTheCalendarWhateverTheDateOrder)
{
    for (const char* order : {"dmy", "mdy"}) {
        const Outcome r = run({"--export-ics", "--date-order", order, smallPlan()});
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(r.out.startsWith("BEGIN:VCALENDAR\r\n")) << r.out.toStdString();
        EXPECT_TRUE(r.out.endsWith("END:VCALENDAR\r\n"));
        EXPECT_TRUE(r.out.contains("DTSTART:19961105T103000\r\n")) << order;
        EXPECT_TRUE(r.out.contains("DTSTART;VALUE=DATE:19970213\r\n")) << order;
        EXPECT_TRUE(r.out.contains("DTSTAMP:20261207T000000Z\r\n"));
    }
    EXPECT_TRUE(commandLineUsage().contains("--export-ics [--date-order dmy|mdy] PLANFILE"));
}

TEST_F(CommandLineTest, export_usesTheLabelsAndPrintSwitchesOfTheUsersSettings)
{
    Settings settings;
    RecordStore defaults;
    defaults.fieldLabels[1] = QStringLiteral("Client");
    defaults.fieldLabels[19] = QStringLiteral("off"); // no after-hours phone
    const QString ini = dir.filePath("PLANNER.INI");
    ASSERT_TRUE(saveSettings(ini, settings, defaults, takeSettingsSnapshot(settings, defaults)));

    const auto labels = userFieldLabels(ini);
    ASSERT_TRUE(labels.has_value());
    QString text;
    QString errors;
    QTextStream out(&text);
    QTextStream err(&errors);
    CommandLine c = parseCommandLine({"--export", "--date-order", "dmy", smallPlan()});
    EXPECT_EQ(runCommandLine(c, DateOrder::DayFirst, QDate(2026, 12, 7), out, err, labels), 0);
    out.flush();
    EXPECT_TRUE(text.contains("Client Smith\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("Phone(ah)"));

    EXPECT_FALSE(userFieldLabels(dir.filePath("missing.ini")).has_value());
    EXPECT_FALSE(userFieldLabels(write("bad.ini", "not a settings file at all, just words\n")).has_value());
}

TEST_F(CommandLineTest, emptyPlan_listsNothing)
{
    const Outcome r = run({"--list", write("empty.pln", "Zorvik Planner 3.2 0\r\nenglisheuro\r\nplannerend\r\n")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

} // namespace
} // namespace zp

namespace zp {
namespace {

TEST_F(CommandLineTest, pdf_printsTheChosenStyleWithTheUsersSwitchesAndFont_andFailsOnAFailingPrinter)
{
    const QString plan = write("p.pln", "Zorvik Planner 3.2 0\r\nenglisheuro\r\n05/11/1996\r\n10:30\r\nSmith\r\n\r\n\r\n"
                                        "Quote\r\n\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\nplannerend\r\n");
    const CommandLine c = parseCommandLine({"--pdf", "standard", dir.filePath("out.pdf"), plan});
    ASSERT_EQ(c.command, CommandLine::Command::Pdf);
    EXPECT_EQ(c.outputFile, dir.filePath("out.pdf"));
    UserPrintSettings settings{RecordStore().fieldLabels, FontChoice{}};
    settings.fieldLabels[22] = QStringLiteral("off"); // message
    settings.font.name = QStringLiteral("Courier");
    settings.font.size = 12;
    for (bool failing : {false, true}) {
        RecordingPrinter printer;
        printer.failAfterSteps = failing ? 2 : -1;
        QString errText;
        QTextStream err(&errText);
        const int status = runPdfCommand(c, DateOrder::DayFirst, err, settings, [&printer] { return &printer; });
        err.flush();
        EXPECT_EQ(status, failing ? 1 : 0);
        EXPECT_EQ(printer.fonts.front(), std::make_pair(QStringLiteral("Courier"), 12));
        if (failing) {
            EXPECT_TRUE(errText.contains("Error printing file")) << errText.toStdString();
        } else {
            EXPECT_NE(printer.find("Planner File: " + plan), nullptr);
            EXPECT_NE(printer.find("Name Smith"), nullptr);
            EXPECT_EQ(printer.find("Message Quote"), nullptr);
        }
    }
}

TEST_F(CommandLineTest, ledger_printsEveryRowKindWithTabsBetweenCells)
{
    const QString plan = smallPlan();
    const Outcome r = run({"--ledger", "--date-order", "dmy", plan}, DateOrder::MonthFirst);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const QStringList lines = r.out.split('\n');
    const QStringList expected = {
        "Date\tName\tItem\tIncome\tExpense",
        "\t\t\t$\t$",
        "\t\t\t\t",
        "\t\t\t\t",
        "05/11/1996\tSmith\tQuote\t120.00\t 0",
        "13/02/1997\tJones\t\t 0\t40.00",
        "\t\t\t\t",
        "TOTAL\t\t\t120.00\t40.00",
        "\t\t\t\t",
        "BALANCE\t\t\t80.00\t",
        "",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(commandLineUsage().contains("--ledger [--date-order dmy|mdy] PLANFILE"));
    EXPECT_EQ(run({"--ledger"}).status, 2);
    EXPECT_EQ(run({"--ledger", "--list", plan}).status, 2);
    EXPECT_EQ(run({"--ledger", write("bad.txt", "This is just some text, not a plan at all.\n")}).status, 1);
}

} // namespace
} // namespace zp

namespace zp {
namespace {

TEST(CommandLineLoanTest, loan_printsSummaryThenScheduleAfterTheWindowsChecks)
{
    const Outcome r = run({"--loan", "1200", "1", "12", "31/1/2026", "m"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 5 + 3 + 12 + 1);
    EXPECT_EQ(lines[0], "Info: ");
    EXPECT_EQ(lines[1], "Repayment begin     = 31/1/2026");
    EXPECT_EQ(lines[2], "Annual repayment    = $ 1279");
    EXPECT_EQ(lines[5], "Date\tPrinciple\tMonthly\tAccrued\tAccrued\tBalance");
    EXPECT_EQ(lines[7], "\t\t\t\t\t");
    EXPECT_EQ(lines[8], "28/02/2026\t 94\t 12\t 94\t 12\t 1105");
    EXPECT_EQ(lines[19].section('\t', 5), " 0");

    // Bad figures take the defaults; the month-first order reads and writes the dates.
    const Outcome d = run({"--loan", "-5", "abc", "0", "2/28/2026", "x", "--date-order", "mdy"});
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(d.out.count('\n'), 5 + 3 + 120);
    EXPECT_TRUE(d.out.contains("\n03/28/2026\t")) << d.out.left(400).toStdString();
}

TEST(CommandLineLoanTest, loan_badStartDateOrArgumentsFail)
{
    const Outcome r = run({"--loan", "1200", "1", "12", "tomorrow", "m"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Date format not correct. Please re-enter.\n"
                     "Note: Use the control panel to set the date format specific to your country.\n");
    for (const QStringList& args : {QStringList{"--loan", "1", "2", "3", "4"}, QStringList{"--loan", "1", "2", "3", "1/1/2026", "m", "x.pln"},
                                    QStringList{"--list", "--loan", "1", "2", "3", "1/1/2026", "m"}})
        EXPECT_EQ(run(args).status, 2) << args.join(' ').toStdString();
    // Too few values are a usage error, whatever follows them.
    for (const QStringList& args : {QStringList{"--loan", "1200", "1", "12", "m"},
                                    QStringList{"--loan", "1200", "1", "12", "m", "--date-order", "dmy"}}) {
        const Outcome few = run(args);
        EXPECT_EQ(few.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(few.err.contains("Usage: zorvik-planner --loan AMOUNT YEARS RATE START FREQUENCY")) << few.err.toStdString();
    }
    EXPECT_TRUE(commandLineUsage().contains("--loan AMOUNT YEARS RATE START FREQUENCY"));
}

} // namespace
} // namespace zp

namespace zp {
namespace {

// A calendar of two events.
const QByteArray kTwoEvents = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
                              "BEGIN:VEVENT\r\nUID:a\r\nDTSTAMP:20261207T000000Z\r\nDTSTART:19961105T103000\r\n"
                              "SUMMARY:Smith\r\nDESCRIPTION:Quote\r\nEND:VEVENT\r\n"
                              "BEGIN:VEVENT\r\nUID:b\r\nDTSTAMP:20261207T000000Z\r\nDTSTART:19961107T090000\r\n"
                              "SUMMARY:Br\xc3\xa4uer\r\nDESCRIPTION:Visit\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST_F(CommandLineTest, importIcs_addsTheNewRecordsInThePlansEncodingAndStyleAndPrintsTheSummary)
{
    // A plan in Windows-1252, as "José" shows.
    const QString plan = write("latin.pln", contents(smallPlan()).replace("Jones", "Jos\xe9"));
    const QString calendar = write("two.ics", kTwoEvents);
    // Read month first, the plan is saved in that style, as the window saves it.
    const Outcome r = run({"--import-ics", calendar, "--date-order", "mdy", plan});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Records added: 2\nSkipped, already in the plan: 0\nNot understood: 0\n");
    const QByteArray saved = contents(plan);
    EXPECT_TRUE(saved.startsWith("Zorvik Planner 3.2 0\r\namerican\r\n11/05/1996\r\n")) << saved.left(60).toStdString();
    // Still Windows-1252, as it was read: the umlaut is one byte too.
    EXPECT_TRUE(saved.contains("11/07/1996\r\n09:00\r\nBr\xe4uer\r\n")) << saved.toStdString();

    // Nothing new: the plan file is not written again.
    const Outcome again = run({"--import-ics", calendar, "--date-order", "mdy", plan});
    EXPECT_EQ(again.out, "Records added: 0\nSkipped, already in the plan: 2\nNot understood: 0\n");
    EXPECT_EQ(contents(plan), saved);
}

TEST_F(CommandLineTest, importIcs_addsARepeatingEventForTheGivenMonthsFromTheGivenDay)
{
    const QString calendar = write("rent.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\n"
                                               "UID:r\r\nDTSTAMP:20261207T000000Z\r\nDTSTART:19961105T090000\r\n"
                                               "RRULE:FREQ=MONTHLY\r\nSUMMARY:Rent\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    const std::pair<QStringList, int> cases[] = {{{"--months", "3"}, 3}, {{}, 12}};
    for (const auto& [months, added] : cases) {
        const QString plan = smallPlan();
        const Outcome r = run(QStringList{"--import-ics", calendar, "--today", "1996-11-01", "--date-order", "dmy"} + months
                              + QStringList{plan});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("Records added: %1\n").arg(added))) << r.out.toStdString();
    }
}

TEST_F(CommandLineTest, importIcs_refusesWithAMessageAndLeavesThePlanByteForByte)
{
    const QString plan = smallPlan();
    const QByteArray before = contents(plan);
    const QString notACalendar = write("notes.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n");
    const QString fifo = dir.filePath("pipe.ics");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString text = write("text.pln", "This is just some text, not a plan at all.\n");
    const QString calendar = write("two.ics", kTwoEvents);
    struct Case {
        QStringList arguments;
        QString message;
    } cases[] = {
        {{"--import-ics", notACalendar, plan}, "zorvik-planner: " + notACalendar + ": "},
        {{"--import-ics", fifo, plan}, "zorvik-planner: " + fifo + ": It is not a regular file (a pipe or a device). Nothing was imported.\n"},
        {{"--import-ics", dir.path(), plan}, "zorvik-planner: " + dir.path() + ": It is a folder. Nothing was imported.\n"},
        {{"--import-ics", calendar, text}, "File is not a Zorvik Planner file\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Outcome r = run(c.arguments);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.startsWith(c.message)) << r.err.toStdString();
    }
    // A planner that has the plan open holds its lock.
    QLockFile lock(FileCommands::lockFilePath(plan));
    ASSERT_TRUE(lock.tryLock(0));
    const Outcome locked = run({"--import-ics", calendar, plan});
    EXPECT_EQ(locked.status, 1);
    EXPECT_EQ(locked.err, "zorvik-planner: " + plan + ": The plan is open in a running Zorvik Planner; import the calendar "
                          "there, or close the plan first. Nothing was imported.\n");
    EXPECT_EQ(contents(plan), before);
    lock.unlock();
    EXPECT_EQ(run({"--import-ics", calendar, plan}).status, 0);
    // The import's own lock is gone again.
    EXPECT_FALSE(QFile::exists(FileCommands::lockFilePath(plan)));
}

TEST_F(CommandLineTest, importIcs_whenNotAllFit_addsThoseThatFitAndSaysSo)
{
    // A plan one record short of full.
    QByteArray bytes = "Zorvik Planner 3.2 0\r\nenglisheuro\r\n";
    for (int i = 1; i < RecordStore::kMaxRecords; ++i)
        bytes += "\r\n\r\nJob\r\n\r\n\r\n\r\n\r\n\r\n0\r\nplandefault\r\nplandefault\r\n\r\n";
    const QString plan = write("nearly.pln", bytes + "plannerend\r\n");
    const Outcome r = run({"--import-ics", write("two.ics", kTwoEvents), "--date-order", "dmy", plan});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Records added: 1\nSkipped, already in the plan: 0\nNot understood: 0\n");
    EXPECT_EQ(r.err, "zorvik-planner: " + plan + ": The calendar has 2 new records, but the plan had room for only 1 more "
                     "(a plan holds at most 32767 records); the first 1 in date order were added.\n");
    const QByteArray full = contents(plan);
    const Outcome refused = run({"--import-ics", dir.filePath("two.ics"), "--date-order", "dmy", plan});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("The plan is full")) << refused.err.toStdString();
    EXPECT_EQ(contents(plan), full);
}

} // namespace
} // namespace zp
