#pragma once

#include "MethodRecord.h"
#include "SilaFailure.h"

#include <cstdint>
#include <string>
#include <variant>

namespace kqvdr::remote {

// A method as a client stores it, before any check.
struct RemoteMethod {
    std::int64_t number = 0;
    std::string name;
    std::string description;
    std::int64_t evaporatorTemperature = 0;   // °C
    std::int64_t nebuliserTemperature = 0;    // °C
    std::int64_t transferLineTemperature = 0; // °C
    double gasFlow = 0;                       // SLM
    std::int64_t autozeroOffset = 0;          // mV
    std::int64_t timeConstant = 0;            // s
};

inline constexpr std::size_t kLongestMethodName = 255;
inline constexpr std::size_t kLongestMethodDescription = 1024;

// The user method a client may name (1 to 10), or a validation error naming `parameter`.
Outcome checkUserMethodNumber(std::int64_t number, const std::string& parameter);

// The record the method editor would send for these fields, or a validation error naming the
// first parameter that breaks the editor's limits. `command` is the command's fully qualified
// identifier, the parameters' prefix.
std::variant<MethodRecord, SilaFailure>
checkedMethod(const RemoteMethod& method, bool fineGasResolution, const std::string& command);

// The gas flow in SLM of a record, as the editor shows it.
double gasFlowSlm(const MethodRecord& record, bool fineGasResolution);

} // namespace kqvdr::remote
