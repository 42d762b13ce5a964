#pragma once
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>
#include <functional>

namespace zp {

// One HTTP exchange, as the calendar server code needs it: WebDAV methods
// (PROPFIND, REPORT) included, every header under the caller's control.
struct HttpRequest {
    QByteArray method;
    QUrl url;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
};

struct HttpReply {
    HttpReply() = default;
    explicit HttpReply(int status, QList<QPair<QByteArray, QByteArray>> headers = {}, QByteArray body = {},
                       QString error = {})
        : status(status), headers(std::move(headers)), body(std::move(body)), error(std::move(error))
    {
    }
    // The server's status; 0 when no answer came (network failure,
    // refused certificate, cancel), `error` then says why.
    int status = 0;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    QString error;
    bool cancelled = false;
    // A certificate the connection refused: its SHA-256 digest, so the
    // user can accept that one certificate for that server.
    QByteArray refusedCertificate;
    // A redirect the caller did not follow (to another host): where to.
    QUrl redirectedTo;

    QByteArray header(const QByteArray& name) const
    {
        for (const auto& [key, value] : headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }
};

// Sends requests without waiting: the answer comes to `done` later, on the
// caller's thread, never from inside send(). Connections to a server are
// kept open between requests. Redirects are not followed: a 3xx comes
// back as it is, for the caller to judge where it leads.
class HttpService {
public:
    using Done = std::function<void(const HttpReply&)>;
    virtual ~HttpService() = default;
    // Returns an id for cancel().
    virtual quint64 send(const HttpRequest& request, Done done) = 0;
    // Drops a request under way; its `done` then hears cancelled, status 0.
    virtual void cancel(quint64 id) = 0;
    // Certificates the user accepted for a host (SHA-256 digests), though
    // they are self-signed or expired.
    virtual void acceptCertificate(const QString& host, const QByteArray& digest) = 0;
};

} // namespace zp
