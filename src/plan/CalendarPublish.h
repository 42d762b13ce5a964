#pragma once
#include "plan/Calendar.h"
#include "plan/CalendarServer.h"

#include <map>

namespace zp {

// Publishing a plan to a server calendar: the calendar mirrors the plan,
// one resource per record under the record's calendar UID. What was put
// there is remembered in a state file of its own per plan (UID -> where,
// ETag, and a digest of what was sent; the collection's sync token), so a
// publish sends only what changed, deletes only what it put there, and
// never overwrites unasked what someone changed on the server since.

struct PublishedEntry {
    QString href; // the resource's full URL
    QByteArray etag;
    QByteArray digest; // of the entry as sent, without its time stamp
};
struct PublishState {
    QString calendarUrl; // the entries are of this calendar
    QByteArray syncToken;
    std::map<QString, PublishedEntry> entries; // by UID
};

// A missing file is an empty state; false when the file is there but
// unreadable (it is then ignored: every entry goes again, conditionally).
bool readPublishState(const QString& path, PublishState& state);
// Through a temporary file and a rename, so a crash leaves the old state.
bool writePublishState(const QString& path, const PublishState& state);

// Digest of an entry's text, its DTSTAMP line left out: a publish must not
// count the time stamp as a change.
QByteArray entryDigest(const QByteArray& text);

// An entry changed on the server since the last publish (or there before
// the planner put it there), which the publish would overwrite or delete.
struct PublishConflict {
    QString uid;
    QString summary;       // the server's, else the plan's
    QString href;
    QByteArray serverEtag; // empty when the server no longer has it
    QByteArray serverText;
    bool inPlan = true; // false: the record is gone from the plan
};

struct PublishSummary {
    int added = 0;
    int changed = 0;
    int deleted = 0;
    int unchanged = 0;
    std::vector<PublishConflict> conflicts;
    QString error; // the request that failed, and why
    bool cancelled = false;
    QByteArray refusedCertificate;
    QUrl redirectedTo; // the server sent the publish on to another host
    int requests = 0;
    bool ok() const { return error.isEmpty() && !cancelled; }
};
// "Added: 2 / Changed: 1 / Deleted: 0 / Left as they were: 40" and what
// stopped a publish.
QString publishSummaryText(const PublishSummary& summary);
// The question of what to do with the conflicts.
QString publishConflictQuestion(const std::vector<PublishConflict>& conflicts);

class CalendarPublish {
public:
    using Done = std::function<void(const PublishSummary&)>;
    // `saveState` writes `state` (now and then during a long publish, and
    // at its end), so an interrupted publish leaves a state the next one
    // finishes from.
    CalendarPublish(DavConnection& connection, const QUrl& calendar, PublishState& state,
                    std::function<bool()> saveState);
    ~CalendarPublish();

    // Sends what changed since the last publish. `done` comes once.
    void publish(std::vector<CalendarEntry> entries, Done done);
    // Puts the plan's entries in place of the conflicts' server entries
    // (deletes those whose records are gone), still only if they did not
    // change again.
    void overwrite(const std::vector<PublishConflict>& conflicts, std::vector<CalendarEntry> entries, Done done);
    // Stops after the request under way; the state keeps what was sent.
    void cancel();
    bool running() const;

    // After each answer: how many of the requests were done, of how many.
    std::function<void(int done, int total)> progress;

private:
    struct Run;
    // A new run over these entries, the one now going on.
    std::shared_ptr<Run> startRun(std::vector<CalendarEntry> entries, Done done);
    void ask(const std::shared_ptr<Run>& run, const QByteArray& token);
    void plan(Run& run);
    void next(const std::shared_ptr<Run>& run);
    void send(const std::shared_ptr<Run>& run);
    void answered(const std::shared_ptr<Run>& run, const HttpReply& reply);
    void compare(const std::shared_ptr<Run>& run, const HttpReply& reply);
    void finish(const std::shared_ptr<Run>& run);

    std::shared_ptr<Run> run_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    DavConnection& connection_;
    QUrl calendar_;
    PublishState& state_;
    std::function<bool()> saveState_;
    QByteArray pendingToken_;
};

// The server's versions of the conflicts as one calendar, without their
// UIDs, to import as new records; their entries are marked so the next
// publish puts the plan's version back in their place.
QByteArray takeServerVersions(PublishState& state, const std::vector<PublishConflict>& conflicts);

} // namespace zp
