#pragma once
#include <QString>
#include <optional>

namespace zp {

// A whole number asked of the user, between `minimum` and `maximum`,
// starting at `value`.
struct NumberRequest {
    QString title;
    QString label;
    int value = 0;
    int minimum = 0;
    int maximum = 100;
};

// Cancel gives no value: callers treat it as "do nothing".
class NumberDialog {
public:
    virtual ~NumberDialog() = default;
    virtual std::optional<int> askNumber(const NumberRequest& request) = 0;
};

} // namespace zp
