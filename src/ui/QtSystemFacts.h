#pragma once
// The Info page's facts as this computer gives them.

#include "ui/SystemFacts.h"
#include "ui/SystemServices.h"

namespace zp {

// hostSystemFacts() and the primary screen when a window system is there.
class QtSystemFacts : public SystemFactsSource {
public:
    SystemFacts systemFacts() const override;
};

} // namespace zp
