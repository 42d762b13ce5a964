#include "app/CommandLine.h"
#include "state/ProgramState.h"
#include "app/SettingsFile.h"
#include "app/windows/PlannerApp.h"
#include "ui/Artwork.h"
#include "ui/QtPlatform.h"
#include "ui/WaveFile.h"

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
    return zp::runCommandLine(command, systemOrder.systemDateOrder(), clock.today(), out, err,
                              zp::userFieldLabels(zp::settingsFilePath()));
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
    QApplication::setApplicationVersion(QStringLiteral("3.2"));
    // The date order is read from LC_TIME, as the environment sets it.
    std::setlocale(LC_TIME, "");
    zp::initArtwork();

    zp::QtPlatform qtPlatform;
    zp::ProgramState state;
    state.commandLinePlan = command.planFile;
    state.settingsPath = zp::settingsFilePath();
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    state.store.recordingsFolder = dataFolder + QStringLiteral("/recordings");
    state.startupSoundPath = zp::installStartupSound(dataFolder);

    zp::PlannerApp planner(state, qtPlatform.platform());
    QObject::connect(&planner, &zp::PlannerApp::finished, &app, &QApplication::quit, Qt::QueuedConnection);
    planner.start();
    return QApplication::exec();
}
