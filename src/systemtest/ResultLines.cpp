#include "ResultLines.h"

#include <algorithm>
#include <cstdio>

namespace kqvdr {
namespace {

constexpr const char* kNone = "-";

const char* passText(bool pass) {
    return pass ? "Pass" : "Fail";
}

// A row that never ran in Run shows no verdict at all, not a pass or a fail nobody measured.
const char* statusText(const TestResult& row, bool pass) {
    return row.segmentJudged() ? passText(pass) : kNone;
}

template <typename... Args> std::string format(const char* pattern, Args... args) {
    char buffer[256];
    const int length = std::snprintf(buffer, sizeof buffer, pattern, args...);
    return length < 0 ? std::string() : std::string(buffer);
}

std::string methodText(const TestResult& row) {
    return std::to_string(row.method);
}

template <typename Line>
std::vector<std::string> linesOf(const std::vector<TestResult>& rows, Line line) {
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (const TestResult& row : rows) {
        lines.push_back(line(row));
    }
    return lines;
}

bool heaterStable(const TestResult& row, Heater heater) {
    return heater == Heater::Nebuliser ? row.nebOffsetPass && row.nebRsdPass
                                       : row.evapOffsetPass && row.evapRsdPass;
}

} // namespace

std::vector<std::string> temperatureResponseLines(const std::vector<TestResult>& rows) {
    return linesOf(rows, [](const TestResult& r) {
        if (!r.hasData) {
            return format("%-2s\t%s\t\t%s\t\t%s\t\t%s", methodText(r).c_str(), kNone, kNone, kNone,
                          kNone);
        }
        return format("%-2s\t%s\t\t%s\t\t%s\t\t%s", methodText(r).c_str(), r.respStart.c_str(),
                      r.respExpected.c_str(), r.respElapsed.c_str(), statusText(r, r.respPass));
    });
}

std::vector<std::string> baselineStabilityLines(const std::vector<TestResult>& rows) {
    return linesOf(rows, [](const TestResult& r) {
        return format("%-2s\t\t%s\t\t%s\t\t%s", methodText(r).c_str(),
                      format("%2.3lf", r.photoLimit).c_str(),
                      r.hasData ? format("%2.3lf", r.photoMax).c_str() : kNone,
                      statusText(r, r.baselinePass));
    });
}

std::vector<std::string> massFlowResponseLines(const std::vector<TestResult>& rows) {
    return linesOf(rows, [](const TestResult& r) {
        return format("%-2s\t\t%d\t\t%s\t\t%s", methodText(r).c_str(), r.gasLimit,
                      r.hasData ? std::to_string(r.gasResponse).c_str() : kNone,
                      statusText(r, r.gasPass));
    });
}

std::vector<std::string> temperatureStabilityLines(const std::vector<TestResult>& rows,
                                                   Heater heater) {
    return linesOf(rows, [heater](const TestResult& r) {
        const bool neb = heater == Heater::Nebuliser;
        const auto shown = [&r](const char* pattern, double value) {
            return r.stabEvaluated ? format(pattern, value) : std::string("-");
        };
        return format("%-2s\t\t%s\t%s\t%s\t%s\t\t%s", methodText(r).c_str(),
                      shown("\u00b1 %2.1lf", neb ? r.nebOffsetLimit : r.evapOffsetLimit).c_str(),
                      shown("%2.1lf", neb ? r.nebMeanOffset : r.evapMeanOffset).c_str(),
                      shown("%2.1lf", neb ? r.nebRsdLimit : r.evapRsdLimit).c_str(),
                      shown("%2.2lf", neb ? r.nebRsd : r.evapRsd).c_str(),
                      statusText(r, heaterStable(r, heater)));
    });
}

Verdict heaterStabilityVerdict(const std::vector<TestResult>& rows, Heater heater) {
    bool shown = false;
    for (const TestResult& row : rows) {
        if (!row.segmentJudged()) {
            continue;
        }
        if (!heaterStable(row, heater)) {
            return Verdict::Failed;
        }
        shown = true;
    }
    return shown ? Verdict::Passed : Verdict::NotTested;
}

std::string methodSettingsText(const std::vector<TestResult>& rows) {
    std::string text = "\nMethod\t\tNeb SetPt\tEvap SetPt\tGas SetPt\n\n";
    for (const TestResult& r : rows) {
        text += r.hasData
                    ? format("%d\t\t%d\t\t%d\t\t%2.2lf\n", r.method, r.nebSet, r.evapSet, r.gasSet)
                    : format("%d\t\t%s\t\t%s\t\t%s\n", r.method, kNone, kNone, kNone);
    }
    return text;
}

} // namespace kqvdr
