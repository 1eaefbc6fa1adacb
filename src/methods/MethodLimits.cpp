#include "MethodLimits.h"

namespace kqvdr {

std::optional<std::string> setpointOutOfRange(const MethodRecord& record, bool fineGasResolution) {
    struct Check {
        const char* name;
        int value;
        SetpointRange range;
    };
    const Check checks[] = {
        {"evaporator temperature", record.evaporatorTemp, kEvaporatorRange},
        {"nebuliser temperature", record.nebuliserTemp, kNebuliserRange},
        {"transfer line temperature", record.transferLineTemp, kTransferLineRange},
        {"gas flow", record.gasFlow, gasFlowRange(fineGasResolution)},
        {"autozero offset", record.autozeroOffset, kAutozeroRange},
        {"time constant", record.timeConstant, kTimeConstantRange},
    };
    for (const Check& check : checks) {
        if (!check.range.contains(check.value)) {
            return std::string(check.name) + " " + std::to_string(check.value) + " is outside " +
                   std::to_string(check.range.minimum) + " to " +
                   std::to_string(check.range.maximum);
        }
    }
    return std::nullopt;
}

} // namespace kqvdr
