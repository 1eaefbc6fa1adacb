#include "InstrumentModel.h"

#include "CommandTable.h"
#include "HeatingCurve.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace kqvdr::sim {
namespace {

constexpr std::array<const char*, 13> kFaultNames = {
    "GAS", "NEB", "EVP", "EXH", "VAP", "LMP", "FAN", "CSM", "PDT", "OT", "PIC", "TC", "VDEV"};

// Factory methods: room for common mobile phases, from gentle to hot.
constexpr std::array<StoredMethod, kMethodCount> kStandardMethods = {{
    {50, 40, 50, 12, 0, 1},    // 0, custom
    {50, 40, 50, 12, 0, 1},    // 1
    {60, 45, 60, 14, 0, 1},    // 2
    {80, 60, 80, 16, 0, 1},    // 3
    {100, 70, 100, 16, 0, 1},  // 4
    {120, 80, 120, 18, 0, 2},  // 5
    {40, 35, 40, 10, 0, 1},    // 6
    {70, 50, 70, 12, 2, 1},    // 7
    {90, 60, 90, 15, 0, 0},    // 8
    {110, 75, 110, 16, 0, 3},  // 9
    {150, 100, 150, 20, 5, 1}, // 10
}};

constexpr double kIdleGasSlm = 0.1; // Standby and Gas Save keep a trickle flowing
constexpr double kIdleFineGasSlm = 0.05;
constexpr double kGasTimeConstant = 0.8; // seconds
constexpr double kExhaustLag = 60.0;     // seconds
constexpr double kBaselineMv = 12.0;
constexpr double kUncorrectedOffsetMv = 45.0; // until the first autozero
constexpr double kSubstep = 0.25;             // seconds of physics per step
constexpr double kSlowHeatingFactor = 3.0;
constexpr double kWanderDegrees = 3.0;  // amplitude of an unstable reading
constexpr double kWanderPeriod = 300.0; // seconds
constexpr double kSlowGasRate = 0.0005; // SLM per second
constexpr double kHighBaselineMv = 200.0;
constexpr std::array<const char*, kAilmentCount> kAilmentNames = {
    "slow-heating", "unstable-temperature", "slow-gas", "high-baseline"};

StoredMethod fineVersion(StoredMethod method) {
    method.gasFlow *= 10; // tenths to hundredths
    method.gasFlow = std::clamp(method.gasFlow / 2, 5, 100);
    return method;
}

} // namespace

std::optional<Ailment> ailmentNamed(const std::string& name) {
    for (std::size_t i = 0; i < kAilmentNames.size(); ++i) {
        if (name == kAilmentNames[i]) {
            return static_cast<Ailment>(i);
        }
    }
    return std::nullopt;
}

