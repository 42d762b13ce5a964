#pragma once
#include "ui/HttpService.h"

#include <QHash>
#include <QObject>
#include <QSet>

class QNetworkAccessManager;
class QNetworkReply;

namespace zp {

// HttpService over one QNetworkAccessManager, which keeps a connection to
// each server open between requests (a publish sends thousands) and takes
// TLS from the system's OpenSSL and certificate store.
class QtHttp : public QObject, public HttpService {
    Q_OBJECT
public:
    explicit QtHttp(QObject* parent = nullptr);
    ~QtHttp() override;

    quint64 send(const HttpRequest& request, Done done) override;
    void cancel(quint64 id) override;
    void acceptCertificate(const QString& host, const QByteArray& digest) override;

private:
    QNetworkAccessManager* manager_;
    QHash<quint64, QNetworkReply*> running_;
    QSet<QPair<QString, QByteArray>> accepted_;
    quint64 next_ = 1;
};

} // namespace zp
