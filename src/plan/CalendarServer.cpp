#include "plan/CalendarServer.h"

#include <QXmlStreamReader>

namespace zp {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");
constexpr int kMaxRedirects = 5;

int statusOfLine(const QString& line)
{
    // "HTTP/1.1 404 Not Found"
    const QStringList parts = line.simplified().split(QLatin1Char(' '));
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

// The text of the <href> inside the current element, which is then read.
QString hrefInside(QXmlStreamReader& xml)
{
    QString href;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("href") && xml.namespaceUri() == kDav)
            href = xml.readElementText().trimmed();
        else
            xml.skipCurrentElement();
    }
    return href;
}

void readProp(QXmlStreamReader& xml, DavResource& r)
{
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        const bool dav = xml.namespaceUri() == kDav;
        const bool caldav = xml.namespaceUri() == kCalDav;
        if (dav && name == QLatin1String("getetag")) {
            r.etag = xml.readElementText().trimmed().toUtf8();
        } else if (dav && name == QLatin1String("displayname")) {
            r.displayName = xml.readElementText().trimmed();
        } else if (dav && name == QLatin1String("resourcetype")) {
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("calendar") && xml.namespaceUri() == kCalDav)
                    r.isCalendar = true;
                if (xml.name() == QLatin1String("collection") && xml.namespaceUri() == kDav)
                    r.isCollection = true;
                xml.skipCurrentElement();
            }
        } else if (dav && name == QLatin1String("current-user-principal")) {
            r.principal = hrefInside(xml);
        } else if (caldav && name == QLatin1String("calendar-home-set")) {
            r.calendarHome = hrefInside(xml);
        } else if (caldav && name == QLatin1String("calendar-data")) {
            r.calendarData = xml.readElementText().toUtf8();
        } else {
            xml.skipCurrentElement();
        }
    }
}

DavResource readResponse(QXmlStreamReader& xml)
{
    DavResource r;
    bool anyFound = false;
    int responseStatus = 0;
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() != kDav) {
            xml.skipCurrentElement();
        } else if (xml.name() == QLatin1String("href")) {
            r.href = xml.readElementText().trimmed();
        } else if (xml.name() == QLatin1String("status")) {
            responseStatus = statusOfLine(xml.readElementText());
        } else if (xml.name() == QLatin1String("propstat")) {
            DavResource found;
            int status = 0;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("prop"))
                    readProp(xml, found);
                else if (xml.name() == QLatin1String("status"))
                    status = statusOfLine(xml.readElementText());
                else
                    xml.skipCurrentElement();
            }
            // Only the properties the server has: a 404 propstat names
            // those it lacks.
            if (status / 100 == 2) {
                anyFound = true;
                found.href = r.href;
                r = found;
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    r.status = responseStatus ? responseStatus : anyFound ? 200 : 404;
    return r;
}

QByteArray propfindBody(const char* props)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                      "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:prop>")
           + props + "</d:prop></d:propfind>";
}

QByteArray basicAuthorization(const CalendarServerAccount& a)
{
    return "Basic " + (a.user + QLatin1Char(':') + a.password).toUtf8().toBase64();
}

} // namespace

DavMultiStatus readMultiStatus(const QByteArray& text)
{
    DavMultiStatus result;
    QXmlStreamReader xml(text);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("multistatus") || xml.namespaceUri() != kDav)
        return result;
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() == kDav && xml.name() == QLatin1String("response"))
            result.resources.push_back(readResponse(xml));
        else if (xml.namespaceUri() == kDav && xml.name() == QLatin1String("sync-token"))
            result.syncToken = xml.readElementText().trimmed().toUtf8();
        else
            xml.skipCurrentElement();
    }
    result.readable = !xml.hasError();
    if (!result.readable)
        result.resources.clear();
    return result;
}

QString serverProblem(const HttpReply& reply)
{
    if (reply.status / 100 == 2)
        return {};
    if (reply.cancelled)
        return QStringLiteral("Cancelled.");
    switch (reply.status) {
    case 0: return QStringLiteral("The server could not be reached: %1").arg(reply.error);
    case 401: return QStringLiteral("The server refused the user name or password (401).");
    case 403: return QStringLiteral("The server refused access (403).");
    case 404: return QStringLiteral("There is nothing at that address on the server (404).");
    case 405: return QStringLiteral("The address is not a calendar (405).");
    case 412: return QStringLiteral("The entry changed on the server meanwhile (412).");
    case 507: return QStringLiteral("The server has no room left for the calendar (507, quota).");
    default: break;
    }
    if (reply.status / 100 == 3)
        return QStringLiteral("The server sent the request elsewhere (%1).").arg(reply.status);
    return QStringLiteral("The server answered %1.").arg(reply.status);
}

