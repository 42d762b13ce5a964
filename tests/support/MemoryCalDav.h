#pragma once
// A calendar collection in memory that answers what a publish asks (sync
// REPORT, PUT, GET, DELETE with ETag conditions), for FakeHttp::server.
#include "ui/HttpService.h"

#include <QRegularExpression>
#include <QUrl>
#include <map>

namespace zp {

class MemoryCalDav {
public:
    struct Item {
        QByteArray text;
        QByteArray etag;
        int changedAt = 0; // the sync token's count when it last changed
    };
    QString collection = QStringLiteral("/alice/plan/");
    std::map<QString, Item> items;          // by path
    std::map<QString, int> removedAt;       // deleted paths
    int token = 1;
    // Makes the next answers fail with this status (0: network failure).
    std::optional<int> failWith;
    int failAfter = 0; // ... after this many more requests

    void put(const QString& path, const QByteArray& text)
    {
        ++token;
        items[path] = {text, QByteArray("\"e") + QByteArray::number(++etags_) + "\"", token};
        removedAt.erase(path);
    }

    HttpReply operator()(const HttpRequest& r)
    {
        if (failWith && failAfter-- <= 0)
            return HttpReply{*failWith, {}, {}, QStringLiteral("Connection refused")};
        const QString path = r.url.path(QUrl::FullyDecoded);
        const QByteArray ifMatch = header(r, "If-Match");
        const bool ifNoneMatch = header(r, "If-None-Match") == "*";
        const auto it = items.find(path);
        if (r.method == "REPORT")
            return report(r);
        if (r.method == "GET")
            return it == items.end() ? HttpReply{404} : HttpReply{200, {{"ETag", it->second.etag}}, it->second.text};
        if ((ifNoneMatch && it != items.end()) || (!ifMatch.isEmpty() && (it == items.end() || it->second.etag != ifMatch)))
            return HttpReply{412};
        if (r.method == "PUT") {
            const bool fresh = it == items.end();
            put(path, r.body);
            return HttpReply{fresh ? 201 : 204, {{"ETag", items[path].etag}}};
        }
        if (r.method == "DELETE") {
            if (it == items.end())
                return HttpReply{404};
            items.erase(it);
            removedAt[path] = ++token;
            return HttpReply{204};
        }
        return HttpReply{405};
    }

private:
    static QByteArray header(const HttpRequest& r, const QByteArray& name)
    {
        for (const auto& [k, v] : r.headers)
            if (k.compare(name, Qt::CaseInsensitive) == 0)
                return v;
        return {};
    }
    HttpReply report(const HttpRequest& r)
    {
        if (r.body.contains("calendar-query")) {
            QByteArray xml = "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">";
            for (const auto& [path, item] : items)
                xml += "<response><href>" + path.toUtf8() + "</href><propstat><prop><C:calendar-data>"
                       + QString::fromUtf8(item.text).toHtmlEscaped().toUtf8()
                       + "</C:calendar-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>";
            return HttpReply{207, {}, xml + "</multistatus>"};
        }
        const auto m = QRegularExpression(QStringLiteral("<d:sync-token>(.*)</d:sync-token>")).match(QString::fromUtf8(r.body));
        const QString given = m.captured(1);
        int since = 0;
        if (!given.isEmpty()) {
            if (!given.startsWith(QLatin1String("token-")))
                return HttpReply{403};
            since = given.mid(6).toInt();
        }
        QByteArray xml = "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\">";
        for (const auto& [path, item] : items)
            if (item.changedAt > since)
                xml += "<response><href>" + path.toUtf8() + "</href><propstat><prop><getetag>" + item.etag
                       + "</getetag></prop><status>HTTP/1.1 200 OK</status></propstat></response>";
        for (const auto& [path, at] : removedAt)
            if (at > since && since > 0)
                xml += "<response><href>" + path.toUtf8() + "</href><status>HTTP/1.1 404 Not Found</status></response>";
        xml += "<sync-token>token-" + QByteArray::number(token) + "</sync-token></multistatus>";
        return HttpReply{207, {}, xml};
    }
    int etags_ = 0;
};

} // namespace zp
