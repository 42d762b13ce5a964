#include "app/windows/PublishTerminal.h"

#include "app/ApplicationName.h"
#include "app/PublishCommand.h"
#include "app/TerminalOutput.h"
#include "state/Preferences.h"
#include "ui/QtHttp.h"
#include "ui/QtPasswordStore.h"
#include "ui/SystemServices.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <clocale>

namespace zp {

int runPublishOnTerminal(int argc, char** argv, const CommandLine& command)
{
    QCoreApplication app(argc, argv);
    nameApplication();
    std::setlocale(LC_TIME, "");
    TerminalStreams streams;
    QtHttp http;
    QtPasswordStore passwords;
    Preferences preferences;
    preferences.open(preferencesFilePath());
    SystemClock clock;
    LocaleDateOrder systemOrder;
    PublishCommandServices services{http, passwords, preferences,
                                    [](const std::function<bool()>& finished) {
                                        while (!finished())
                                            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                                    },
                                    std::nullopt, QString(), clock.now()};
    if (qEnvironmentVariableIsSet("ZORVIK_CALDAV_PASSWORD"))
        services.passwordFromEnvironment = qEnvironmentVariable("ZORVIK_CALDAV_PASSWORD");
    return runPublishCommand(command, systemOrder.systemDateOrder(), services, streams.out, streams.err);
}

} // namespace zp