QString calendarPasswordKey(const QUrl& url, const QString& user)
{
    return QStringLiteral("caldav:%1@%2").arg(user, url.host() + (url.port() > 0 ? QStringLiteral(":%1").arg(url.port()) : QString()));
}

QUrl resolvedHref(const QUrl& base, const QString& path)
{
    return base.resolved(QUrl::fromEncoded(path.toUtf8()));
}

// --- connection --------------------------------------------------------------

DavConnection::DavConnection(HttpService& http, CalendarServerAccount account)
    : http_(http), account_(std::move(account)), alive_(std::make_shared<bool>(true))
{
}

DavConnection::~DavConnection()
{
    *alive_ = false;
    cancel();
}

void DavConnection::send(const QByteArray& method, const QUrl& url, QList<QPair<QByteArray, QByteArray>> headers,
                         const QByteArray& body, HttpService::Done done)
{
    headers.append({"Authorization", basicAuthorization(account_)});
    if (!body.isEmpty())
        headers.append({"Content-Type", method == "PUT" ? QByteArray("text/calendar; charset=utf-8")
                                                        : QByteArray("application/xml; charset=utf-8")});
    sendHop({method, url, headers, body}, std::move(done), 0);
}

void DavConnection::sendHop(HttpRequest request, HttpService::Done done, int hops)
{
    ++sent_;
    running_ = http_.send(request, [this, alive = alive_, request, done = std::move(done), hops](const HttpReply& reply) {
        if (!*alive)
            return;
        running_ = 0;
        if (reply.status / 100 == 3 && hops < kMaxRedirects) {
            const QUrl to = request.url.resolved(QUrl::fromEncoded(reply.header("Location")));
            if (to.isValid() && to.host().compare(request.url.host(), Qt::CaseInsensitive) == 0
                && to.port() == request.url.port() && to.scheme() == request.url.scheme()) {
                HttpRequest next = request;
                next.url = to;
                sendHop(next, done, hops + 1);
                return;
            }
            HttpReply refused = reply;
            refused.redirectedTo = to;
            refused.error = QStringLiteral("the server sent the request on to %1, which the planner does not follow: "
                                           "enter that address if it is right")
                                .arg(to.toDisplayString());
            done(refused);
            return;
        }
        done(reply);
    });
}

void DavConnection::cancel()
{
    if (running_) {
        const quint64 id = running_;
        running_ = 0;
        http_.cancel(id);
    }
}

// --- discovery -------------------------------------------------------------

namespace {

struct Discovery {
    DavConnection& connection;
    std::function<void(const CalendarDiscovery&)> done;
    CalendarDiscovery result;

    void fail(const HttpReply& reply, const QString& fallback = QString())
    {
        result.error = reply.status / 100 == 2 ? fallback : serverProblem(reply);
        if (reply.status / 100 == 3 && !reply.error.isEmpty())
            result.error = QStringLiteral("The server sent the request on: %1.").arg(reply.error);
        result.refusedCertificate = reply.refusedCertificate;
        done(result);
    }
};

const char* kCollectionProps = "<d:resourcetype/><d:displayname/><d:current-user-principal/><c:calendar-home-set/>";
const QString kNotCalendar = QStringLiteral("The address is not a calendar, and the server named no calendars for the user.");
const QString kGarbage = QStringLiteral("The server's answer could not be read as WebDAV.");

void listHome(std::shared_ptr<Discovery> d, const QUrl& home)
{
    d->connection.send("PROPFIND", home, {{"Depth", "1"}}, propfindBody(kCollectionProps), [d, home](const HttpReply& reply) {
        if (reply.status != 207)
            return d->fail(reply, kNotCalendar);
        const DavMultiStatus ms = readMultiStatus(reply.body);
        if (!ms.readable)
            return d->fail(reply, kGarbage);
        for (const DavResource& r : ms.resources)
            if (r.isCalendar)
                d->result.calendars.push_back({resolvedHref(home, r.href), r.displayName});
        if (d->result.calendars.empty())
            return d->fail(reply, QStringLiteral("The server has no calendars for this user."));
        d->done(d->result);
    });
}

void askPrincipal(std::shared_ptr<Discovery> d, const QUrl& principal)
{
    d->connection.send("PROPFIND", principal, {{"Depth", "0"}}, propfindBody(kCollectionProps),
                       [d, principal](const HttpReply& reply) {
                           const DavMultiStatus ms = readMultiStatus(reply.body);
                           if (reply.status != 207 || ms.resources.empty() || ms.resources.front().calendarHome.isEmpty())
                               return d->fail(reply, reply.status == 207 && !ms.readable ? kGarbage : kNotCalendar);
                           listHome(d, resolvedHref(principal, ms.resources.front().calendarHome));
                       });
}

} // namespace

