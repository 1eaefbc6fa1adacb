#include "MethodEditorRules.h"

#include "NumberText.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kqvdr {
namespace {

constexpr const char* kMethodNumberRange = "Method ID must be in the range 0 to 10";
constexpr const char* kGasStandardRange = "Gas Flow Rate must be in the range 0.1 to 2.0";
constexpr const char* kGasFineBelow = "Gas Flow Rate must be in the range 0.05 to 1.00";
constexpr const char* kGasFineAbove = "Gas Flow Rate must be in the range 0.05 to 1.0";

constexpr SetpointRange kMethodNumbers{0, kMethodCount - 1};

constexpr std::array<WholeSetpointRule, 5> kWholeRules = {{
    {EditorField::Evaporator, kEvaporatorRange,
     "Evaporation temperature must be in the range 30 to 300"},
    {EditorField::Nebuliser, kNebuliserRange,
     "Nebuliser temperature must be in the range 30 to 220"},
    {EditorField::TransferLine, kTransferLineRange,
     "Transfer Line temperature must be in the range 30 to 220"},
    {EditorField::Autozero, kAutozeroRange, "Autozero Offset must be in the range 0 to 10"},
    {EditorField::TimeConstant, kTimeConstantRange, "Time Constant must be in the range 0 to 3"},
}};

CheckedWhole clampWhole(std::string_view text, SetpointRange range, const char* message) {
    const int value = parseLeadingInt(text);
    if (range.contains(value)) {
        return {value, std::nullopt};
    }
    return {std::clamp(value, range.minimum, range.maximum), std::string(message)};
}

} // namespace

std::span<const WholeSetpointRule> wholeSetpointRules() {
    return kWholeRules;
}

const WholeSetpointRule* wholeSetpointRule(EditorField field) {
    const auto found =
        std::find_if(kWholeRules.begin(), kWholeRules.end(),
                     [field](const WholeSetpointRule& r) { return r.field == field; });
    return found == kWholeRules.end() ? nullptr : &*found;
}

CheckedWhole checkMethodNumber(std::string_view text) {
    return clampWhole(text, kMethodNumbers, kMethodNumberRange);
}

CheckedWhole checkWholeSetpoint(const WholeSetpointRule& rule, std::string_view text) {
    return clampWhole(text, rule.range, rule.outOfRange);
}

GasFlowLimits gasFlowLimits(bool fineGasResolution) {
    return fineGasResolution ? GasFlowLimits{0.05, 1.0, 0.01} : GasFlowLimits{0.1, 2.0, 0.1};
}

CheckedGasFlow checkGasFlow(std::string_view text, bool fineGasResolution) {
    const GasFlowLimits limits = gasFlowLimits(fineGasResolution);
    CheckedGasFlow checked{parseLeadingDecimal(text), {}, std::nullopt};
    // "Not at least" rather than "below", so that a text that is no number is clamped too.
    if (!(checked.value >= limits.minimum)) {
        checked.value = limits.minimum;
        checked.message = fineGasResolution ? kGasFineBelow : kGasStandardRange;
    } else if (checked.value > limits.maximum) {
        checked.value = limits.maximum;
        checked.message = fineGasResolution ? kGasFineAbove : kGasStandardRange;
    }
    checked.text = gasFlowText(checked.value, fineGasResolution);
    return checked;
}

std::string gasFlowText(int instrumentUnits, bool fineGasResolution) {
    return fineGasResolution ? formatDecimal(instrumentUnits * 0.01, 2)
                             : formatDecimal(instrumentUnits * 0.1, 1);
}

std::string gasFlowText(double slm, bool fineGasResolution) {
    return formatDecimal(slm, fineGasResolution ? 2 : 1);
}

int gasFlowUnits(std::string_view slmText, bool fineGasResolution) {
    const double units = parseLeadingDecimal(slmText) * (fineGasResolution ? 100.0 : 10.0);
    // Bounded first: lround has no defined result beyond the range of long.
    return static_cast<int>(std::lround(std::clamp(std::isfinite(units) ? units : 0.0, -1e9, 1e9)));
}

WrapArm armWrap(double shown, const WrapLimits& limits) {
    if (std::abs(shown - limits.minimum) < limits.tolerance) {
        return WrapArm::AtMinimum;
    }
    if (std::abs(shown - limits.maximum) < limits.tolerance) {
        return WrapArm::AtMaximum;
    }
    return WrapArm::None;
}

std::optional<double> wrapOnRelease(WrapArm armed, double shown, const WrapLimits& limits) {
    if (armed == WrapArm::None || armWrap(shown, limits) != armed) {
        return std::nullopt;
    }
    return armed == WrapArm::AtMinimum ? limits.maximum : limits.minimum;
}

void showMethodInFields(MethodEditorFields& editor, int number, const MethodRecord& record,
                        bool fineGasResolution) {
    editor.setFieldText(EditorField::Number, std::to_string(number));
    editor.setFieldText(EditorField::Name, record.name);
    editor.setFieldText(EditorField::Description, record.description);
    editor.setFieldText(EditorField::Evaporator, std::to_string(record.evaporatorTemp));
    editor.setFieldText(EditorField::Nebuliser, std::to_string(record.nebuliserTemp));
    editor.setFieldText(EditorField::TransferLine, std::to_string(record.transferLineTemp));
    editor.setFieldText(EditorField::GasFlow, gasFlowText(record.gasFlow, fineGasResolution));
    editor.setFieldText(EditorField::Autozero, std::to_string(record.autozeroOffset));
    editor.setFieldText(EditorField::TimeConstant, std::to_string(record.timeConstant));
}

MethodRecord setpointsFromFields(const MethodEditorFields& editor, bool fineGasResolution) {
    const auto whole = [&editor](EditorField field) {
        return parseLeadingInt(editor.fieldText(field));
    };
    MethodRecord record;
    record.evaporatorTemp = whole(EditorField::Evaporator);
    record.nebuliserTemp = whole(EditorField::Nebuliser);
    record.transferLineTemp = whole(EditorField::TransferLine);
    record.gasFlow = gasFlowUnits(editor.fieldText(EditorField::GasFlow), fineGasResolution);
    record.autozeroOffset = whole(EditorField::Autozero);
    record.timeConstant = whole(EditorField::TimeConstant);
    return record;
}

} // namespace kqvdr
