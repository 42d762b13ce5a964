#pragma once
#include "app/CommandLine.h"
#include "ui/HttpService.h"
#include "ui/PasswordStore.h"

#include <QDateTime>
#include <functional>
#include <optional>

class QTextStream;

namespace zp {

class Preferences;

// What --publish needs of the world: the network, the keyring, the user's
// settings, and a way to wait for answers (the caller's event loop).
struct PublishCommandServices {
    HttpService& http;
    PasswordStore& passwords;
    const Preferences& preferences;
    // Runs the caller's events until `finished` says true.
    std::function<void(const std::function<bool()>& finished)> waitUntil;
    std::optional<QString> passwordFromEnvironment; // ZORVIK_CALDAV_PASSWORD
    QString statePath;                               // empty: beside the settings
    QDateTime now;
};

// --publish: the plan's records to its calendar server (or the --calendar
// and --user given), as File > Publish to calendar server does, but
// changes on the server are only listed, never overwritten. Prints the
// summary. Returns 0 published, 1 the plan, the server, the network or
// the password failed or the summary did not all arrive on `out`, 2 no
// calendar is set for the plan. The plan file is not changed.
int runPublishCommand(const CommandLine& command, DateOrder systemOrder, PublishCommandServices& services,
                      QTextStream& out, QTextStream& err);

} // namespace zp
