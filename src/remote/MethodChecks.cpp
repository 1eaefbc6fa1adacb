#include "MethodChecks.h"

#include "MethodLimits.h"
#include "ServerName.h"

#include <cmath>
#include <cstdio>

namespace kqvdr::remote {
namespace {

std::string rangeText(std::int64_t minimum, std::int64_t maximum, const char* unit) {
    return std::to_string(minimum) + " to " + std::to_string(maximum) + unit;
}

} // namespace

Outcome checkUserMethodNumber(std::int64_t number, const std::string& parameter) {
    if (number < kUserMethodRange.minimum || number > kUserMethodRange.maximum) {
        return validationError(
            parameter, "The method number " + std::to_string(number) + " is outside " +
                           rangeText(kUserMethodRange.minimum, kUserMethodRange.maximum, "") + ".");
    }
    return std::nullopt;
}

std::variant<MethodRecord, SilaFailure>
checkedMethod(const RemoteMethod& method, bool fineGasResolution, const std::string& command) {
    const auto parameter = [&](const char* name) { return command + "/Parameter/" + name; };
    if (auto bad = checkUserMethodNumber(method.number, parameter("MethodNumber"))) {
        return *bad;
    }
    // Lengths count characters, as the definition's MaximalLength does, not bytes.
    const auto nameLength = utf8CharacterCount(method.name);
    const auto descriptionLength = utf8CharacterCount(method.description);
    if (!nameLength || *nameLength > kLongestMethodName) {
        return validationError(parameter("Name"), "The name is longer than " +
                                                      std::to_string(kLongestMethodName) +
                                                      " characters.");
    }
    if (!descriptionLength || *descriptionLength > kLongestMethodDescription) {
        return validationError(parameter("Description"),
                               "The description is longer than " +
                                   std::to_string(kLongestMethodDescription) + " characters.");
    }
    struct Whole {
        const char* name;
        const char* shown;
        std::int64_t value;
        SetpointRange range;
        const char* unit;
        int MethodRecord::*field;
    };
    const Whole wholes[] = {
        {"EvaporatorTemperature", "evaporator temperature", method.evaporatorTemperature,
         kEvaporatorRange, " °C", &MethodRecord::evaporatorTemp},
        {"NebuliserTemperature", "nebuliser temperature", method.nebuliserTemperature,
         kNebuliserRange, " °C", &MethodRecord::nebuliserTemp},
        {"TransferLineTemperature", "transfer line temperature", method.transferLineTemperature,
         kTransferLineRange, " °C", &MethodRecord::transferLineTemp},
        {"AutozeroOffset", "autozero offset", method.autozeroOffset, kAutozeroRange, " mV",
         &MethodRecord::autozeroOffset},
        {"TimeConstant", "time constant", method.timeConstant, kTimeConstantRange, " s",
         &MethodRecord::timeConstant},
    };
    MethodRecord record;
    record.number = static_cast<int>(method.number);
    record.name = method.name;
    record.description = method.description;
    for (const Whole& whole : wholes) {
        if (whole.value < whole.range.minimum || whole.value > whole.range.maximum) {
            return validationError(
                parameter(whole.name),
                "The " + std::string(whole.shown) + " " + std::to_string(whole.value) +
                    " is outside " +
                    rangeText(whole.range.minimum, whole.range.maximum, whole.unit) + ".");
        }
        record.*whole.field = static_cast<int>(whole.value);
    }
    const double unitsPerSlm = fineGasResolution ? 100.0 : 10.0;
    const SetpointRange gas = gasFlowRange(fineGasResolution);
    const double units = method.gasFlow * unitsPerSlm;
    // The editor's spinner steps by one unit; a value between steps is no setting it can make.
    if (!std::isfinite(units) || std::fabs(units - std::round(units)) > 1e-6 ||
        std::round(units) < gas.minimum || std::round(units) > gas.maximum) {
        const int decimals = fineGasResolution ? 2 : 1;
        char text[64];
        std::snprintf(text, sizeof text, "%.*f to %.*f SLM in steps of %.*f", decimals,
                      gas.minimum / unitsPerSlm, decimals, gas.maximum / unitsPerSlm, decimals,
                      1.0 / unitsPerSlm);
        return validationError(parameter("GasFlow"),
                               "The gas flow must be " + std::string(text) + ".");
    }
    record.gasFlow = static_cast<int>(std::lround(units));
    return record;
}

double gasFlowSlm(const MethodRecord& record, bool fineGasResolution) {
    return record.gasFlow / (fineGasResolution ? 100.0 : 10.0);
}

} // namespace kqvdr::remote
