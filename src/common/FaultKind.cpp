#include "FaultKind.h"

namespace kqvdr {

const std::array<FaultKind, kFaultKindCount>& faultKinds() {
    static constexpr std::array<FaultKind, kFaultKindCount> kinds{{
        {0, "GAS", "GAS", "GAS ERROR", FaultDialogId::Gas, false},
        {1, "NEB", "NEB", "NEBULISER TEMPERATURE", FaultDialogId::Nebuliser, false},
        {2, "EVP", "EVP", "EVAPORATOR TEMPERATURE", FaultDialogId::Evaporator, false},
        {3, "EXH", "EXH", "EXHAUST TEMPERATURE", FaultDialogId::Exhaust, false},
        {4, "VAP", "VAP", "VAPOUR ERROR", FaultDialogId::Vapour, false},
        {5, "LMP", "LMP", "LAMP ERROR", FaultDialogId::Lamp, false},
        {6, "FAN", "FAN", "FAN FAULT", FaultDialogId::Fan, false},
        {7, "CSM", "CSM", "CHECKSUM ERROR", FaultDialogId::Checksum, false},
        {8, "PDT", "PDT", "PDT ERROR", FaultDialogId::Pdt, false},
        {9, "OT ", "OT", "OVER TEMPERATURE ERROR", FaultDialogId::OverTemperature, false},
        {10, "PIC", "PIC", "PIC ERROR", FaultDialogId::Pic, false},
        {11, "TC ", "TC", "TRANSFER LINE ERROR", FaultDialogId::TransferLine, false},
        {12, "VDEV", "VDEV", "VAPOUR DEVICE ERROR", FaultDialogId::Vapour, true},
    }};
    return kinds;
}

const FaultKind* faultKind(int index) {
    if (index < 0 || index >= kFaultKindCount) {
        return nullptr;
    }
    return &faultKinds()[static_cast<std::size_t>(index)];
}

} // namespace kqvdr
