#include "MethodBlock.h"

#include "NumberText.h"
#include "ReferenceTables.h"
#include "TimeText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kqvdr {
namespace {

constexpr float kIdleFlow = 0.1f;
constexpr float kIdleFineFlow = 0.05f;
// Fine flows are compared to ±0.01 SLM; the slack absorbs the single-precision reading of
// two-decimal texts, so that 0.51 against 0.50 counts as within it.
constexpr double kFineFlowBand = 0.01 + 1e-6;
constexpr double kOutOfBand = 2.0;
constexpr int kResponseAllowance = 1200; // seconds beyond the reference curves

bool heatingMode(const std::string& mode) {
    return mode != "STANDBY" && mode != "SLEEP";
}

bool evaluatedMode(const std::string& mode) {
    return mode == "RUN" || mode == "GAS_SAVE";
}

std::string durationText(int seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%1d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return buffer;
}

// Seconds the reference curves take from the first temperature to the setpoint.
int curveSeconds(int setpoint, double first, const ReferenceTable& rise,
                 const ReferenceTable& fall) {
    const int from = static_cast<int>(std::trunc(first));
    return setpoint > first ? rise.secondsAt(setpoint) - rise.secondsAt(from)
                            : fall.secondsAt(setpoint) - fall.secondsAt(from);
}

double relativeDeviation(const std::vector<double>& samples, double mean) {
    if (mean == 0 || samples.size() < 2) {
        return 0;
    }
    double squares = 0;
    for (const double x : samples) {
        squares += (x - mean) * (x - mean);
    }
    const double n = static_cast<double>(samples.size());
    return roundToDecimals(std::sqrt(squares / (n - 1)) / mean * 100, 2);
}

} // namespace

MethodBlock::MethodBlock(int method, bool fineFlow) : method_(method), fineFlow_(fineFlow) {}

void MethodBlock::add(const LogRecord& record) {
    const bool heating = heatingMode(record.mode);
    const bool starts = !previous_ || (previous_->ready == "F" && record.ready == "T") ||
                        (record.mode != previous_->mode && heating != heatingMode(previous_->mode));
    if (starts) {
        startSegment(record);
    }
    Segment& segment = segments_.back();
    segment.nebSet = record.nebSet;
    segment.evapSet = record.evapSet;
    segment.gasSet = widen(record.gasSet);

    if (!gasSettled(record)) {
        segment.gasResponse = std::max(0, elapsedTime(segment.start, record.time).seconds);
    }
    previousFlow_ = record.gasFlow;

    const bool ready = record.ready == "T";
    track(segment.neb, widen(record.nebTemp), record.nebSet, ready);
    track(segment.evap, widen(record.evapTemp), record.evapSet, ready);
    const double photo = widen(record.detector);
    segment.photoMax = std::max(segment.photoMax, photo);
    segment.photoMin = std::min(segment.photoMin, photo);
    ++segment.recordCount;
    previous_ = record;
}

void MethodBlock::startSegment(const LogRecord& record) {
    Segment segment;
    segment.mode = record.mode;
    segment.start = record.time;
    segment.ready = record.ready;
    if (!elapsedTime(record.time, record.time).valid()) {
        unreadableTime_ = true;
    }
    if (!segments_.empty()) {
        const ElapsedTime span = elapsedTime(segments_.back().start, record.time);
        segment.prevSpan = span.seconds;
        segment.prevSpanText = span.text;
    }
    segment.neb.first = segment.neb.max = segment.neb.min = widen(record.nebTemp);
    segment.evap.first = segment.evap.max = segment.evap.min = widen(record.evapTemp);
    segment.photoMax = segment.photoMin = widen(record.detector);
    segments_.push_back(std::move(segment));
}

bool MethodBlock::gasSettled(const LogRecord& record) const {
    float expected = record.gasSet;
    if (record.mode == "STANDBY" || record.mode == "GAS_SAVE") {
        expected = fineFlow_ ? kIdleFineFlow : kIdleFlow;
    } else if (record.mode == "SLEEP") {
        expected = 0;
    }
    if (fineFlow_) {
        return std::abs(double{record.gasFlow} - double{expected}) <= kFineFlowBand &&
               std::abs(double{record.gasFlow} - double{previousFlow_}) <= kFineFlowBand;
    }
    return record.gasFlow == expected && record.gasFlow == previousFlow_;
}

void MethodBlock::track(Extremes& values, double reading, int setpoint, bool ready) {
    if (reading >= values.max) {
        values.max = reading;
        values.maxOffset = reading - setpoint;
    }
    if (reading <= values.min) {
        values.min = reading;
        values.minOffset = reading - setpoint;
    }
    values.sum += reading;
    values.samples.push_back(reading);
    // Rounding to one decimal moves a reading by 0.05 at most, so only readings near the band's
    // edge need the (slow) rounding through text.
    const double off = std::abs(reading - setpoint);
    if (ready && off > kOutOfBand - 0.1 &&
        std::abs(roundToDecimals(reading, 1) - setpoint) > kOutOfBand) {
        ++values.outOfBand;
    }
}

