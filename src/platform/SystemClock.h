#pragma once
#include "platform/Clock.h"

namespace platform {

// The computer's clock, local time.
class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

} // namespace platform
