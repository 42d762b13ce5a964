#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

namespace zp {

// A desktop notification as the planner sends it.
struct Notification {
    QString summary;
    QString body;
    // (key, label) pairs: the buttons the notification offers.
    std::vector<std::pair<QString, QString>> actions;
};

// The desktop's notification service (org.freedesktop.Notifications on
// the session bus). It may be missing, go away and come back while the
// planner runs; callers ask available() before each notification and fall
// back to a window of their own when it says no or notify() fails.
class NotificationService {
public:
    struct Handlers {
        // The user pressed the button `action` of notification `id`.
        std::function<void(unsigned id, const QString& action)> actionInvoked;
        // Notification `id` went away (dismissed, expired or replaced).
        std::function<void(unsigned id)> closed;
        // The service appeared on or left the bus.
        std::function<void(bool available)> availabilityChanged;
    };

    virtual ~NotificationService() = default;
    void setHandlers(Handlers handlers) { handlers_ = std::move(handlers); }

    virtual bool available() const = 0;
    // Shows a notification; its id, or 0 when none could be shown.
    virtual unsigned notify(const Notification& notification) = 0;
    virtual void close(unsigned id) = 0;

protected:
    Handlers handlers_;
};

} // namespace zp
