#include "AutomationFile.h"

namespace kqvdr {
namespace {

constexpr std::size_t kFieldsPerEvent = 4;
constexpr std::size_t kFileStrings = kAutomationEventCount * kFieldsPerEvent;

} // namespace

TimetableRead readAutomationFile(const std::filesystem::path& programDir) {
    const ArchiveReadResult read = readArchiveFile(programDir / kAutomationFile, kFileStrings);
    TimetableRead result;
    result.status = read.status;
    result.error = read.error;
    if (read.status != ArchiveReadStatus::Ok) {
        return result;
    }
    for (std::size_t i = 0; i < result.events.size(); ++i) {
        const auto field = [&](std::size_t n) { return read.strings[i * kFieldsPerEvent + n]; };
        result.events[i] = {field(0), field(1), field(2), field(3)};
    }
    return result;
}

std::error_code writeAutomationFile(const std::filesystem::path& programDir,
                                    const Timetable& events) {
    std::vector<std::string> strings;
    strings.reserve(kFileStrings);
    for (const AutomationEvent& event : events) {
        strings.insert(strings.end(),
                       {event.eventDay, event.eventTime, event.eventMode, event.eventMethod});
    }
    return writeArchiveFile(programDir / kAutomationFile, strings);
}

} // namespace kqvdr
