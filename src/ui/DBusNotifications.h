#pragma once
#include "ui/NotificationService.h"

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QString>

class QDBusServiceWatcher;

namespace zp {

// Notifications through org.freedesktop.Notifications on a D-Bus
// connection (the session bus unless told otherwise). A watcher on the
// service's name tells when a notification daemon leaves or arrives, so a
// daemon that restarts is used again without asking the bus on every alarm.
class DBusNotifications : public QObject, public NotificationService {
    Q_OBJECT
public:
    // `appName` and `iconName` are sent with every notification, `icon` as
    // its picture (a theme may not have the icon when the program is not
    // installed).
    DBusNotifications(const QString& appName, const QString& iconName, const QImage& icon,
                      const QDBusConnection& connection = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~DBusNotifications() override;

    bool available() const override;
    unsigned notify(const Notification& notification) override;
    void close(unsigned id) override;

private slots:
    void onActionInvoked(uint id, const QString& action);
    void onNotificationClosed(uint id, uint reason);

private:
    void setAvailable(bool available);
    bool activatable() const;
    bool readsMarkup();

    QDBusConnection connection_;
    QString appName_;
    QString iconName_;
    QImage icon_;
    QDBusServiceWatcher* watcher_ = nullptr;
    bool available_ = false;
    bool markupKnown_ = false;
    bool markup_ = false;
};

} // namespace zp
