#include "ui/QtHttp.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslError>

namespace zp {

QtHttp::QtHttp(QObject* parent) : QObject(parent), manager_(new QNetworkAccessManager(this))
{
    // Where a redirect leads is the caller's question: another host may
    // not see the user's password unasked.
    manager_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

QtHttp::~QtHttp()
{
    for (QNetworkReply* reply : std::as_const(running_)) {
        reply->disconnect(this);
        reply->abort();
    }
}

void QtHttp::acceptCertificate(const QString& host, const QByteArray& digest)
{
    accepted_.insert({host.toLower(), digest});
}

quint64 QtHttp::send(const HttpRequest& request, Done done)
{
    QNetworkRequest r(request.url);
    for (const auto& [name, value] : request.headers)
        r.setRawHeader(name, value);
    // The server's own Content-Length and keep-alive, no cookies between plans.
    r.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    r.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    QNetworkReply* reply = request.body.isEmpty() && request.method != "PUT"
                               ? manager_->sendCustomRequest(r, request.method)
                               : manager_->sendCustomRequest(r, request.method, request.body);
    const quint64 id = next_++;
    running_.insert(id, reply);
    auto refused = std::make_shared<QPair<QString, QByteArray>>();
    connect(reply, &QNetworkReply::sslErrors, this, [this, reply, refused](const QList<QSslError>& errors) {
        const QSslCertificate certificate = reply->sslConfiguration().peerCertificate();
        const QByteArray digest = certificate.digest(QCryptographicHash::Sha256).toHex();
        if (accepted_.contains({reply->url().host().toLower(), digest})) {
            reply->ignoreSslErrors(errors);
            return;
        }
        QStringList reasons;
        for (const QSslError& e : errors)
            reasons << e.errorString();
        *refused = {reasons.join(QStringLiteral("; ")), digest};
    });
    connect(reply, &QNetworkReply::finished, this, [this, id, reply, refused, done = std::move(done)] {
        running_.remove(id);
        reply->deleteLater();
        HttpReply answer;
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        for (const auto& [name, value] : reply->rawHeaderPairs())
            answer.headers.append({name, value});
        answer.body = reply->readAll();
        answer.cancelled = reply->error() == QNetworkReply::OperationCanceledError;
        if (answer.status == 0) {
            answer.error = refused->first.isEmpty()
                               ? reply->errorString()
                               : QStringLiteral("the server's certificate was refused: %1").arg(refused->first);
            answer.refusedCertificate = refused->second;
        }
        done(answer);
    });
    return id;
}

void QtHttp::cancel(quint64 id)
{
    if (QNetworkReply* reply = running_.value(id))
        reply->abort();
}

} // namespace zp
