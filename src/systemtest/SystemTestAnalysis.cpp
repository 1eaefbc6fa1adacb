#include "SystemTestAnalysis.h"

#include "FileReplace.h"
#include "LogRecord.h"
#include "MethodBlock.h"
#include "ReferenceTables.h"
#include "Utf8Path.h"

#include <array>

namespace kqvdr {
namespace {

constexpr std::size_t kMethodSlots = kLastAnalysedMethod - kFirstAnalysedMethod + 1;
// A test night writes about 150 KB; the limit only keeps a wrong file from filling the memory.
constexpr std::size_t kLargestLog = std::size_t{1} << 30;

const ReferenceTables& referenceTables() {
    static const ReferenceTables tables;
    return tables;
}

bool analysed(int method) {
    return method >= kFirstAnalysedMethod && method <= kLastAnalysedMethod;
}

std::size_t slot(int method) {
    return static_cast<std::size_t>(method - kFirstAnalysedMethod);
}

} // namespace

LogAnalysis analyseLog(std::string_view text, bool fineFlow) {
    const ReferenceTables& tables = referenceTables();
    LogAnalysis analysis;
    std::array<bool, kMethodSlots> found{};
    std::array<std::optional<TestResult>, kMethodSlots> rows{};
    std::optional<MethodBlock> block; // the block being read, if any
    int blockMethod = -1;
    int lostBeforeBlock = 0; // unreadable lines since the last record, while no block was open
    std::string lastTime;

    const auto endBlock = [&] {
        if (block) {
            rows[slot(blockMethod)] = block->finish(lastTime, tables);
            block.reset();
        }
    };

    LogLineReader reader(text);
    std::string_view line;
    LogRecord record;
    while (reader.next(line)) {
        if (!readLogRecord(line, record)) {
            if (blankLine(line)) {
                continue;
            }
            if (analysis.unreadableLines++ == 0) {
                analysis.firstUnreadableLine = reader.lineNumber();
            }
            if (block) {
                block->lostLine();
            } else {
                ++lostBeforeBlock;
            }
            continue;
        }
        const int lostHere = lostBeforeBlock;
        lostBeforeBlock = 0;
        lastTime = record.time;
        if (block && (record.method != blockMethod || record.mode == "ERROR")) {
            endBlock();
        }
        if (block) {
            block->add(record);
            continue;
        }
        if (!analysed(record.method) || found[slot(record.method)]) {
            continue;
        }
        found[slot(record.method)] = true;
        blockMethod = record.method;
        block.emplace(record.method, fineFlow);
        // Lines lost just before a block's first record may have been its own.
        for (int i = 0; i < lostHere; ++i) {
            block->lostLine();
        }
        if (record.mode == "ERROR") {
            endBlock(); // a block that begins in error holds no records
        } else {
            block->add(record);
        }
    }
    endBlock();

    for (const auto& row : rows) {
        if (row) {
            analysis.rows.push_back(*row);
        }
    }
    return analysis;
}

std::vector<TestResult> analyseTestLog(std::string_view text, bool fineFlow) {
    return analyseLog(text, fineFlow).rows;
}

std::error_code analyseLogFile(const std::filesystem::path& path, bool fineFlow,
                               LogAnalysis& analysis) {
    std::string text;
    if (const auto error = readWholeFile(path, text, kLargestLog)) {
        return error;
    }
    analysis = analyseLog(text, fineFlow);
    return {};
}

std::optional<std::vector<TestResult>> analyseTestLogFile(const std::filesystem::path& path,
                                                          bool fineFlow) {
    LogAnalysis analysis;
    if (analyseLogFile(path, fineFlow, analysis)) {
        return std::nullopt;
    }
    return std::move(analysis.rows);
}

bool fineFlowLog(const std::filesystem::path& path) {
    return utf8FromPath(path).find("M03") != std::string::npos;
}

std::string unreadableLinesText(const LogAnalysis& analysis) {
    if (analysis.unreadableLines == 0) {
        return {};
    }
    const bool one = analysis.unreadableLines == 1;
    return std::to_string(analysis.unreadableLines) + (one ? " line" : " lines") +
           " of the log could not be read and " + (one ? "was" : "were") + " left out; " +
           (one ? "it" : "the first") + " is line " + std::to_string(analysis.firstUnreadableLine) +
           ".";
}

} // namespace kqvdr
