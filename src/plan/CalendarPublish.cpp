#include "plan/CalendarPublish.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <deque>
#include <set>
#include <unordered_map>

namespace zp {

namespace {

// The state is written now and then during a long publish, not after each
// answer: rewriting thousands of lines per request would cost more than
// the request.
constexpr int kSaveEvery = 200;

QString pathKey(const QUrl& url)
{
    QString path = url.path(QUrl::FullyDecoded);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QUrl entryUrl(const QUrl& calendar, const QString& uid)
{
    QUrl base = calendar;
    if (!base.path().endsWith(QLatin1Char('/')))
        base.setPath(base.path() + QLatin1Char('/'));
    return base.resolved(QUrl::fromEncoded(QUrl::toPercentEncoding(uid) + ".ics"));
}

QString summaryOf(const QByteArray& text)
{
    for (const QByteArray& line : text.split('\n'))
        if (line.startsWith("SUMMARY"))
            if (const qsizetype colon = line.indexOf(':'); colon > 0)
                return QString::fromUtf8(line.mid(colon + 1).trimmed()).replace(QLatin1String("\\,"), QLatin1String(","));
    return {};
}

// Whether the server's text holds the same record as the plan's: servers
// write entries back in their own form, so the texts are compared as
// the records they import as.
bool sameRecord(const QByteArray& server, const QByteArray& local)
{
    RecordStore empty;
    CalendarImportOptions options;
    options.today = QDate(2000, 1, 1);
    options.recurrenceMonths = 1;
    const CalendarImport a = readCalendar(server, empty, options);
    const CalendarImport b = readCalendar(local, empty, options);
    return a.readable && b.readable && a.records == b.records;
}

} // namespace

QByteArray entryDigest(const QByteArray& text)
{
    QByteArray without = text;
    const qsizetype at = without.indexOf("\nDTSTAMP");
    if (at >= 0) {
        const qsizetype end = without.indexOf('\n', at + 1);
        without.remove(at, (end < 0 ? without.size() : end) - at);
    }
    return QCryptographicHash::hash(without, QCryptographicHash::Sha1).toHex();
}

bool readPublishState(const QString& path, PublishState& state)
{
    state = PublishState();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    state.calendarUrl = o.value(u"calendar").toString();
    state.syncToken = o.value(u"syncToken").toString().toUtf8();
    const QJsonObject entries = o.value(u"entries").toObject();
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        const QJsonArray e = it.value().toArray();
        state.entries[it.key()] = {e.at(0).toString(), e.at(1).toString().toUtf8(), e.at(2).toString().toLatin1()};
    }
    return true;
}

bool writePublishState(const QString& path, const PublishState& state)
{
    QJsonObject entries;
    for (const auto& [uid, e] : state.entries)
        entries.insert(uid, QJsonArray{e.href, QString::fromUtf8(e.etag), QString::fromLatin1(e.digest)});
    const QJsonObject o{{QStringLiteral("calendar"), state.calendarUrl},
                        {QStringLiteral("syncToken"), QString::fromUtf8(state.syncToken)},
                        {QStringLiteral("entries"), entries}};
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(o).toJson(QJsonDocument::Compact)) >= 0
           && file.commit();
}

QString publishSummaryText(const PublishSummary& s)
{
    QString text = QStringLiteral("Added: %1\nChanged: %2\nDeleted: %3\nLeft as they were: %4")
                       .arg(s.added)
                       .arg(s.changed)
                       .arg(s.deleted)
                       .arg(s.unchanged);
    if (!s.conflicts.empty())
        text += QStringLiteral("\nChanged on the server, not overwritten: %1").arg(s.conflicts.size());
    if (s.cancelled)
        text += QStringLiteral("\nThe publish was cancelled; the next publish sends the rest.");
    else if (!s.error.isEmpty())
        text += QStringLiteral("\nThe publish stopped: %1\nThe next publish sends the rest.").arg(s.error);
    return text;
}