std::optional<TestResult> MethodBlock::finish(const std::string& lastTime,
                                              const ReferenceTables& tables) const {
    TestResult row;
    row.method = static_cast<std::int16_t>(method_);
    row.unreadableLines = lostLines_;
    if (segments_.empty()) {
        return row; // the block began with an ERROR record: a row without data
    }
    row.hasData = true;
    const ElapsedTime lastSpan = elapsedTime(segments_.back().start, lastTime);
    if (unreadableTime_ || !lastSpan.valid()) {
        return std::nullopt;
    }
    row.nebSet = static_cast<std::int16_t>(segments_.front().nebSet);
    row.evapSet = static_cast<std::int16_t>(segments_.front().evapSet);
    row.gasSet = segments_.front().gasSet;

    for (std::size_t i = 0; i < segments_.size(); ++i) {
        const Segment& segment = segments_[i];
        if (!evaluatedMode(segment.mode)) {
            continue;
        }
        const std::string duration =
            i + 1 < segments_.size() ? segments_[i + 1].prevSpanText : lastSpan.text;
        if (segment.ready == "F") {
            evaluateResponse(i, duration, tables, row);
        } else if (segment.ready == "T") {
            row.stabStart = segment.start;
            row.stabDuration = duration;
            evaluateStability(segment, row);
            row.stabEvaluated = true;
        }
    }
    return row;
}

void MethodBlock::evaluateResponse(std::size_t index, const std::string& duration,
                                   const ReferenceTables& tables, TestResult& row) const {
    const Segment& segment = segments_[index];
    const int neb = curveSeconds(segment.nebSet, segment.neb.first, tables.nebRise, tables.nebFall);
    const int evap =
        curveSeconds(segment.evapSet, segment.evap.first, tables.evapRise, tables.evapFall);
    const int expected = std::max(neb, evap) + kResponseAllowance;
    const bool nextReady = index + 1 < segments_.size() && segments_[index + 1].ready == "T";
    row.respPass = nextReady && segments_[index + 1].prevSpan <= expected;
    row.respEvaluated = true;
    row.respStart = segment.start;
    row.respElapsed = duration;
    row.respExpected = durationText(std::max(0, expected));
    row.photoMax = segment.photoMax;
    row.photoMin = segment.photoMin;
    row.gasResponse = static_cast<std::int16_t>(std::min(segment.gasResponse, 32767));
    row.gasPass = row.gasPass && segment.gasResponse < kGasLimit;
    row.baselinePass = row.baselinePass && segment.photoMax < kPhotoLimit;
}

void MethodBlock::evaluateStability(const Segment& segment, TestResult& row) {
    const double n = segment.recordCount;
    const auto judge = [n, &segment](const Extremes& values, int setpoint, double& mean,
                                     double& meanOffset, double& rsd, bool& offsetPass,
                                     bool& rsdPass) {
        mean = roundToDecimals(values.sum / n, 1);
        meanOffset = mean - setpoint;
        rsd = relativeDeviation(values.samples, mean);
        offsetPass = setpoint - kOffsetLimit <= mean && mean <= setpoint + kOffsetLimit;
        // One reading shows no spread at all: stability is not shown by it.
        rsdPass = segment.recordCount > 1 && rsd <= kRsdLimit;
    };
    judge(segment.neb, segment.nebSet, row.nebMean, row.nebMeanOffset, row.nebRsd,
          row.nebOffsetPass, row.nebRsdPass);
    judge(segment.evap, segment.evapSet, row.evapMean, row.evapMeanOffset, row.evapRsd,
          row.evapOffsetPass, row.evapRsdPass);
    const auto copy = [](const Extremes& values, double& max, double& min, double& maxOffset,
                         double& minOffset, std::int16_t& outOfBand) {
        max = values.max;
        min = values.min;
        maxOffset = values.maxOffset;
        minOffset = values.minOffset;
        outOfBand = static_cast<std::int16_t>(std::min(values.outOfBand, 32767));
    };
    copy(segment.neb, row.nebMax, row.nebMin, row.nebMaxOffset, row.nebMinOffset, row.nebOutOfBand);
    copy(segment.evap, row.evapMax, row.evapMin, row.evapMaxOffset, row.evapMinOffset,
         row.evapOutOfBand);
    row.gasPass = row.gasPass && segment.gasResponse < kGasLimit;
    if (segment.gasResponse >= kGasLimit) {
        // Show the time that failed the row, not the heating segment's passing one.
        row.gasResponse = static_cast<std::int16_t>(std::min(segment.gasResponse, 32767));
    }
    row.photoMax = segment.photoMax;
    row.photoMin = segment.photoMin;
    row.baselinePass = segment.photoMax < kPhotoLimit;
}

} // namespace kqvdr
