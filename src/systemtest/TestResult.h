#pragma once

#include <cstdint>
#include <string>

namespace kqvdr {

// The limits every row is judged against.
inline constexpr double kOffsetLimit = 0.5;    // °C of mean offset either way
inline constexpr double kRsdLimit = 1.0;       // per cent
inline constexpr std::int16_t kGasLimit = 270; // seconds, strict
inline constexpr double kPhotoLimit = 0.15;    // volts, strict

// One analysed method of a system test log: what the results dialog, its detail dialogs and the
// performance report show. Fields no segment of the block sets keep these neutral values, never
// another method's; the flags below say which of them rest on records.
struct TestResult {
    std::int16_t method = 0;

    bool hasData = false;       // the block holds records; false when it began in ERROR
    bool respEvaluated = false; // a heating segment was judged
    int unreadableLines = 0;    // lines that could not be read while the block was being read

    std::string respStart = "-";
    std::string respElapsed = "0:00:00";
    std::string respExpected = "0:00:00";
    bool respPass = true;

    std::string stabStart;
    std::string stabDuration;

    std::int16_t nebSet = 0;
    double nebMax = 0;
    double nebMin = 0;
    double nebMean = 0;
    double nebMeanOffset = 0;
    double nebMaxOffset = 0;
    double nebMinOffset = 0;
    double nebOffsetLimit = kOffsetLimit;
    double nebRsdLimit = kRsdLimit;
    double nebRsd = 0;
    bool nebOffsetPass = false;
    bool nebRsdPass = false;
    std::int16_t nebOutOfBand = 0;

    std::int16_t evapSet = 0;
    double evapMax = 0;
    double evapMin = 0;
    double evapMean = 0;
    double evapMeanOffset = 0;
    double evapMaxOffset = 0;
    double evapMinOffset = 0;
    double evapOffsetLimit = kOffsetLimit;
    double evapRsdLimit = kRsdLimit;
    double evapRsd = 0;
    bool evapOffsetPass = false;
    bool evapRsdPass = false;
    std::int16_t evapOutOfBand = 0;

    bool stabEvaluated = false;

    double gasSet = 0;
    std::int16_t gasResponse = 0;
    std::int16_t gasLimit = kGasLimit;
    bool gasPass = true;

    double photoMax = 0;
    double photoMin = 0;
    double photoLimit = kPhotoLimit;
    bool baselinePass = true;

    bool stable() const { return nebOffsetPass && nebRsdPass && evapOffsetPass && evapRsdPass; }
    // Every segment in Run or Gas Save is a heating or a stable one, so this is whether the block
    // was in Run at all: what every test needs to have been attempted.
    bool segmentJudged() const { return respEvaluated || stabEvaluated; }
};

} // namespace kqvdr
