#include "SystemTestAnalysis.h"

#include "LogRecord.h"
#include "MethodBlock.h"
#include "ReferenceTables.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

namespace kqvdr {
namespace {

constexpr std::size_t kMethodSlots = kLastAnalysedMethod - kFirstAnalysedMethod + 1;

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

std::vector<TestResult> analyseTestLog(std::string_view text, bool fineFlow) {
    const ReferenceTables& tables = referenceTables();
    std::array<bool, kMethodSlots> found{};
    std::array<std::optional<TestResult>, kMethodSlots> rows{};
    std::optional<MethodBlock> block; // the block being read, if any
    int blockMethod = -1;
    std::string lastTime;

    const auto endBlock = [&] {
        if (block) {
            rows[slot(blockMethod)] = block->finish(lastTime, tables);
            block.reset();
        }
    };

    LogPieceReader reader(text);
    std::string_view piece;
    LogRecord record;
    while (reader.next(piece)) {
        if (!readLogRecord(piece, record)) {
            break; // ends the block being read and the search for the rest
        }
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
        if (record.mode == "ERROR") {
            endBlock(); // a block that begins in error holds no records
        } else {
            block->add(record);
        }
    }
    endBlock();

    std::vector<TestResult> results;
    for (const auto& row : rows) {
        if (row) {
            results.push_back(*row);
        }
    }
    return results;
}

std::optional<std::vector<TestResult>> analyseTestLogFile(const std::filesystem::path& path,
                                                          bool fineFlow) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return analyseTestLog(content.view(), fineFlow);
}

bool fineFlowLog(const std::filesystem::path& path) {
    return path.string().find("M03") != std::string::npos;
}

} // namespace kqvdr
