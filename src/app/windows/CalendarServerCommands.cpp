#include "app/windows/CalendarServerCommands.h"

#include "app/windows/CalendarCommands.h"
#include "plan/CalendarServer.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTimer>

namespace zp {

namespace {

const QString kNoPlanFile =
    QStringLiteral("Save the plan first: the calendar server is set for each plan file.");

bool refusedLogin(const QString& error)
{
    return error.contains(QStringLiteral("(401)"));
}

} // namespace

CalendarServerCommands::CalendarServerCommands(ProgramState& state, const Platform& platform, Services services,
                                               CalendarCommands& calendar, std::function<void(const QString&)> showHint)
    : state_(state), platform_(platform), services_(std::move(services)), calendar_(calendar),
      showHint_(std::move(showHint))
{
}

CalendarServerCommands::~CalendarServerCommands()
{
    // The publisher first: its requests end before the connection goes.
    publisher_.reset();
    connection_.reset();
}

bool CalendarServerCommands::busy() const
{
    return running_;
}

void CalendarServerCommands::cancel()
{
    if (publisher_ && publisher_->running())
        publisher_->cancel();
    else if (connection_)
        connection_->cancel();
}

QString CalendarServerCommands::statePath() const
{
    const QString& plan = state_.store.planFileName;
    if (!stateFolder_.isEmpty())
        return QDir(stateFolder_).filePath(QFileInfo(calendarPublishStatePath(QStringLiteral("x"), plan)).fileName());
    if (state_.preferences.path().isEmpty())
        return {};
    return calendarPublishStatePath(state_.preferences.path(), plan);
}

void CalendarServerCommands::saveState()
{
    const QString path = statePath();
    if (!path.isEmpty())
        writePublishState(path, publishState_);
}

void CalendarServerCommands::editSettings()
{
    const QString& plan = state_.store.planFileName;
    if (plan.isEmpty()) {
        platform_.messages.msgBox(kNoPlanFile, MsgStyle::Exclamation, kCalendarServerTitle);
        return;
    }
    const CalendarServerSettings saved = state_.preferences.calendarServer(plan);
    CalendarServerChoice current{saved.url, saved.user, {}, saved.publishAfterSave};
    const QString oldKey = calendarPasswordKey(QUrl(saved.url), saved.user);
    if (const auto it = sessionPasswords_.find(oldKey); it != sessionPasswords_.end())
        current.password = it->second;
    else if (!saved.url.isEmpty())
        current.password = services_.passwords.read(oldKey).value_or(QString());
    const auto chosen = services_.editSettings(current);
    if (!chosen)
        return;
    CalendarServerSettings settings = saved;
    settings.url = chosen->url;
    settings.user = chosen->user;
    settings.publishAfterSave = chosen->publishAfterSave;
    state_.preferences.setCalendarServer(plan, settings);
    state_.preferences.sync();
    if (!chosen->password.isEmpty() && (chosen->password != current.password || chosen->url != current.url
                                        || chosen->user != current.user))
        rememberPassword({QUrl(chosen->url), chosen->user, {}}, chosen->password);
}

void CalendarServerCommands::rememberPassword(const CalendarServerAccount& account, const QString& password)
{
    const QString key = calendarPasswordKey(account.url, account.user);
    // Without a keyring the password lives for this session only, never
    // in a file.
    if (!services_.passwords.write(key, password))
        sessionPasswords_[key] = password;
}

std::optional<CalendarServerAccount> CalendarServerCommands::account(bool askAgain, bool mayEdit)
{
    const QString& plan = state_.store.planFileName;
    if (plan.isEmpty()) {
        platform_.messages.msgBox(kNoPlanFile, MsgStyle::Exclamation, kCalendarServerTitle);
        return std::nullopt;
    }
    if (state_.preferences.calendarServer(plan).url.isEmpty() && mayEdit)
        editSettings();
    const CalendarServerSettings settings = state_.preferences.calendarServer(plan);
    if (settings.url.isEmpty())
        return std::nullopt;
    CalendarServerAccount a{QUrl(settings.url), settings.user, {}};
    for (const QString& accepted : settings.certificates) {
        const QStringList parts = accepted.split(QLatin1Char(' '));
        if (parts.size() == 2)
            services_.http.acceptCertificate(parts[0], parts[1].toLatin1());
    }
    const QString key = calendarPasswordKey(a.url, a.user);
    if (!askAgain) {
        if (const auto it = sessionPasswords_.find(key); it != sessionPasswords_.end()) {
            a.password = it->second;
            return a;
        }
        if (const auto kept = services_.passwords.read(key)) {
            a.password = *kept;
            return a;
        }
    }
    const auto typed = services_.prompt.askPassword(
        kCalendarServerTitle, askAgain ? QStringLiteral("The server refused the password. Password for %1 at %2:")
                                             .arg(a.user, a.url.host())
                                       : QStringLiteral("Password for %1 at %2:").arg(a.user, a.url.host()));
    if (!typed)
        return std::nullopt;
    a.password = *typed;
    rememberPassword(a, *typed);
    return a;
}

bool CalendarServerCommands::askAcceptCertificate(const CalendarServerAccount& account, const QByteArray& digest,
                                                  const QString& why)
{
    const QString text = QStringLiteral("%1\n\nTrust this certificate for %2 from now on?\n(SHA-256 %3)")
                             .arg(why, account.url.host(), QString::fromLatin1(digest));
    if (platform_.messages.msgBox(text, MsgStyle::YesNoQuestion | MsgStyle::DefaultButton2, kCalendarServerTitle)
        != MsgAnswer::Yes)
        return false;
    CalendarServerSettings settings = state_.preferences.calendarServer(state_.store.planFileName);
    settings.certificates << account.url.host().toLower() + QLatin1Char(' ') + QString::fromLatin1(digest);
    state_.preferences.setCalendarServer(state_.store.planFileName, settings);
    state_.preferences.sync();
    services_.http.acceptCertificate(account.url.host().toLower(), digest);
    return true;
}

// Another host may not see the password unasked; once agreed, the new
// address is the plan's from now on.
bool CalendarServerCommands::followRedirect(const CalendarServerAccount& account, const QUrl& to)
{
    const QString text = QStringLiteral("The server %1 sends the planner on to another server:\n%2\n\n"
                                        "Publish there, and keep that address for this plan?")
                             .arg(account.url.host(), to.toDisplayString());
    if (platform_.messages.msgBox(text, MsgStyle::YesNoQuestion | MsgStyle::DefaultButton2, kCalendarServerTitle)
        != MsgAnswer::Yes)
        return false;
    CalendarServerSettings settings = state_.preferences.calendarServer(state_.store.planFileName);
    settings.url = to.toString();
    state_.preferences.setCalendarServer(state_.store.planFileName, settings);
    state_.preferences.sync();
    rememberPassword({to, account.user, {}}, account.password);
    return true;
}

// --- publish -------------------------------------------------------------------

void CalendarServerCommands::planSaved()
{
    const QString& plan = state_.store.planFileName;
    if (!plan.isEmpty() && !running_ && state_.preferences.calendarServer(plan).publishAfterSave)
        publish(true);
}

void CalendarServerCommands::publish(bool afterSave)
{
    if (running_)
        return;
    afterSave_ = afterSave;
    const auto a = account(false, !afterSave);
    if (a)
        startPublish(*a, 0);
}

void CalendarServerCommands::startPublish(const CalendarServerAccount& account, int tries)
{
    running_ = true;
    publisher_.reset();
    connection_ = std::make_unique<DavConnection>(services_.http, account);
    const QString path = statePath();
    if (path.isEmpty() || !readPublishState(path, publishState_))
        publishState_ = path.isEmpty() ? publishState_ : PublishState();
    publisher_ = std::make_unique<CalendarPublish>(*connection_, account.url, publishState_, [this] {
        saveState();
        return true;
    });
    publisher_->progress = [this](int done, int total) {
        services_.showProgress(true, QStringLiteral("Publishing ..."), done, total);
    };
    services_.showProgress(true, QStringLiteral("Publishing ..."), 0, 0);
    const RecordStore& store = state_.store;
    publisher_->publish(calendarEntries(store, store.dateOrder(), platform_.clock.now()),
                        [this, account, tries](const PublishSummary& summary) {
                            // Not from inside the publisher, which may go now.
                            QTimer::singleShot(0, this, [this, account, summary, tries] { published(account, summary, tries); });
                        });
}

void CalendarServerCommands::finishRun()
{
    running_ = false;
    services_.showProgress(false, QString(), 0, 0);
}

void CalendarServerCommands::published(const CalendarServerAccount& account, const PublishSummary& summary, int tries)
{
    finishRun();
    if (refusedLogin(summary.error) && tries < 3) {
        if (const auto again = this->account(true))
            startPublish(*again, tries + 1);
        return;
    }
    if (!summary.refusedCertificate.isEmpty() && tries < 3) {
        if (askAcceptCertificate(account, summary.refusedCertificate, summary.error))
            startPublish(account, tries + 1);
        return;
    }
    if (summary.redirectedTo.isValid() && tries < 3) {
        if (followRedirect(account, summary.redirectedTo))
            startPublish({summary.redirectedTo, account.user, account.password}, tries + 1);
        return;
    }
    if (!summary.conflicts.empty())
        return resolveConflicts(account, summary);
    if (afterSave_ && summary.ok()) {
        showHint_(QStringLiteral("Published: %1 added, %2 changed, %3 deleted")
                      .arg(summary.added)
                      .arg(summary.changed)
                      .arg(summary.deleted));
        return;
    }
    platform_.messages.msgBox(publishSummaryText(summary),
                              summary.ok() ? MsgStyle::Information : MsgStyle::Exclamation, kCalendarServerTitle);
}

void CalendarServerCommands::resolveConflicts(const CalendarServerAccount& account, const PublishSummary& summary)
{
    const int answer = platform_.messages.msgBox(publishConflictQuestion(summary.conflicts),
                                                 MsgStyle::YesNoCancel | MsgStyle::Question, kCalendarServerTitle);
    if (answer == MsgAnswer::Yes) {
        running_ = true;
        services_.showProgress(true, QStringLiteral("Publishing ..."), 0, int(summary.conflicts.size()));
        const RecordStore& store = state_.store;
        PublishSummary before = summary;
        publisher_->overwrite(summary.conflicts, calendarEntries(store, store.dateOrder(), platform_.clock.now()),
                              [this, account, before](const PublishSummary& s) {
                                  PublishSummary total = before;
                                  total.changed += s.changed + s.added;
                                  total.deleted += s.deleted;
                                  total.conflicts = s.conflicts;
                                  total.error = s.error;
                                  total.cancelled = s.cancelled;
                                  QTimer::singleShot(0, this, [this, account, total] { published(account, total, 3); });
                              });
        return;
    }
    if (answer == MsgAnswer::No) {
        const QByteArray text = takeServerVersions(publishState_, summary.conflicts);
        saveState();
        QTemporaryFile file(QDir::temp().filePath(QStringLiteral("zorvik-calendar-server-XXXXXX.ics")));
        if (file.open() && file.write(text) == text.size() && file.flush())
            calendar_.importCalendarFile(file.fileName(), account.url.host());
        return;
    }
    PublishSummary left = summary;
    left.conflicts.clear();
    platform_.messages.msgBox(publishSummaryText(left) + QStringLiteral("\nLeft as the server has them: %1")
                                                            .arg(summary.conflicts.size()),
                              MsgStyle::Information, kCalendarServerTitle);
}

// --- import --------------------------------------------------------------------

void CalendarServerCommands::importFromServer()
{
    if (running_)
        return;
    const auto a = account(false);
    if (!a)
        return;
    const auto months = platform_.numberDialog.askNumber(
        {kCalendarServerTitle, QStringLiteral("Import the server's events of how many months from today?"), 12, 1, 120});
    if (!months)
        return;
    const QDate from = platform_.clock.today();
    startFetch(*a, from, from.addMonths(*months), 0);
}

void CalendarServerCommands::startFetch(const CalendarServerAccount& account, const QDate& from, const QDate& to,
                                        int tries)
{
    running_ = true;
    publisher_.reset();
    connection_ = std::make_unique<DavConnection>(services_.http, account);
    services_.showProgress(true, QStringLiteral("Fetching events ..."), 0, 0);
    fetchCalendarSpan(*connection_, account.url, from, to, [this, account, from, to, tries](const FetchedCalendar& f) {
        QTimer::singleShot(0, this, [this, account, f, from, to, tries] { fetched(account, f, from, to, tries); });
    });
}

void CalendarServerCommands::fetched(const CalendarServerAccount& account, const FetchedCalendar& result,
                                     const QDate& from, const QDate& to, int tries)
{
    finishRun();
    if (refusedLogin(result.error) && tries < 3) {
        if (const auto again = this->account(true))
            startFetch(*again, from, to, tries + 1);
        return;
    }
    if (!result.refusedCertificate.isEmpty() && tries < 3) {
        if (askAcceptCertificate(account, result.refusedCertificate, result.error))
            startFetch(account, from, to, tries + 1);
        return;
    }
    if (!result.error.isEmpty()) {
        platform_.messages.msgBox(QStringLiteral("Nothing was imported from %1.\n%2").arg(account.url.host(), result.error),
                                  MsgStyle::Exclamation, kCalendarImportTitle);
        return;
    }
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("zorvik-calendar-server-XXXXXX.ics")));
    if (!file.open() || file.write(result.text) != result.text.size() || !file.flush()) {
        platform_.messages.msgBox(QStringLiteral("The server's events could not be kept for the import: %1")
                                      .arg(file.errorString()),
                                  MsgStyle::Exclamation, kCalendarImportTitle);
        return;
    }
    calendar_.importCalendarFile(file.fileName(), account.url.host());
}

} // namespace zp
