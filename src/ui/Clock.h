#pragma once
#include <QDate>
#include <QDateTime>

namespace zp {

// "Now" for the whole program; tests fix it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

} // namespace zp
