#include "app/TerminalCommand.h"

#include "app/SettingsFile.h"
#include "ui/SystemServices.h"

#include <QCoreApplication>
#include <QTextStream>
#include <clocale>
#include <cstdio>

namespace zp {

int runOnTerminal(int argc, char** argv, const CommandLine& command)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_TIME, "");
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    LocaleDateOrder systemOrder;
    SystemClock clock;
    // Facts are read only when asked for; a terminal has no screen to tell of.
    SystemFacts facts;
    if (command.command == CommandLine::Command::Info)
        facts = hostSystemFacts();
    else if (command.command == CommandLine::Command::Version)
        facts.programDirectory = plannerCommandDirectory(QCoreApplication::applicationDirPath());
    return runCommandLine(command, systemOrder.systemDateOrder(), clock.today(), out, err,
                          userFieldLabels(settingsFilePath()), facts);
}

} // namespace zp
