#pragma once

#include "Clock.h"

namespace kqvdr {

class SystemClock final : public Clock {
public:
    LocalTime now() const override;
};

} // namespace kqvdr
