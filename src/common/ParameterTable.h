#pragma once

#include <array>
#include <cstddef>

namespace kqvdr {

enum class ParameterIndex : std::size_t {
    Evaporator = 0,
    Nebuliser = 1,
    TransferLine = 2,
    GasFlow = 3,
    AutozeroOffset = 4,
    TimeConstant = 5,
    DeviceId = 6,
    OperatingMode = 7,
    Exhaust = 8,
    MethodNumber = 9,
    DetectorOutput = 10,
    VapourSensitivity = 11,
};

inline constexpr std::size_t kParameterCount = 12;

// One instrument parameter: its constant range, what the instrument reports as current
// (`measured`) and the setpoint it reports.
struct Parameter {
    int index = 0;
    int minimum = 0;
    int maximum = 0;
    int measured = 0;
    int setpoint = 0;
};

// The instrument's parameters as last reported. Temperatures and gas flow are held in the
// instrument's units (tenths, or hundredths of SLM for a fine gas-flow instrument).
class ParameterTable {
public:
    ParameterTable();

    Parameter& operator[](ParameterIndex index) {
        return entries_[static_cast<std::size_t>(index)];
    }
    const Parameter& operator[](ParameterIndex index) const {
        return entries_[static_cast<std::size_t>(index)];
    }

    int measured(ParameterIndex index) const { return (*this)[index].measured; }
    int setpoint(ParameterIndex index) const { return (*this)[index].setpoint; }

    const std::array<Parameter, kParameterCount>& entries() const { return entries_; }

private:
    std::array<Parameter, kParameterCount> entries_;
};

} // namespace kqvdr
