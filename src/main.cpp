#include "app/CommandLine.h"
#include "app/ProgramVersion.h"
#include "state/ProgramState.h"
#include "app/SettingsFile.h"
#include "app/windows/PlannerApp.h"
#include "ui/Artwork.h"
#include "ui/QtPlatform.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTextStream>
#include <clocale>

namespace {

// The terminal commands run without a window or a display.
int runOnTerminal(int argc, char** argv, const zp::CommandLine& command)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_TIME, "");
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    zp::LocaleDateOrder systemOrder;
    zp::SystemClock clock;
    // Facts are read only when asked for; a terminal has no screen to tell of.
    const zp::SystemFacts facts =
        command.command == zp::CommandLine::Command::Info ? zp::QtSystemFacts().systemFacts() : zp::SystemFacts();
    return zp::runCommandLine(command, systemOrder.systemDateOrder(), clock.today(), out, err,
                              zp::userFieldLabels(zp::settingsFilePath()), facts);
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const zp::CommandLine command = zp::parseCommandLine(arguments);
    if (command.command != zp::CommandLine::Command::Gui)
        return runOnTerminal(argc, argv, command);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zorvik-planner"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zorvik Planner"));
    {
        const zp::ProgramVersion v = zp::programVersion();
        QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.patch));
    }
    // The date order is read from LC_TIME, as the environment sets it.
    std::setlocale(LC_TIME, "");
    zp::initArtwork();

    zp::QtPlatform qtPlatform;
    zp::ProgramState state;
    state.commandLinePlan = command.planFile;
    state.settingsPath = zp::settingsFilePath();
    state.store.recordingsFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recordings");

    zp::PlannerApp planner(state, qtPlatform.platform());
    QObject::connect(&planner, &zp::PlannerApp::finished, &app, &QApplication::quit, Qt::QueuedConnection);
    planner.start();
    return QApplication::exec();
}
