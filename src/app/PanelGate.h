#pragma once

namespace kqvdr {

// Whether the panel's instrument actions may happen now. The frame's commands ask before they
// act; a refusal has been explained to the person already.
class PanelGate {
public:
    virtual ~PanelGate() = default;
    virtual bool refuses() = 0;
};

} // namespace kqvdr
