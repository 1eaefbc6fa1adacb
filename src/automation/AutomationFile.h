#pragma once

#include "ArchiveFile.h"
#include "AutomationEvent.h"

#include <filesystem>
#include <system_error>

namespace kqvdr {

inline constexpr const char* kAutomationFile = "Auto.seq";

struct TimetableRead {
    ArchiveReadStatus status = ArchiveReadStatus::CannotOpen;
    Timetable events = defaultTimetable(); // the defaults unless status is Ok
    std::error_code error;                 // why it is Unreadable
};

// "Auto.seq": forty archived strings, the four fields of events 1 to 10 in order.
TimetableRead readAutomationFile(const std::filesystem::path& programDir);
std::error_code writeAutomationFile(const std::filesystem::path& programDir,
                                    const Timetable& events);

} // namespace kqvdr
