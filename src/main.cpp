#include "app/ProgramState.h"
#include "app/windows/PlannerApp.h"
#include "ui/Artwork.h"
#include "ui/QtPlatform.h"

#include <QApplication>
#include <QStandardPaths>
#include <clocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zorvik-planner"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zorvik Planner"));
    QApplication::setApplicationVersion(QStringLiteral("3.2"));
    // The date order is read from LC_TIME, as the environment sets it.
    std::setlocale(LC_TIME, "");
    zp::initArtwork();

    zp::QtPlatform qtPlatform;
    zp::ProgramState state;
    const QStringList args = QApplication::arguments();
    if (args.size() > 1)
        state.commandLinePlan = args.at(1);
    state.store.recordingsFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recordings");

    zp::PlannerApp planner(state, qtPlatform.platform());
    QObject::connect(&planner, &zp::PlannerApp::finished, &app, &QApplication::quit, Qt::QueuedConnection);
    planner.start();
    return QApplication::exec();
}
