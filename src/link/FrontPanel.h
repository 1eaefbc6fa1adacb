#pragma once

#include <string>

namespace kqvdr {

enum class Lamp { Standby, Run, GasSave, Sleep, Autozero, TransferLine };

enum class PanelText {
    Evaporator,
    Nebuliser,
    TransferLine,
    AutozeroOffset,
    TimeConstant,
    GasFlow,
    Output,
};

enum class PanelGauge { Evaporator, Nebuliser, Exhaust, GasFlow };

// What the poll and the commands show on the form. The widgets implement it; tests record it.
// Colours are Windows colour values, 0x00BBGGRR.
class FrontPanel {
public:
    virtual ~FrontPanel() = default;

    virtual void setLamp(Lamp lamp, bool lit) = 0;
    virtual bool lampLit(Lamp lamp) const = 0;
    virtual void setLampOnColour(Lamp lamp, unsigned colour) = 0;
    virtual void setText(PanelText field, const std::string& text) = 0;
    virtual void setGauge(PanelGauge gauge, float value) = 0;
    virtual double gaugeValue(PanelGauge gauge) const = 0;

    // The Method group while the editor is closed.
    virtual void showMethod(int number, const std::string& name,
                            const std::string& description) = 0;
    // The editor's method number field and spinner, through which it reloads a method.
    virtual std::string methodNumberText() const = 0;
    virtual void setMethodSpinner(double value) = 0;

    virtual void appendHistoryPoint(float reading) = 0;
    virtual void clearHistory() = 0;

    virtual void setSleepLayout(bool sleeping) = 0;
    // Gas controls, scales and the window title for the standard or fine gas-flow range.
    virtual void setGasFlowRange(bool fine) = 0;
};

} // namespace kqvdr
