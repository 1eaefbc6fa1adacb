#pragma once

#include "FrontPanel.h"

#include <map>
#include <string>
#include <vector>

namespace kqvdr::test {

// Keeps whatever the core shows, for tests to look at.
class RecordingFrontPanel : public FrontPanel {
public:
    void setLamp(Lamp lamp, bool lit) override {
        lamps[lamp] = lit;
        ++lampWrites[lamp];
    }
    bool lampLit(Lamp lamp) const override {
        const auto it = lamps.find(lamp);
        return it != lamps.end() && it->second;
    }
    void setLampOnColour(Lamp lamp, unsigned colour) override { colours[lamp] = colour; }
    void setText(PanelText field, const std::string& text) override { texts[field] = text; }
    void setGauge(PanelGauge gauge, float value) override { gauges[gauge] = value; }
    double gaugeValue(PanelGauge gauge) const override {
        const auto it = gauges.find(gauge);
        return it == gauges.end() ? 0.0 : it->second;
    }
    void showMethod(int number, const std::string& name, const std::string& description) override {
        methodShown = number;
        methodName = name;
        methodDescription = description;
    }
    std::string methodNumberText() const override { return methodNumberField; }
    void setMethodSpinner(double value) override { spinnerValues.push_back(value); }
    void appendHistoryPoint(float reading) override { history.push_back(reading); }
    void clearHistory() override {
        history.clear();
        ++historyClears;
    }
    void setSleepLayout(bool sleeping) override { sleepLayouts.push_back(sleeping); }
    void setGasFlowRange(bool fine) override { gasRanges.push_back(fine); }

    std::map<Lamp, bool> lamps;
    std::map<Lamp, int> lampWrites;
    std::map<Lamp, unsigned> colours;
    std::map<PanelText, std::string> texts;
    std::map<PanelGauge, float> gauges;
    int methodShown = -1;
    std::string methodName;
    std::string methodDescription;
    std::string methodNumberField = "1";
    std::vector<double> spinnerValues;
    std::vector<float> history;
    int historyClears = 0;
    std::vector<bool> sleepLayouts;
    std::vector<bool> gasRanges;
};

} // namespace kqvdr::test
