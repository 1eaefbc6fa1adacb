#include "AnalysisCsv.h"

#include "CsvWriter.h"

#include <array>

namespace kqvdr {
namespace {

std::string flag(bool value) {
    return value ? "true" : "false";
}

} // namespace

std::string analysisCsv(const std::vector<TestResult>& rows) {
    CsvWriter csv;
    csv.record(std::array<const char*, 27>{
        "method",    "respStart",      "respElapsed",   "respExpected", "respPass",
        "stabStart", "stabDuration",   "stabEvaluated", "nebSet",       "nebMeanOffset",
        "nebRsd",    "nebOffsetPass",  "nebRsdPass",    "evapSet",      "evapMeanOffset",
        "evapRsd",   "evapOffsetPass", "evapRsdPass",   "gasSet",       "gasResponse",
        "gasLimit",  "gasPass",        "photoMax",      "photoLimit",   "baselinePass",
        "hasData",   "unreadableLines"});
    for (const TestResult& r : rows) {
        csv.record(std::array<std::string, 27>{std::to_string(r.method),
                                               r.respStart,
                                               r.respElapsed,
                                               r.respExpected,
                                               flag(r.respPass),
                                               r.stabStart,
                                               r.stabDuration,
                                               flag(r.stabEvaluated),
                                               std::to_string(r.nebSet),
                                               CsvWriter::number(r.nebMeanOffset, 2),
                                               CsvWriter::number(r.nebRsd, 2),
                                               flag(r.nebOffsetPass),
                                               flag(r.nebRsdPass),
                                               std::to_string(r.evapSet),
                                               CsvWriter::number(r.evapMeanOffset, 2),
                                               CsvWriter::number(r.evapRsd, 2),
                                               flag(r.evapOffsetPass),
                                               flag(r.evapRsdPass),
                                               CsvWriter::number(r.gasSet, 2),
                                               std::to_string(r.gasResponse),
                                               std::to_string(r.gasLimit),
                                               flag(r.gasPass),
                                               CsvWriter::number(r.photoMax, 3),
                                               CsvWriter::number(r.photoLimit, 3),
                                               flag(r.baselinePass),
                                               flag(r.hasData),
                                               std::to_string(r.unreadableLines)});
    }
    return csv.text();
}

} // namespace kqvdr
