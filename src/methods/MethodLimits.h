#pragma once

#include "MethodRecord.h"

#include <optional>
#include <string>

namespace kqvdr {

struct SetpointRange {
    int minimum;
    int maximum;

    constexpr bool contains(int value) const { return value >= minimum && value <= maximum; }
};

inline constexpr SetpointRange kEvaporatorRange{30, 300};
inline constexpr SetpointRange kNebuliserRange{30, 220};
inline constexpr SetpointRange kTransferLineRange{30, 220};
inline constexpr SetpointRange kGasFlowTenthsRange{1, 20};
inline constexpr SetpointRange kGasFlowHundredthsRange{5, 100};
inline constexpr SetpointRange kAutozeroRange{0, 10};
inline constexpr SetpointRange kTimeConstantRange{0, 3};
inline constexpr SetpointRange kUserMethodRange{1, 10};

constexpr SetpointRange gasFlowRange(bool fineGasResolution) {
    return fineGasResolution ? kGasFlowHundredthsRange : kGasFlowTenthsRange;
}

// Names the first setpoint of the record that lies outside its range, with the value and the
// range, or nothing when all six are within.
std::optional<std::string> setpointOutOfRange(const MethodRecord& record, bool fineGasResolution);

} // namespace kqvdr