QString publishConflictQuestion(const std::vector<PublishConflict>& conflicts)
{
    QString text = QStringLiteral("These entries were changed on the server since the last publish:\n");
    int shown = 0;
    for (const PublishConflict& c : conflicts) {
        if (++shown > 15) {
            text += QStringLiteral("... and %1 more\n").arg(conflicts.size() - 15);
            break;
        }
        text += QStringLiteral("  %1%2\n").arg(c.summary.isEmpty() ? c.uid : c.summary,
                                               c.inPlan ? QString() : QStringLiteral(" (gone from the plan)"));
    }
    return text + QStringLiteral("\nYes: overwrite them with the plan's records.\n"
                                 "No: import the server's versions as new records.\n"
                                 "Cancel: leave them as they are.");
}

QByteArray takeServerVersions(PublishState& state, const std::vector<PublishConflict>& conflicts)
{
    std::vector<QByteArray> texts;
    for (const PublishConflict& c : conflicts) {
        if (c.serverText.isEmpty())
            continue;
        texts.push_back(c.serverText);
        PublishedEntry& e = state.entries[c.uid];
        e.href = c.href;
        e.etag = c.serverEtag;
        e.digest.clear(); // differs from every entry: the plan's version goes again
    }
    return mergedCalendar(texts, true);
}

// --- the run -----------------------------------------------------------------

struct CalendarPublish::Run {
    enum Kind { Create, Update, Remove, Check };
    struct Job {
        Kind kind;
        QString uid;
        QUrl url;
        QByteArray etag; // the If-Match condition
    };
    std::deque<Job> jobs;
    std::unordered_map<QString, const CalendarEntry*> byUid;
    std::vector<CalendarEntry> entries;
    // The sync report: ETags of what changed on the server, and what went.
    std::unordered_map<QString, QByteArray> serverEtags; // by path
    std::set<QString> serverGone;
    bool afterConflict = false; // the jobs overwrite conflicts: no new token
    PublishSummary summary;
    Done done;
    int total = 0;
    int finished = 0;
    bool stop = false;
};

CalendarPublish::CalendarPublish(DavConnection& connection, const QUrl& calendar, PublishState& state,
                                 std::function<bool()> saveState)
    : connection_(connection), calendar_(calendar), state_(state), saveState_(std::move(saveState))
{
}

CalendarPublish::~CalendarPublish()
{
    *alive_ = false;
    if (run_)
        run_->stop = true;
    connection_.cancel();
}

bool CalendarPublish::running() const
{
    return run_ != nullptr;
}

void CalendarPublish::cancel()
{
    if (!run_)
        return;
    run_->stop = true;
    run_->summary.cancelled = true;
    connection_.cancel();
}


std::shared_ptr<CalendarPublish::Run> CalendarPublish::startRun(std::vector<CalendarEntry> entries, Done done)
{
    auto run = std::make_shared<Run>();
    run_ = run;
    run->entries = std::move(entries);
    for (const CalendarEntry& e : run->entries)
        run->byUid[e.uid] = &e;
    run->done = std::move(done);
    return run;
}

void CalendarPublish::publish(std::vector<CalendarEntry> entries, Done done)
{
    auto run = startRun(std::move(entries), std::move(done));
    if (state_.calendarUrl != calendar_.toString()) {
        state_ = PublishState();
        state_.calendarUrl = calendar_.toString();
    }
    pendingToken_.clear();
    ask(run, state_.syncToken);
}

