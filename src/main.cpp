// The command `zorvik-planner`. It links Qt Core only and runs the terminal
// commands itself, so a --reminders or --list starts and runs in a fraction
// of the memory the windows take. For the windows, --pdf (which draws
// with fonts) and --publish (the network and the keyring) it becomes the full program by exec: same process, same
// arguments, argv[0] included, so the desktop, signals and the window's
// name see no difference.
#include "app/CommandLine.h"
#include "app/TerminalCommand.h"
#include "ui/SystemServices.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace {

// Returns only when the full program could not be started.
int startWindows(char** argv)
{
    const QByteArray program = QFile::encodeName(zp::windowsProgramPath(zp::ownProgramDirectory()));
    ::execv(program.constData(), argv);
    const int error = errno;
    std::fprintf(stderr, "zorvik-planner: cannot start the windows: %s: %s\n", program.constData(), std::strerror(error));
    // As shells and env(1) answer a command they cannot run.
    return error == ENOENT ? 127 : 126;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << zp::argumentText(QByteArray(argv[i]));
    const zp::CommandLine command = zp::parseCommandLine(arguments);
    // --publish talks to the network and the keyring, whose libraries (Qt
    // Network, QtKeychain, D-Bus) only the full program links.
    if (command.command == zp::CommandLine::Command::Gui || command.command == zp::CommandLine::Command::Pdf
        || command.command == zp::CommandLine::Command::Publish)
        return startWindows(argv);
    return zp::runOnTerminal(argc, argv, command);
}
