#include "TrendRecorder.h"

#include "ClockSeconds.h"
#include "InstrumentState.h"

namespace kqvdr {

TrendRecorder::TrendRecorder(const InstrumentState& state) : state_(state) {}

bool TrendRecorder::tickEnded(const LocalTime& time) {
    const std::int64_t now = localSeconds(time);
    if (!state_.answering()) {
        answeringSince_ = -1;
        return false;
    }
    if (answeringSince_ < 0 || now < answeringSince_) {
        answeringSince_ = now;
    }
    if (now == lastSecond_ || now - answeringSince_ < kSettleSeconds) {
        return false;
    }
    // A clock set back would break the ring's time order; its samples start again.
    if (now < lastSecond_) {
        ring_ = TrendRing(kCapacity);
    }
    lastSecond_ = now;
    const ParameterTable& p = state_.parameters;
    const float gasScale = state_.fineGasResolution ? 0.01f : 0.1f;
    TrendSample sample;
    sample.time = now;
    sample.values = {
        p.measured(ParameterIndex::Evaporator) * 0.1f,
        static_cast<float>(p[ParameterIndex::Evaporator].setpoint),
        p.measured(ParameterIndex::Nebuliser) * 0.1f,
        static_cast<float>(p[ParameterIndex::Nebuliser].setpoint),
        p.measured(ParameterIndex::Exhaust) * 0.1f,
        p.measured(ParameterIndex::GasFlow) * gasScale,
        p[ParameterIndex::GasFlow].setpoint * gasScale,
        static_cast<float>(p.measured(ParameterIndex::DetectorOutput)),
    };
    ring_.push(sample);
    return true;
}

} // namespace kqvdr
