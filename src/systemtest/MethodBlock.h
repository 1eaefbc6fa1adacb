#pragma once

#include "LogRecord.h"
#include "TestResult.h"

#include <optional>
#include <string>
#include <vector>

namespace kqvdr {

struct ReferenceTables;

// The records of one method block, cut into segments by readiness and by changes between
// heating and non-heating modes, and judged when the block ends.
class MethodBlock {
public:
    MethodBlock(int method, bool fineFlow);

    // One record of the block (its method, and not an ERROR record).
    void add(const LogRecord& record);
    // A line that could not be read while this block was being read.
    void lostLine() { ++lostLines_; }
    // The block's row; `lastTime` is the time of the last record converted, which closes the
    // last segment. Nothing when a time text cannot be read.
    std::optional<TestResult> finish(const std::string& lastTime,
                                     const ReferenceTables& tables) const;

private:
    struct Extremes {
        double first = 0;
        double max = 0;
        double min = 0;
        double maxOffset = 0;
        double minOffset = 0;
        double sum = 0;
        int outOfBand = 0;
        std::vector<double> samples; // this segment's own, so its RSD is its own
    };
    struct Segment {
        std::string mode;
        std::string start;
        std::string ready;
        int prevSpan = 0;
        std::string prevSpanText = "0:00:00";
        int nebSet = 0;
        int evapSet = 0;
        double gasSet = 0;
        Extremes neb;
        Extremes evap;
        double photoMax = 0;
        double photoMin = 0;
        int recordCount = 0;
        int gasResponse = 0;
    };

    void startSegment(const LogRecord& record);
    bool gasSettled(const LogRecord& record) const;
    static void track(Extremes& values, double reading, int setpoint, bool ready);
    void evaluateResponse(std::size_t index, const std::string& duration,
                          const ReferenceTables& tables, TestResult& row) const;
    static void evaluateStability(const Segment& segment, TestResult& row);

    int method_;
    bool fineFlow_;
    bool unreadableTime_ = false;
    int lostLines_ = 0;
    float previousFlow_ = 0;
    std::optional<LogRecord> previous_;
    std::vector<Segment> segments_;
};

} // namespace kqvdr
