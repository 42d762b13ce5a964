#pragma once
#include "ui/HttpService.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

namespace zp {

// Talking to a CalDAV calendar server (RFC 4791, WebDAV sync RFC 6578)
// through the HttpService seam: the requests, reading the servers'
// multistatus answers, finding the user's calendars and fetching events.
// Every call returns at once; its answer comes to a callback.

struct CalendarServerAccount {
    QUrl url; // a calendar, or the server, for discovery
    QString user;
    QString password;
};

// One <response> of a multistatus answer, with the properties the planner
// reads; a property the server did not have is left empty.
struct DavResource {
    QString href;     // as the server wrote it, percent-encoded path
    int status = 200; // of the response, or of its found properties
    QByteArray etag;
    QString displayName;
    bool isCalendar = false;
    bool isCollection = false;
    QString principal;    // current-user-principal
    QString calendarHome; // calendar-home-set
    QByteArray calendarData;
};
struct DavMultiStatus {
    bool readable = false;
    std::vector<DavResource> resources;
    QByteArray syncToken;
};
DavMultiStatus readMultiStatus(const QByteArray& xml);

// Why a request failed, in a sentence for the user; empty for a 2xx.
QString serverProblem(const HttpReply& reply);

// Sends requests for one account: the password as Basic authentication,
// redirects within the same server followed, a redirect to another host
// refused (and named) so the password never goes where the user did not
// point it. One request at a time can be cancelled.
class DavConnection {
public:
    DavConnection(HttpService& http, CalendarServerAccount account);
    ~DavConnection();
    const CalendarServerAccount& account() const { return account_; }

    void send(const QByteArray& method, const QUrl& url, QList<QPair<QByteArray, QByteArray>> headers,
              const QByteArray& body, HttpService::Done done);
    void cancel();
    int requestsSent() const { return sent_; }

private:
    void sendHop(HttpRequest request, HttpService::Done done, int hops);
    HttpService& http_;
    CalendarServerAccount account_;
    std::shared_ptr<bool> alive_;
    quint64 running_ = 0;
    int sent_ = 0;
};

struct ServerCalendar {
    QUrl url;
    QString name;
};
struct CalendarDiscovery {
    QString error; // empty when the server answered as a calendar server
    std::vector<ServerCalendar> calendars;
    bool urlIsCalendar = false; // the URL given is a calendar itself
    QByteArray refusedCertificate; // of a refused TLS connection
};

// The calendar at the account's URL, or the user's calendars found from
// there (current-user-principal, calendar-home-set, PROPFIND).
void discoverCalendars(DavConnection& connection, std::function<void(const CalendarDiscovery&)> done);

// What "Test" reports of a discovery.
QString discoveryReport(const CalendarDiscovery& discovery);

// The events of a server calendar in [from, to) (REPORT calendar-query with
// a time range), as one calendar text for the .ics import; `error` empty
// when the server answered.
struct FetchedCalendar {
    QString error;
    QByteArray refusedCertificate; // of a refused TLS connection
    QByteArray text;
    int events = 0;
};
void fetchCalendarSpan(DavConnection& connection, const QUrl& calendar, const QDate& from, const QDate& to,
                       std::function<void(const FetchedCalendar&)> done);

// The components of several calendar texts (one per server resource) in
// one calendar; with `dropUids` the UID lines go, so the import takes them
// as entries the plan has not seen.
QByteArray mergedCalendar(const std::vector<QByteArray>& texts, bool dropUids = false);

// The keyring's key for the password of a user on a server.
QString calendarPasswordKey(const QUrl& url, const QString& user);

// `path` resolved against the server of `base`.
QUrl resolvedHref(const QUrl& base, const QString& path);

} // namespace zp