void discoverCalendars(DavConnection& connection, std::function<void(const CalendarDiscovery&)> done)
{
    auto d = std::make_shared<Discovery>(Discovery{connection, std::move(done), {}});
    const QUrl url = connection.account().url;
    connection.send("PROPFIND", url, {{"Depth", "0"}}, propfindBody(kCollectionProps), [d, url](const HttpReply& reply) {
        if (reply.status != 207)
            return d->fail(reply, kNotCalendar);
        const DavMultiStatus ms = readMultiStatus(reply.body);
        if (!ms.readable || ms.resources.empty())
            return d->fail(reply, kGarbage);
        const DavResource& r = ms.resources.front();
        if (r.isCalendar) {
            d->result.urlIsCalendar = true;
            d->result.calendars.push_back({url, r.displayName});
            return d->done(d->result);
        }
        if (!r.calendarHome.isEmpty())
            return listHome(d, resolvedHref(url, r.calendarHome));
        if (!r.principal.isEmpty())
            return askPrincipal(d, resolvedHref(url, r.principal));
        d->fail(reply, kNotCalendar);
    });
}

QString discoveryReport(const CalendarDiscovery& discovery)
{
    if (!discovery.error.isEmpty())
        return discovery.error;
    if (discovery.urlIsCalendar) {
        const QString name = discovery.calendars.front().name;
        return name.isEmpty() ? QStringLiteral("The server answered: this is a calendar.")
                              : QStringLiteral("The server answered: this is the calendar \"%1\".").arg(name);
    }
    const auto n = discovery.calendars.size();
    return n == 1 ? QStringLiteral("The server answered: the user has 1 calendar.")
                  : QStringLiteral("The server answered: the user has %1 calendars.").arg(n);
}

// --- fetching events ---------------------------------------------------------

QByteArray mergedCalendar(const std::vector<QByteArray>& texts, bool dropUids)
{
    QByteArray out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Zorvik//Zorvik Planner//EN\r\n";
    for (const QByteArray& text : texts) {
        // Unfolded lines are not needed: the components are copied whole,
        // from the first BEGIN inside the calendar to its END.
        QByteArray body = text;
        body.replace("\r\n", "\n");
        const QList<QByteArray> lines = body.split('\n');
        int depth = 0;
        bool skippingUid = false;
        for (const QByteArray& line : lines) {
            if (skippingUid && (line.startsWith(' ') || line.startsWith('\t')))
                continue;
            skippingUid = false;
            if (line.startsWith("BEGIN:")) {
                ++depth;
                if (depth == 1)
                    continue;
            } else if (line.startsWith("END:")) {
                --depth;
                if (depth == 0)
                    continue;
            }
            if (depth < 1 || (depth == 1 && !line.startsWith("BEGIN:") && !line.startsWith("END:")))
                continue; // the calendar's own properties (VERSION, PRODID ...)
            if (dropUids && line.startsWith("UID")) {
                skippingUid = true;
                continue;
            }
            out += line + "\r\n";
        }
    }
    out += "END:VCALENDAR\r\n";
    return out;
}

void fetchCalendarSpan(DavConnection& connection, const QUrl& calendar, const QDate& from, const QDate& to,
                       std::function<void(const FetchedCalendar&)> done)
{
    const QByteArray start = from.toString(u"yyyyMMdd").toLatin1() + "T000000Z";
    const QByteArray end = to.toString(u"yyyyMMdd").toLatin1() + "T000000Z";
    const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                            "<c:calendar-query xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
                            "<d:prop><d:getetag/><c:calendar-data/></d:prop>"
                            "<c:filter><c:comp-filter name=\"VCALENDAR\"><c:comp-filter name=\"VEVENT\">"
                            "<c:time-range start=\"" + start + "\" end=\"" + end + "\"/>"
                            "</c:comp-filter></c:comp-filter></c:filter></c:calendar-query>";
    connection.send("REPORT", calendar, {{"Depth", "1"}}, body, [done = std::move(done)](const HttpReply& reply) {
        FetchedCalendar result;
        if (reply.status != 207) {
            result.error = reply.status / 100 == 2 ? QStringLiteral("The address is not a calendar.") : serverProblem(reply);
            result.refusedCertificate = reply.refusedCertificate;
            return done(result);
        }
        const DavMultiStatus ms = readMultiStatus(reply.body);
        if (!ms.readable) {
            result.error = kGarbage;
            return done(result);
        }
        std::vector<QByteArray> texts;
        for (const DavResource& r : ms.resources)
            if (!r.calendarData.isEmpty())
                texts.push_back(r.calendarData);
        result.events = int(texts.size());
        result.text = mergedCalendar(texts);
        done(result);
    });
}

} // namespace zp
