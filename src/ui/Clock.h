#pragma once
#include <QDate>
#include <QDateTime>
#include <QTimeZone>

namespace zp {

// "Now" for the whole program; tests fix it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // The zone the computer's clock is set to (for telling where it is).
    virtual QTimeZone timeZone() const = 0;
    // Milliseconds on a clock that only runs forward and that nobody sets,
    // for throttles: how long since the last repaint, never what time it is.
    virtual qint64 steadyMsecs() const = 0;
    QDate today() const { return now().date(); }
};

} // namespace zp
