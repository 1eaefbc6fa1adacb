#pragma once

#include "MethodEditorFields.h"
#include "MethodLimits.h"
#include "MethodRecord.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kqvdr {

// A whole-number setpoint of the editor: its field, range and the message when it is left.
struct WholeSetpointRule {
    EditorField field;
    SetpointRange range;
    const char* outOfRange;
};

// The editor's five whole-number setpoints, in the order of the form.
std::span<const WholeSetpointRule> wholeSetpointRules();
// The rule of a whole-number setpoint field, or nothing for any other field.
const WholeSetpointRule* wholeSetpointRule(EditorField field);

// A value typed into a field after its check: the value to use and, when it had to be clamped,
// the message to show.
struct CheckedWhole {
    int value;
    std::optional<std::string> message;
};
struct CheckedGasFlow {
    double value;
    std::string text; // as the field shows it afterwards
    std::optional<std::string> message;
};

// Text that is no number counts as 0 and is clamped like any other value.
CheckedWhole checkMethodNumber(std::string_view text);
CheckedWhole checkWholeSetpoint(const WholeSetpointRule& rule, std::string_view text);
CheckedGasFlow checkGasFlow(std::string_view text, bool fineGasResolution);

// The gas-flow limits in SLM.
struct GasFlowLimits {
    double minimum;
    double maximum;
    double increment;
};
GasFlowLimits gasFlowLimits(bool fineGasResolution);

// The gas flow in SLM as a method shows it, and its text in instrument units (rounded).
std::string gasFlowText(int instrumentUnits, bool fineGasResolution);
std::string gasFlowText(double slm, bool fineGasResolution);
int gasFlowUnits(std::string_view slmText, bool fineGasResolution);

// Wrap-around of a setpoint spinner at its limits. Pressing an arrow while the spinner shows a
// limit arms the wrap; releasing it while the spinner still shows that same limit moves it to
// the other one. Holding an arrow all the way across the range therefore never wraps back.
enum class WrapArm { None, AtMinimum, AtMaximum };
struct WrapLimits {
    double minimum;
    double maximum;
    double tolerance; // below the spinner's resolution
};
WrapArm armWrap(double shown, const WrapLimits& limits);
std::optional<double> wrapOnRelease(WrapArm armed, double shown, const WrapLimits& limits);

// Fills the editor's fields from record `number` of the table.
void showMethodInFields(MethodEditorFields& editor, int number, const MethodRecord& record,
                        bool fineGasResolution);
// The six setpoints of the editor's fields, as the instrument takes them.
MethodRecord setpointsFromFields(const MethodEditorFields& editor, bool fineGasResolution);

} // namespace kqvdr
