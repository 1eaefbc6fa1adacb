#include "ParameterTable.h"

namespace kqvdr {
namespace {

struct Range {
    int minimum;
    int maximum;
};

// Ranges in the operator's units: °C, tenths of SLM, mV, seconds, codes.
constexpr std::array<Range, kParameterCount> kRanges = {{
    {30, 300},       // evaporator
    {30, 220},       // nebuliser
    {30, 220},       // transfer line
    {1, 20},         // gas flow
    {0, 10},         // autozero offset
    {0, 3},          // time constant
    {0, 127},        // device identification
    {0, 3},          // operating mode (4, error, is reported only)
    {30, 250},       // exhaust
    {1, 10},         // method number
    {-32768, 32767}, // detector output: whatever a 16-bit word holds
    {0, 10},         // vapour sensitivity
}};

// Until the instrument reports its vapour sensitivity it is taken as the top of the scale.
constexpr int kInitialVapourSensitivity = 10;

} // namespace

ParameterTable::ParameterTable() {
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        entries_[i] = {static_cast<int>(i), kRanges[i].minimum, kRanges[i].maximum, 0, 0};
    }
    (*this)[ParameterIndex::VapourSensitivity].measured = kInitialVapourSensitivity;
}

} // namespace kqvdr
