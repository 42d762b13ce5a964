#include "app/PublishCommand.h"

#include "app/TerminalOutput.h"
#include "plan/CalendarPublish.h"
#include "plan/DateStyle.h"
#include "plan/PlanFile.h"
#include "state/Preferences.h"

#include <QFileInfo>
#include <QTextStream>

namespace zp {

namespace {

int publishPlan(const CommandLine& c, DateOrder systemOrder, PublishCommandServices& services, QTextStream& out,
                QTextStream& err)
{
    const DateOrder order = c.dateOrder.value_or(systemOrder);
    const CalendarServerSettings saved = services.preferences.calendarServer(c.planFile);
    const QString url = c.calendarUrl.isEmpty() ? saved.url : c.calendarUrl;
    const QString user = c.userName.isEmpty() ? saved.user : c.userName;
    if (url.isEmpty()) {
        err << "zorvik-planner: no calendar server is set for " << c.planFile
            << " (File > Calendar server... in the window, or --calendar URL)\n";
        return 2;
    }
    RecordStore store;
    store.systemDateStyle = dateStyleFor(order);
    store.fileDateStyle = store.systemDateStyle;
    const PlanReadResult read = readPlanFile(c.planFile, store, order);
    if (read.status != PlanReadStatus::Loaded && read.status != PlanReadStatus::Ignored) {
        err << read.message << '\n' << c.planFile << ": " << (read.detail.isEmpty() ? read.message : read.detail) << '\n';
        return 1;
    }

    CalendarServerAccount account{QUrl(url), user, {}};
    if (services.passwordFromEnvironment) {
        account.password = *services.passwordFromEnvironment;
    } else if (const auto kept = services.passwords.read(calendarPasswordKey(account.url, user))) {
        account.password = *kept;
    } else {
        err << "zorvik-planner: no password for " << user << " at " << account.url.host()
            << ": none in the keyring; set ZORVIK_CALDAV_PASSWORD\n";
        return 1;
    }
    for (const QString& accepted : saved.certificates) {
        const QStringList parts = accepted.split(QLatin1Char(' '));
        if (parts.size() == 2)
            services.http.acceptCertificate(parts[0], parts[1].toLatin1());
    }

    const QString statePath = services.statePath.isEmpty()
                                  ? calendarPublishStatePath(services.preferences.path(), c.planFile)
                                  : services.statePath;
    PublishState state;
    readPublishState(statePath, state);
    DavConnection connection(services.http, account);
    CalendarPublish publish(connection, account.url, state, [&] { return writePublishState(statePath, state); });
    std::optional<PublishSummary> result;
    publish.publish(calendarEntries(store, order, services.now), [&](const PublishSummary& s) { result = s; });
    services.waitUntil([&] { return result.has_value(); });

    out << publishSummaryText(*result) << '\n';
    for (const PublishConflict& conflict : result->conflicts)
        out << "  changed on the server, left as it is: " << (conflict.summary.isEmpty() ? conflict.uid : conflict.summary)
            << '\n';
    if (!result->ok()) {
        err << "zorvik-planner: " << url << ": " << result->error << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int runPublishCommand(const CommandLine& c, DateOrder systemOrder, PublishCommandServices& services, QTextStream& out,
                      QTextStream& err)
{
    return statusWithOutputChecked(publishPlan(c, systemOrder, services, out, err), out, err);
}

} // namespace zp
