#include "AnalysisOutput.h"

#include "SystemTestAnalysis.h"
#include "TestVerdicts.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kqvdr {
namespace {

// Decimals with a point whatever the locale: the output is read by other programs.
std::string number(double value, int decimals = -1) {
    if (!std::isfinite(value)) {
        return "null";
    }
    std::array<char, 64> buffer{};
    const auto result = decimals < 0
                            ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), value)
                            : std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    return result.ec == std::errc{} ? std::string(buffer.data(), result.ptr) : "null";
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

class JsonObject {
public:
    void field(const char* name, const std::string& rawValue) {
        text_ += (text_.empty() ? "{" : ",") + quoted(name) + ":" + rawValue;
    }
    void field(const char* name, const char* text) { field(name, quoted(text)); }
    void text(const char* name, const std::string& value) { field(name, quoted(value)); }
    void flag(const char* name, bool value) { field(name, std::string(value ? "true" : "false")); }
    void value(const char* name, double value) { field(name, number(value)); }
    void value(const char* name, int value) { field(name, std::to_string(value)); }
    std::string close() const { return (text_.empty() ? "{" : text_) + "}"; }

private:
    std::string text_;
};

// A row that lost lines says so at its end.
std::string lostLinesNote(const TestResult& row) {
    if (row.unreadableLines == 0) {
        return {};
    }
    return "  (" + std::to_string(row.unreadableLines) +
           (row.unreadableLines == 1 ? " line" : " lines") + " unreadable)";
}

std::string rowJson(const TestResult& r) {
    JsonObject o;
    o.value("method", r.method);
    o.text("respStart", r.respStart);
    o.text("respElapsed", r.respElapsed);
    o.text("respExpected", r.respExpected);
    o.flag("respPass", r.respPass);
    o.text("stabStart", r.stabStart);
    o.text("stabDuration", r.stabDuration);
    o.value("nebSet", r.nebSet);
    o.value("nebMax", r.nebMax);
    o.value("nebMin", r.nebMin);
    o.value("nebMean", r.nebMean);
    o.value("nebMeanOffset", r.nebMeanOffset);
    o.value("nebMaxOffset", r.nebMaxOffset);
    o.value("nebMinOffset", r.nebMinOffset);
    o.value("nebOffsetLimit", r.nebOffsetLimit);
    o.value("nebRsdLimit", r.nebRsdLimit);
    o.value("nebRsd", r.nebRsd);
    o.flag("nebOffsetPass", r.nebOffsetPass);
    o.flag("nebRsdPass", r.nebRsdPass);
    o.value("nebOutOfBand", r.nebOutOfBand);
    o.value("evapSet", r.evapSet);
    o.value("evapMax", r.evapMax);
    o.value("evapMin", r.evapMin);
    o.value("evapMean", r.evapMean);
    o.value("evapMeanOffset", r.evapMeanOffset);
    o.value("evapMaxOffset", r.evapMaxOffset);
    o.value("evapMinOffset", r.evapMinOffset);
    o.value("evapOffsetLimit", r.evapOffsetLimit);
    o.value("evapRsdLimit", r.evapRsdLimit);
    o.value("evapRsd", r.evapRsd);
    o.flag("evapOffsetPass", r.evapOffsetPass);
    o.flag("evapRsdPass", r.evapRsdPass);
    o.value("evapOutOfBand", r.evapOutOfBand);
    o.flag("stabEvaluated", r.stabEvaluated);
    o.value("gasSet", r.gasSet);
    o.value("gasResponse", r.gasResponse);
    o.value("gasLimit", r.gasLimit);
    o.flag("gasPass", r.gasPass);
    o.value("photoMax", r.photoMax);
    o.value("photoMin", r.photoMin);
    o.value("photoLimit", r.photoLimit);
    o.flag("baselinePass", r.baselinePass);
    o.flag("hasData", r.hasData);
    o.value("unreadableLines", r.unreadableLines);
    return o.close();
}

} // namespace

std::string analysisTable(const AnalysisOutput& analysis) {
    std::string out = "System test of " + analysis.serial + " (" +
                      (analysis.fineFlow ? "fine" : "standard") + " gas-flow range)\n\n";
    out += "Method  Start     Expected  Elapsed   Resp  Neb off  Neb RSD  Evap off  Evap RSD  "
           "Stab  Photo max  Base  Gas s  Gas\n";
    for (const TestResult& r : analysis.rows) {
        if (!r.hasData) {
            char line[128];
            std::snprintf(
                line, sizeof line,
                "%6d  %-8s  %-8s  %-8s  %-4s  %7s  %7s  %8s  %8s  %-4s  %9s  %-4s  %5s  %s",
                r.method, "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-");
            out += line + lostLinesNote(r) + "\n";
            continue;
        }
        const auto stab = [&r](double value, int decimals) {
            return r.stabEvaluated ? number(value, decimals) : std::string("-");
        };
        const auto status = [&r](SystemTest test) { return rowStatusText(r, test); };
        char line[256];
        std::snprintf(line, sizeof line,
                      "%6d  %-8s  %-8s  %-8s  %-4s  %7s  %7s  %8s  %8s  %-4s  %9s  %-4s  %5d  %s",
                      r.method, r.respStart.c_str(), r.respExpected.c_str(), r.respElapsed.c_str(),
                      status(SystemTest::TemperatureResponse), stab(r.nebMeanOffset, 1).c_str(),
                      stab(r.nebRsd, 2).c_str(), stab(r.evapMeanOffset, 1).c_str(),
                      stab(r.evapRsd, 2).c_str(), status(SystemTest::TemperatureStability),
                      number(r.photoMax, 3).c_str(), status(SystemTest::BaselineStability),
                      r.gasResponse, status(SystemTest::MassFlow));
        out += line + lostLinesNote(r) + "\n";
    }
    if (analysis.rows.empty()) {
        out += "(no method blocks in this log)\n";
    }
    out += "\n";
    if (const std::string unread =
            unreadableLinesText({{}, analysis.unreadableLines, analysis.firstUnreadableLine});
        !unread.empty()) {
        out += unread + "\n\n";
    }
    const TestVerdicts verdicts = overallVerdicts(analysis.rows);
    for (int i = 0; i < kSystemTestCount; ++i) {
        const auto test = static_cast<SystemTest>(i);
        char line[96];
        std::snprintf(line, sizeof line, "%-24s %s\n", systemTestLabel(test),
                      verdictWord(verdicts.of(test)));
        out += line;
    }
    return out;
}

std::string analysisJson(const AnalysisOutput& analysis) {
    std::string rows = "[";
    for (std::size_t i = 0; i < analysis.rows.size(); ++i) {
        rows += (i == 0 ? "" : ",") + rowJson(analysis.rows[i]);
    }
    rows += "]";
    JsonObject verdicts;
    const TestVerdicts overall = overallVerdicts(analysis.rows);
    for (int i = 0; i < kSystemTestCount; ++i) {
        const auto test = static_cast<SystemTest>(i);
        verdicts.field(systemTestName(test), verdictWord(overall.of(test)));
    }
    JsonObject o;
    o.text("serial", analysis.serial);
    o.flag("fineFlow", analysis.fineFlow);
    o.field("rows", rows);
    o.field("unreadableLines", std::to_string(analysis.unreadableLines));
    o.field("firstUnreadableLine", analysis.unreadableLines == 0
                                       ? std::string("null")
                                       : std::to_string(analysis.firstUnreadableLine));
    o.field("verdicts", verdicts.close());
    return o.close() + "\n";
}

} // namespace kqvdr
