#pragma once

#include "TestResult.h"

namespace kqvdr::test {

// A method that passes all four tests, with values that tell its cells apart.
inline TestResult passingRow(int method) {
    TestResult row;
    row.method = static_cast<std::int16_t>(method);
    row.hasData = true;
    row.respEvaluated = true;
    row.nebSet = 40;
    row.evapSet = 50;
    row.gasSet = 1.2;
    row.respExpected = "0:12:30";
    row.respElapsed = "0:10:05";
    row.stabEvaluated = true;
    row.nebOffsetPass = row.nebRsdPass = row.evapOffsetPass = row.evapRsdPass = true;
    row.nebMeanOffset = 0.12;
    row.evapMeanOffset = -0.3;
    row.nebRsd = 0.18;
    row.evapRsd = 0.25;
    row.photoMax = 0.042;
    row.gasResponse = 35;
    return row;
}

} // namespace kqvdr::test
