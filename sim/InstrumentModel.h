#pragma once

#include "OperatingMode.h"

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace kqvdr::sim {

// One stored method as the instrument keeps it: setpoints in the instrument's units.
struct StoredMethod {
    int evaporator = 0;   // °C
    int nebuliser = 0;    // °C
    int transferLine = 0; // °C
    int gasFlow = 0;      // tenths of SLM, or hundredths on a fine instrument
    int autozeroOffset = 0;
    int timeConstant = 0;
};

inline constexpr int kMethodCount = 11;

// What a command asks of the line: data words of the table's reply length, an acknowledgement,
// or nothing at all.
struct Reply {
    enum class Kind { None, Data, Acknowledge } kind = Kind::None;
    std::vector<std::int16_t> words;
};

// The fault bits of the fault word, by name.
std::optional<int> faultBit(const std::string& name);

// Ways a simulated instrument can be unwell, each failing one of the system test's analyses:
// heaters that climb at a third of the healthy rate (temperature response), temperature readings
// that wander by a few degrees (temperature stability), gas flow that changes at a crawl (mass
// flow response), and a detector baseline above 0.15 V (baseline stability).
enum class Ailment { SlowHeating, UnstableTemperature, SlowGas, HighBaseline };
inline constexpr int kAilmentCount = 4;
std::optional<Ailment> ailmentNamed(const std::string& name);

// The instrument: its settings, the eleven methods, and the physics of its heaters, gas flow
// and detector. Time moves only through advance(), so tests can run hours in milliseconds.
class InstrumentModel {
public:
    static constexpr char kAcknowledgement = 0x06;
    static constexpr double kAmbient = 25.0;     // °C
    static constexpr double kReadyBand = 1.0;    // °C either side of the setpoint
    static constexpr double kReadyHold = 20.0;   // seconds within the band before ready
    static constexpr double kAutozeroTime = 3.0; // seconds busy
    static constexpr int kStatusReadyBit = 0x80;

    explicit InstrumentModel(bool fineGas = false, int deviceId = 0, unsigned seed = 1);

    // Applies one decoded command and says how to answer it.
    Reply handle(int commandCode, std::span<const std::int16_t> data);

    void advance(double seconds);

    // Line-independent controls.
    void setFault(int bit);
    void setFineGas(bool fine);
    void setVapourCapable(bool capable) { vapourCapable_ = capable; }
    void setAilment(Ailment ailment, bool on) { ailments_[static_cast<std::size_t>(ailment)] = on; }
    bool has(Ailment ailment) const { return ailments_[static_cast<std::size_t>(ailment)]; }

    // Readings in the instrument's units, as the wire carries them.
    int statusWord() const;
    int faultWord() const { return faultWord_; }
    int deviceId() const { return deviceId_; }
    int reportedMode() const;
    int currentMethod() const { return currentMethod_; }
    const StoredMethod& method(int number) const {
        return methods_[static_cast<std::size_t>(number)];
    }
    const StoredMethod& setpoints() const { return method(currentMethod_); }
    double evaporator() const { return evaporator_; }
    double nebuliser() const { return nebuliser_; }
    double exhaust() const { return exhaust_; }
    double gasFlowSlm() const { return gasFlow_; }
    bool ready() const;
    bool heaterOn() const { return heaterOn_; }
    bool busy() const { return autozeroRemaining_ > 0; }
    bool fineGas() const { return fineGas_; }
    int vapourSensitivity() const { return vapourSensitivity_; }
    double elapsed() const { return elapsed_; }

    int reading(int commandCode); // codes 17 to 29, 32, 33, 35

    std::string describe() const; // key=value pairs for the control channel

private:
    void step(double seconds);
    double gasTargetSlm() const;
    double gasUnit() const { return fineGas_ ? 0.01 : 0.1; }
    bool heating() const;
    int tenths(double value, double noise);
    double wander() const; // what an unstable temperature reading adds now

    std::array<StoredMethod, kMethodCount> methods_{};
    int currentMethod_ = 1;
    int mode_ = modeCode(OperatingMode::Standby);
    int deviceId_ = 0;
    int faultWord_ = 0;
    int vapourSensitivity_ = 2;
    bool vapourCapable_ = true;
    bool fineGas_ = false;
    bool heaterOn_ = false;
    double autozeroRemaining_ = 0;
    bool offsetRemoved_ = false;
    double evaporator_ = kAmbient;
    double nebuliser_ = kAmbient;
    double exhaust_ = kAmbient;
    double gasFlow_ = 0;
    double heldInBand_ = 0;
    double elapsed_ = 0;
    std::array<bool, kAilmentCount> ailments_{};
    std::mt19937 random_;
    std::normal_distribution<double> noise_{0.0, 1.0};
};

} // namespace kqvdr::sim
