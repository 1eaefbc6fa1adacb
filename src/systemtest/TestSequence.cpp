#include "TestSequence.h"

namespace kqvdr {
namespace {

constexpr std::size_t kFieldsPerStep = 3;
constexpr std::size_t kFileStrings = kAutomationEventCount * kFieldsPerStep;

} // namespace

TestSequenceRead readTestSequence(const std::filesystem::path& programDir) {
    const ArchiveReadResult read = readArchiveFile(programDir / kTestSequenceFile, kFileStrings);
    TestSequenceRead result;
    result.status = read.status;
    result.error = read.error;
    if (read.status != ArchiveReadStatus::Ok) {
        return result;
    }
    for (std::size_t i = 0; i < result.steps.size(); ++i) {
        const auto field = [&](std::size_t n) { return read.strings[i * kFieldsPerStep + n]; };
        result.steps[i] = {"", field(0), field(1), field(2)};
    }
    return result;
}

std::error_code writeTestSequence(const std::filesystem::path& path, const Timetable& steps) {
    std::vector<std::string> strings;
    strings.reserve(kFileStrings);
    for (const AutomationEvent& step : steps) {
        strings.insert(strings.end(), {step.eventTime, step.eventMode, step.eventMethod});
    }
    return writeArchiveFile(path, strings);
}

void loadTestSteps(AutomationTable& table, const Timetable& steps) {
    for (int number = 1; number <= kAutomationEventCount; ++number) {
        const AutomationEvent& step = steps[static_cast<std::size_t>(number - 1)];
        AutomationEvent& slot = table.event(number);
        slot.eventTime = step.eventTime;
        slot.eventMode = step.eventMode;
        slot.eventMethod = step.eventMethod;
    }
}

std::string testStartTime(const AutomationTable& table) {
    return table.event(1).eventTime;
}

std::string testEndTime(const AutomationTable& table) {
    if (table.event(kAutomationEventCount).eventTime != kUnsetEventTime) {
        return table.event(kAutomationEventCount).eventTime;
    }
    std::string end;
    for (int number = 1; number <= kAutomationEventCount; ++number) {
        if (table.event(number).eventTime == kUnsetEventTime) {
            break;
        }
        end = table.event(number).eventTime;
    }
    return end;
}

} // namespace kqvdr
