// The full program: the windows, and --pdf, which draws with fonts. The
// command `zorvik-planner` (main.cpp) starts it by exec for those, with the
// same arguments.
#include "app/windows/OrderlyEnd.h"
#include "plan/RecentlyUsedFile.h"
#include "plan/Recovery.h"
#include "ui/TerminationWatcher.h"
#include "app/ApplicationName.h"
#include "app/CommandLine.h"
#include "app/InstalledFiles.h"
#include "app/ProgramVersion.h"
#include "state/ProgramState.h"
#include "app/SettingsFile.h"
#include "app/TerminalCommand.h"
#include "app/windows/PlannerAlarms.h"
#include "app/windows/PlannerApp.h"
#include "ui/DBusNotifications.h"
#include "app/windows/PublishTerminal.h"
#include "ui/Artwork.h"
#include "ui/QtPlatform.h"
#include "ui/StartupSound.h"
#include "ui/SystemServices.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QSystemTrayIcon>
#include <QTextStream>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/prctl.h>

namespace {

// --pdf draws with fonts, so it needs a GUI application, but no display.
// The file appears only when the whole document was written.
int runPdf(int argc, char** argv, const zp::CommandLine& command)
{
    // The output's name as its bytes were given (taken before the
    // application reads its own options out of argv): a name that is not
    // valid in the locale's encoding has no exact text form.
    const int outputIndex = command.outputArgument + 1;
    const QByteArray output = outputIndex > 0 && outputIndex < argc ? QByteArray(argv[outputIndex])
                                                                     : QFile::encodeName(command.outputFile);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's notes about the session are no concern of
    // a terminal command; real failures are reported by the command.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            fprintf(stderr, "%s\n", qPrintable(message));
    });
    QGuiApplication app(argc, argv);
    std::setlocale(LC_TIME, "");
    QTextStream err(stderr);
    err.setEncoding(QStringConverter::Utf8);
    std::unique_ptr<zp::PdfFilePrinter> pdf;
    auto cannotWrite = [&](const QString& reason) {
        err << "zorvik-planner: cannot write " << command.outputFile << ": " << reason << '\n';
    };
    auto openOutput = [&]() -> zp::Printer* {
        pdf = std::make_unique<zp::PdfFilePrinter>(output,
                                                   QStringLiteral("Zorvik Planner - ") + QFileInfo(command.planFile).fileName());
        if (!pdf->isOpen()) {
            cannotWrite(pdf->errorString());
            return nullptr;
        }
        return pdf.get();
    };
    zp::LocaleDateOrder systemOrder;
    int status = zp::runPdfCommand(command, systemOrder.systemDateOrder(), err,
                                   zp::userPrintSettings(zp::settingsFilePath()), openOutput);
    if (status == 0 && (!pdf || !pdf->commit())) {
        cannotWrite(pdf ? pdf->errorString() : QStringLiteral("nothing was drawn"));
        status = 1;
    }
    return status;
}

// For the command's --info: the size of the display's primary screen, as
// the windows would see it. The platform follows the display the
// environment names, whatever the caller's QT_QPA_PLATFORM says; a display
// that cannot be reached ends this process, which the command reads as none.
int printScreenSize(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "xcb" : "wayland;xcb");
    QGuiApplication app(argc, argv);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1;
    const QSize size = screen->geometry().size();
    std::printf("%dx%d\n", size.width(), size.height());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The process keeps the command's name, as it had before the exec, for
    // ps, top and killall.
    ::prctl(PR_SET_NAME, "zorvik-planner", 0, 0, 0);
    if (argc == 2 && std::strcmp(argv[1], zp::kScreenSizeOption) == 0)
        return printScreenSize(argc, argv);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << zp::argumentText(QByteArray(argv[i]));
    const zp::CommandLine command = zp::parseCommandLine(arguments);
    if (command.command == zp::CommandLine::Command::Pdf)
        return runPdf(argc, argv, command);
    if (command.command == zp::CommandLine::Command::Publish)
        return zp::runPublishOnTerminal(argc, argv, command);
    // Run directly, the full program does what the command does.
    if (command.command != zp::CommandLine::Command::Gui)
        return zp::runOnTerminal(argc, argv, command);

    QApplication app(argc, argv);
    zp::nameApplication();
    // Lets the desktop match the windows to the installed menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zorvik.Planner"));
    // The date order is read from LC_TIME, as the environment sets it.
    std::setlocale(LC_TIME, "");
    zp::initArtwork();
    // Every window carries the program's icon: the icon theme's when the
    // program is installed, else the copy compiled in.
    QIcon ownIcon;
    for (const char* size : {"16x16", "32x32", "48x48", "256x256"})
        ownIcon.addFile(QStringLiteral(":/icons/%1/zorvik-planner.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.zorvik.Planner"), ownIcon));

    zp::QtPlatform qtPlatform;
    zp::ProgramState state;
    state.commandLinePlan = command.planFile;
    state.settingsPath = zp::settingsFilePath();
    state.preferences.open(zp::preferencesFilePath());
    state.recentlyUsedPath = zp::recentlyUsedFilePath();
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    state.store.recordingsFolder = dataFolder + QStringLiteral("/recordings");
    state.startupSoundPath = zp::installStartupSound(
        dataFolder, zp::findInstalledFiles(zp::plannerCommandDirectory(QCoreApplication::applicationDirPath())).startupSound);
    state.recoveryFolder = zp::recoveryFolder();

    // Alarms go to the desktop's notification service on the session bus.
    zp::DBusNotifications notifications(QStringLiteral("Zorvik Planner"), QStringLiteral("org.zorvik.Planner"),
                                        ownIcon.pixmap(48, 48).toImage());
    const bool trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    zp::PlannerApp planner(state, qtPlatform.platform());
    QObject::connect(&planner, &zp::PlannerApp::finished, &app, &QApplication::quit, Qt::QueuedConnection);
    zp::TerminationWatcher termination;
    zp::OrderlyEnd orderlyEnd(planner, termination);
    planner.setStartHidden(command.startInTray && trayAvailable);
    planner.start();
    if (orderlyEnd.ending())
        return 0;
    zp::PlannerAlarms alarms(planner, state, qtPlatform.platform(), notifications, trayAvailable);
    // After the coming week's reminders, when they are shown: missed alarms come second.
    QTimer::singleShot(0, &alarms, [&] { alarms.start(command.startInTray); });
    return QApplication::exec();
}
