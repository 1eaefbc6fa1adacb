#pragma once

#include <array>
#include <string_view>

namespace kqvdr {

// The twelve fault dialogs. Vapour serves two fault kinds (solvent leak and sensor device).
enum class FaultDialogId {
    Gas,
    Nebuliser,
    Evaporator,
    Exhaust,
    Vapour,
    Lamp,
    Fan,
    Checksum,
    Pdt,
    OverTemperature,
    Pic,
    TransferLine,
};

inline constexpr int kFaultDialogCount = 12;
inline constexpr int kFaultKindCount = 13;

// One fault kind: its bit in the fault word (the order in which the poll examines them), the
// code written to the log while its dialog is open and the code kept as the last error once
// the operator has cleared it (they differ for "OT " and "TC "), its dialog and heading.
struct FaultKind {
    int index;
    std::string_view openCode;
    std::string_view clearedCode;
    std::string_view heading;
    FaultDialogId dialog;
    bool deviceError; // the vapour dialog shows its device variant
};

const std::array<FaultKind, kFaultKindCount>& faultKinds();

// The kind for a fault-word bit, nullptr for bits 13 to 15 and anything else out of range.
const FaultKind* faultKind(int index);

} // namespace kqvdr