std::optional<int> faultBit(const std::string& name) {
    for (std::size_t i = 0; i < kFaultNames.size(); ++i) {
        if (name == kFaultNames[i]) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

InstrumentModel::InstrumentModel(bool fineGas, int deviceId, unsigned seed)
    : deviceId_(deviceId & 0x7F), random_(seed) {
    methods_ = kStandardMethods;
    setFineGas(fineGas);
    gasFlow_ = gasTargetSlm();
}

void InstrumentModel::setFineGas(bool fine) {
    if (fine == fineGas_) {
        return;
    }
    fineGas_ = fine;
    for (std::size_t i = 0; i < methods_.size(); ++i) {
        methods_[i] = fine ? fineVersion(kStandardMethods[i]) : kStandardMethods[i];
    }
}

void InstrumentModel::setFault(int bit) {
    faultWord_ |= 1 << bit;
}

int InstrumentModel::reportedMode() const {
    return faultWord_ != 0 ? modeCode(OperatingMode::Error) : mode_;
}

bool InstrumentModel::heating() const {
    return reportedMode() == modeCode(OperatingMode::Run) ||
           reportedMode() == modeCode(OperatingMode::GasSave);
}

bool InstrumentModel::ready() const {
    return heating() && heldInBand_ >= kReadyHold;
}

int InstrumentModel::statusWord() const {
    int word = setpoints().timeConstant & 0x3;
    word |= busy() ? 0x4 : 0;
    word |= heaterOn_ ? 0x8 : 0;
    word |= (reportedMode() & 0x7) << 4;
    word |= ready() ? kStatusReadyBit : 0;
    return word;
}

Reply InstrumentModel::handle(int commandCode, std::span<const std::int16_t> data) {
    const auto word = [&](std::size_t i) { return i < data.size() ? data[i] : std::int16_t{0}; };
    const Reply acknowledge{Reply::Kind::Acknowledge, {}};
    switch (static_cast<Command>(commandCode)) {
    case Command::SetMode:
        if (word(0) >= 0 && word(0) <= 3) {
            mode_ = word(0);
        }
        return acknowledge;
    case Command::SetDeviceId:
        deviceId_ = word(0) & 0x7F;
        return acknowledge;
    case Command::Autozero:
        autozeroRemaining_ = kAutozeroTime;
        return acknowledge;
    case Command::SelectMethod:
        if (word(0) >= 0 && word(0) < kMethodCount) {
            currentMethod_ = word(0);
        }
        return acknowledge;
    case Command::HeaterOn:
        heaterOn_ = true;
        return acknowledge;
    case Command::HeaterOff:
        heaterOn_ = false;
        return acknowledge;
    case Command::ClearFault:
        // After a fault the heaters stay off until the operator selects Run again.
        if (faultWord_ != 0) {
            faultWord_ = 0;
            mode_ = modeCode(OperatingMode::Standby);
        }
        return acknowledge;
    case Command::RequestMethodTable: {
        Reply reply{Reply::Kind::Data, {}};
        for (const auto& m : methods_) {
            for (const int value : {m.evaporator, m.nebuliser, m.transferLine, m.gasFlow,
                                    m.autozeroOffset, m.timeConstant}) {
                reply.words.push_back(static_cast<std::int16_t>(value));
            }
        }
        return reply;
    }
    case Command::DownloadMethod:
        if (word(0) >= 0 && word(0) < kMethodCount) {
            methods_[static_cast<std::size_t>(word(0))] = {word(1), word(2), word(3),
                                                           word(4), word(5), word(6) & 0x3};
        }
        return acknowledge;
    case Command::RequestVapourSensitivity:
        if (!vapourCapable_) {
            return {};
        }
        return {Reply::Kind::Data, {static_cast<std::int16_t>(reading(commandCode))}};
    case Command::SetVapourSensitivity:
        if (!vapourCapable_) {
            return {};
        }
        vapourSensitivity_ = std::clamp<int>(word(0), 0, 10);
        return acknowledge;
    default:
        break;
    }
    const auto entry = commandEntry(commandCode);
    if (!entry) {
        return {};
    }
    if (entry->replyDigits == 1) {
        return acknowledge; // codes the program never sends are accepted and ignored
    }
    return {Reply::Kind::Data, {static_cast<std::int16_t>(reading(commandCode))}};
}

int InstrumentModel::tenths(double value, double noise) {
    return static_cast<int>(std::lround((value + noise * noise_(random_)) * 10));
}

int InstrumentModel::reading(int commandCode) {
    const StoredMethod& set = setpoints();
    switch (static_cast<Command>(commandCode)) {
    case Command::RequestStatus:
        return statusWord();
    case Command::RequestEvaporatorSetpoint:
        return set.evaporator;
    case Command::RequestNebuliserSetpoint:
        return set.nebuliser;
    case Command::RequestExhaustTemperature:
        return tenths(exhaust_, 0.05);
    case Command::RequestTransferLineSetpoint:
        return set.transferLine;
    case Command::RequestGasFlowSetpoint:
        return set.gasFlow;
    case Command::RequestMethodNumber:
        return currentMethod_;
    case Command::RequestDeviceId:
        return deviceId_;
    case Command::RequestEvaporatorTemperature:
        return tenths(evaporator_ + wander(), 0.05);
    case Command::RequestNebuliserTemperature:
        return tenths(nebuliser_ + wander(), 0.05);
    case Command::RequestGasFlow:
        return static_cast<int>(std::lround(gasFlow_ / gasUnit()));
    case Command::RequestDetectorOutput: {
        const double offset = (offsetRemoved_ ? set.autozeroOffset : kUncorrectedOffsetMv) +
                              (has(Ailment::HighBaseline) ? kHighBaselineMv : 0.0);
        return std::max(
            0, static_cast<int>(std::lround(kBaselineMv + offset + 1.5 * noise_(random_))));
    }
    case Command::RequestAutozeroOffset:
        return set.autozeroOffset;
    case Command::RequestFaultWord:
        return faultWord_;
    case Command::RequestVapourSensitivity:
        return vapourSensitivity_;
    case Command::RequestGasFlowResolution:
        return fineGas_ ? 1 : 0;
    default:
        return 0;
    }
}

double InstrumentModel::gasTargetSlm() const {
    const int mode = reportedMode();
    if (mode == modeCode(OperatingMode::Run)) {
        return setpoints().gasFlow * gasUnit();
    }
    if (mode == modeCode(OperatingMode::Sleep)) {
        return 0;
    }
    return fineGas_ ? kIdleFineGasSlm : kIdleGasSlm;
}

void InstrumentModel::advance(double seconds) {
    while (seconds > 0) {
        const double dt = std::min(seconds, kSubstep);
        step(dt);
        seconds -= dt;
    }
}

void InstrumentModel::step(double dt) {
    elapsed_ += dt;
    const bool heatersOn = heating();
    const double evaporatorTarget = heatersOn ? setpoints().evaporator : kAmbient;
    const double nebuliserTarget = heatersOn ? setpoints().nebuliser : kAmbient;
    const double heatingTime = has(Ailment::SlowHeating) ? dt / kSlowHeatingFactor : dt;
    const auto move = [dt, heatingTime](double value, double target, const HeatingCurve& up,
                                        const HeatingCurve& down) {
        return value < target ? up.step(value, target, heatingTime) : down.step(value, target, dt);
    };
    evaporator_ = move(evaporator_, evaporatorTarget, kEvaporatorHeating, kEvaporatorCooling);
    nebuliser_ = move(nebuliser_, nebuliserTarget, kNebuliserHeating, kNebuliserCooling);

    const double exhaustTarget = kAmbient + 0.75 * (evaporator_ - kAmbient);
    exhaust_ += (exhaustTarget - exhaust_) * std::min(1.0, dt / kExhaustLag);

    const double gasTarget = gasTargetSlm();
    if (has(Ailment::SlowGas)) {
        const double change = kSlowGasRate * dt;
        gasFlow_ += std::clamp(gasTarget - gasFlow_, -change, change);
    } else {
        gasFlow_ += (gasTarget - gasFlow_) * std::min(1.0, dt / kGasTimeConstant);
    }
    if (std::abs(gasTarget - gasFlow_) < gasUnit() / 4) {
        gasFlow_ = gasTarget;
    }

    const bool inBand = std::abs(evaporator_ - setpoints().evaporator) <= kReadyBand &&
                        std::abs(nebuliser_ - setpoints().nebuliser) <= kReadyBand;
    heldInBand_ = heatersOn && inBand ? heldInBand_ + dt : 0;

    if (autozeroRemaining_ > 0) {
        autozeroRemaining_ -= dt;
        if (autozeroRemaining_ <= 0) {
            autozeroRemaining_ = 0;
            offsetRemoved_ = true;
        }
    }
}

double InstrumentModel::wander() const {
    if (!has(Ailment::UnstableTemperature)) {
        return 0;
    }
    constexpr double kTwoPi = 6.283185307179586;
    return kWanderDegrees * std::sin(kTwoPi * elapsed_ / kWanderPeriod);
}

std::string InstrumentModel::describe() const {
    const StoredMethod& set = setpoints();
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(1);
    out << "mode=" << reportedMode() << " method=" << currentMethod_
        << " evaporator_set=" << set.evaporator << " nebuliser_set=" << set.nebuliser
        << " transfer_line_set=" << set.transferLine << " gas_set=" << set.gasFlow
        << " autozero_offset=" << set.autozeroOffset << " time_constant=" << set.timeConstant
        << " evaporator=" << evaporator_ << " nebuliser=" << nebuliser_ << " exhaust=" << exhaust_;
    out.precision(2);
    out << " gas=" << gasFlow_ << " ready=" << (ready() ? 1 : 0) << " busy=" << (busy() ? 1 : 0)
        << " heater=" << (heaterOn_ ? 1 : 0) << " fine=" << (fineGas_ ? 1 : 0)
        << " faults=" << faultWord_ << " device_id=" << deviceId_
        << " vapour=" << vapourSensitivity_ << " time=" << elapsed_ << " ailments=";
    bool any = false;
    for (std::size_t i = 0; i < kAilmentNames.size(); ++i) {
        if (ailments_[i]) {
            out << (any ? "," : "") << kAilmentNames[i];
            any = true;
        }
    }
    if (!any) {
        out << "none";
    }
    return out.str();
}

} // namespace kqvdr::sim