// What changed on the server since the last publish: its sync report.
void CalendarPublish::ask(const std::shared_ptr<Run>& run, const QByteArray& token)
{
    const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                            "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>"
                            + QString::fromUtf8(token).toHtmlEscaped().toUtf8()
                            + "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop>"
                              "</d:sync-collection>";
    connection_.send("REPORT", calendar_, {{"Depth", "1"}}, body,
                     [this, alive = alive_, run, token](const HttpReply& reply) {
        if (!*alive)
            return;
        ++run->summary.requests;
        if (run->stop)
            return finish(run);
        if ((reply.status == 403 || reply.status == 409 || reply.status == 412) && !token.isEmpty())
            return ask(run, QByteArray()); // the server forgot the token: the whole listing
        if (reply.status == 207) {
            const DavMultiStatus ms = readMultiStatus(reply.body);
            if (!ms.readable) {
                run->summary.error = QStringLiteral("The server's answer could not be read as WebDAV.");
                return finish(run);
            }
            pendingToken_ = ms.syncToken;
            for (const DavResource& r : ms.resources) {
                const QString path = pathKey(resolvedHref(calendar_, r.href));
                if (r.status == 404)
                    run->serverGone.insert(path);
                else
                    run->serverEtags[path] = r.etag;
            }
        } else if (reply.status == 0 || reply.status == 401 || reply.status == 404 || reply.status / 100 == 5
                   || reply.status / 100 == 3) {
            run->summary.error = reply.status / 100 == 3 && !reply.error.isEmpty() ? reply.error : serverProblem(reply);
            run->summary.refusedCertificate = reply.refusedCertificate;
            run->summary.redirectedTo = reply.redirectedTo;
            return finish(run);
        }
        // Any other answer: a server without sync; the ETag conditions
        // still keep its changes from being overwritten.
        plan(*run);
        next(run);
    });
}

void CalendarPublish::plan(Run& run)
{
    for (const CalendarEntry& e : run.entries) {
        const auto known = state_.entries.find(e.uid);
        if (known == state_.entries.end()) {
            run.jobs.push_back({Run::Create, e.uid, entryUrl(calendar_, e.uid), {}});
            continue;
        }
        const PublishedEntry& p = known->second;
        const QString path = pathKey(QUrl(p.href));
        const auto server = run.serverEtags.find(path);
        if (run.serverGone.count(path))
            run.jobs.push_back({Run::Create, e.uid, QUrl(p.href), {}});
        else if (p.digest != entryDigest(e.text))
            run.jobs.push_back({Run::Update, e.uid, QUrl(p.href), p.etag});
        else if (server != run.serverEtags.end() && server->second != p.etag)
            run.jobs.push_back({Run::Check, e.uid, QUrl(p.href), p.etag});
        else
            ++run.summary.unchanged;
    }
    for (auto it = state_.entries.begin(); it != state_.entries.end();) {
        if (run.byUid.count(it->first)) {
            ++it;
        } else if (run.serverGone.count(pathKey(QUrl(it->second.href)))) {
            it = state_.entries.erase(it); // gone on both sides
        } else {
            run.jobs.push_back({Run::Remove, it->first, QUrl(it->second.href), it->second.etag});
            ++it;
        }
    }
    run.total = int(run.jobs.size());
}

void CalendarPublish::next(const std::shared_ptr<Run>& run)
{
    if (run->stop || run->jobs.empty())
        return finish(run);
    send(run);
}

void CalendarPublish::send(const std::shared_ptr<Run>& run)
{
    const Run::Job& job = run->jobs.front();
    QList<QPair<QByteArray, QByteArray>> headers;
    if (job.kind == Run::Create)
        headers.append({QByteArray("If-None-Match"), QByteArray("*")});
    else if (!job.etag.isEmpty())
        headers.append({QByteArray("If-Match"), job.etag});
    const bool put = job.kind == Run::Create || job.kind == Run::Update;
    const QByteArray method = put ? "PUT" : job.kind == Run::Remove ? "DELETE" : "GET";
    const QByteArray body = put ? run->byUid.at(job.uid)->text : QByteArray();
    if (job.kind == Run::Check)
        headers.clear();
    connection_.send(method, job.url, headers, body, [this, alive = alive_, run](const HttpReply& reply) {
        if (*alive)
            answered(run, reply);
    });
}

