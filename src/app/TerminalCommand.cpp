#include "app/TerminalCommand.h"

#include "app/SettingsFile.h"
#include "app/TerminalOutput.h"
#include "ui/SystemServices.h"

#include <QCoreApplication>
#include <clocale>

namespace zp {

int runOnTerminal(int argc, char** argv, const CommandLine& command)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_TIME, "");
    TerminalStreams streams;
    LocaleDateOrder systemOrder;
    SystemClock clock;
    // Facts are read only when asked for; the screen is the display's, when
    // the terminal runs on one.
    SystemFacts facts;
    if (command.command == CommandLine::Command::Info) {
        facts = hostSystemFacts();
        facts.screenPixels = displayScreenPixels(facts.programDirectory);
    }
    else if (command.command == CommandLine::Command::Version)
        facts.programDirectory = plannerCommandDirectory(QCoreApplication::applicationDirPath());
    const QDateTime now = clock.now();
    return runCommandLine(command, systemOrder.systemDateOrder(), now.date(), streams.out, streams.err,
                          userFieldLabels(settingsFilePath()), facts, now);
}

} // namespace zp
