#include "ui/DBusNotifications.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>

namespace zp {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// A daemon that is there answers at once; one that is being started by the
// bus gets this long before the alarm falls back to a window.
constexpr int kCallTimeoutMsecs = 5000;

// The picture as the "image-data" hint carries it: (iiibiiay).
QVariant imageData(const QImage& icon)
{
    const QImage image = icon.convertToFormat(QImage::Format_RGBA8888);
    QDBusArgument arg;
    arg.beginStructure();
    arg << image.width() << image.height() << static_cast<int>(image.bytesPerLine()) << true << 8 << 4
        << QByteArray(reinterpret_cast<const char*>(image.constBits()), static_cast<int>(image.sizeInBytes()));
    arg.endStructure();
    return QVariant::fromValue(arg);
}

} // namespace

DBusNotifications::DBusNotifications(const QString& appName, const QString& iconName, const QImage& icon,
                                     const QDBusConnection& connection, QObject* parent)
    : QObject(parent), connection_(connection), appName_(appName), iconName_(iconName), icon_(icon)
{
    if (!connection_.isConnected())
        return;
    connection_.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                        SLOT(onActionInvoked(uint, QString)));
    connection_.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                        SLOT(onNotificationClosed(uint, uint)));
    watcher_ = new QDBusServiceWatcher(kService, connection_,
                                       QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration,
                                       this);
    connect(watcher_, &QDBusServiceWatcher::serviceRegistered, this, [this] { setAvailable(true); });
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, [this] { setAvailable(activatable()); });
    QDBusConnectionInterface* bus = connection_.interface();
    available_ = (bus && bus->isServiceRegistered(kService).value()) || activatable();
}

DBusNotifications::~DBusNotifications() = default;

bool DBusNotifications::activatable() const
{
    // The bus starts a daemon that names itself for the service on the
    // first call.
    QDBusConnectionInterface* bus = connection_.interface();
    return bus && bus->activatableServiceNames().value().contains(kService);
}

bool DBusNotifications::readsMarkup()
{
    if (!markupKnown_) {
        const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"));
        const QDBusReply<QStringList> reply = connection_.call(call, QDBus::Block, kCallTimeoutMsecs);
        if (!reply.isValid())
            return false;
        markup_ = reply.value().contains(QStringLiteral("body-markup"));
        markupKnown_ = true;
    }
    return markup_;
}

void DBusNotifications::setAvailable(bool available)
{
    // Another daemon may read the body otherwise.
    markupKnown_ = false;
    if (available == available_)
        return;
    available_ = available;
    if (handlers_.availabilityChanged)
        handlers_.availabilityChanged(available);
}

bool DBusNotifications::available() const
{
    return available_;
}

unsigned DBusNotifications::notify(const Notification& n)
{
    if (!available_)
        return 0;
    QStringList actions;
    for (const auto& [key, label] : n.actions)
        actions << key << label;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), iconName_);
    if (!icon_.isNull())
        hints.insert(QStringLiteral("image-data"), imageData(icon_));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // A daemon that reads the body as markup must show a record's "<" or
    // "&" as typed.
    const QString body = readsMarkup() ? n.body.toHtmlEscaped() : n.body;
    // An alarm stays until the user dismisses it: it may be due while nobody looks.
    call << appName_ << 0u << iconName_ << n.summary << body << actions << hints << 0;
    const QDBusReply<uint> reply = connection_.call(call, QDBus::Block, kCallTimeoutMsecs);
    if (!reply.isValid())
        return 0;
    return reply.value();
}

void DBusNotifications::close(unsigned id)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
    call << static_cast<uint>(id);
    connection_.call(call, QDBus::NoBlock);
}

void DBusNotifications::onActionInvoked(uint id, const QString& action)
{
    if (handlers_.actionInvoked)
        handlers_.actionInvoked(id, action);
}

void DBusNotifications::onNotificationClosed(uint id, uint)
{
    if (handlers_.closed)
        handlers_.closed(id);
}

} // namespace zp