void CalendarPublish::answered(const std::shared_ptr<Run>& run, const HttpReply& reply)
{
    ++run->summary.requests;
    if (reply.cancelled || (run->stop && reply.status == 0))
        return finish(run);
    const Run::Job job = run->jobs.front();
    if (job.kind == Run::Check)
        return compare(run, reply);
    if (reply.status == 412) {
        // Changed on the server: what is there now decides.
        connection_.send("GET", job.url, {}, {}, [this, alive = alive_, run](const HttpReply& got) {
            if (*alive)
                compare(run, got);
        });
        return;
    }
    const bool gone = job.kind == Run::Remove && reply.status == 404;
    if (reply.status / 100 != 2 && !gone) {
        run->summary.error = serverProblem(reply);
        run->summary.refusedCertificate = reply.refusedCertificate;
        return finish(run);
    }
    if (job.kind == Run::Remove) {
        state_.entries.erase(job.uid);
        ++run->summary.deleted;
    } else {
        const QByteArray& text = run->byUid.at(job.uid)->text;
        state_.entries[job.uid] = {job.url.toString(), reply.header("ETag"), entryDigest(text)};
        ++(job.kind == Run::Create ? run->summary.added : run->summary.changed);
    }
    run->jobs.pop_front();
    if (++run->finished % kSaveEvery == 0)
        saveState_();
    if (progress)
        progress(run->finished, run->total);
    next(run);
}

// `got` is the server's entry of the job at the front (GET): the same as
// the plan's, it is taken as published; else it is a conflict.
void CalendarPublish::compare(const std::shared_ptr<Run>& run, const HttpReply& got)
{
    if (got.cancelled || (run->stop && got.status == 0))
        return finish(run);
    Run::Job job = run->jobs.front();
    const auto local = run->byUid.find(job.uid);
    const bool inPlan = local != run->byUid.end();
    if (got.status == 404) {
        run->jobs.pop_front();
        if (inPlan) {
            run->jobs.push_front({Run::Create, job.uid, job.url, {}});
        } else {
            state_.entries.erase(job.uid);
            ++run->summary.deleted;
        }
        return next(run);
    }
    if (got.status / 100 != 2) {
        run->summary.error = serverProblem(got);
        return finish(run);
    }
    run->jobs.pop_front();
    ++run->finished;
    if (inPlan && sameRecord(got.body, local->second->text)) {
        state_.entries[job.uid] = {job.url.toString(), got.header("ETag"), entryDigest(local->second->text)};
        ++run->summary.unchanged;
    } else {
        const QString summary = summaryOf(got.body);
        run->summary.conflicts.push_back({job.uid, summary.isEmpty() && inPlan ? summaryOf(local->second->text) : summary,
                                          job.url.toString(), got.header("ETag"), got.body, inPlan});
    }
    if (progress)
        progress(run->finished, run->total);
    next(run);
}

void CalendarPublish::finish(const std::shared_ptr<Run>& run)
{
    if (run_ != run)
        return;
    run_.reset();
    // A new sync token only once everything it lists was dealt with: until
    // then the next publish must see the same changes again.
    if (run->summary.ok() && run->summary.conflicts.empty() && !pendingToken_.isEmpty())
        state_.syncToken = pendingToken_;
    if (!saveState_() && run->summary.error.isEmpty())
        run->summary.error = QStringLiteral("The planner's record of what it published could not be written.");
    if (run->done)
        run->done(run->summary);
}

void CalendarPublish::overwrite(const std::vector<PublishConflict>& conflicts, std::vector<CalendarEntry> entries,
                                Done done)
{
    auto run = startRun(std::move(entries), std::move(done));
    for (const PublishConflict& c : conflicts) {
        const bool inPlan = run->byUid.count(c.uid) > 0;
        const Run::Kind kind = !inPlan ? Run::Remove : c.serverEtag.isEmpty() ? Run::Create : Run::Update;
        run->jobs.push_back({kind, c.uid, QUrl(c.href), c.serverEtag});
    }
    run->total = int(run->jobs.size());
    next(run);
}

} // namespace zp
