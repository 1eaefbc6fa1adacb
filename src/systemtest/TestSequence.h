#pragma once

#include "ArchiveFile.h"
#include "AutomationEvent.h"

#include <filesystem>
#include <string>

namespace kqvdr {

inline constexpr const char* kTestSequenceFile = "Test.seq";

struct TestSequenceRead {
    ArchiveReadStatus status = ArchiveReadStatus::CannotOpen;
    std::error_code error;                // why it is Unreadable
    Timetable steps = defaultTimetable(); // times, modes and methods; days stay empty
};

// "Test.seq": thirty archived strings, the time, mode word and method of steps 1 to 10.
TestSequenceRead readTestSequence(const std::filesystem::path& programDir);
std::error_code writeTestSequence(const std::filesystem::path& path, const Timetable& steps);

// Steps go into slots 1 to 10 of the shared event table; the days there are the automation's
// and stay as they are.
void loadTestSteps(AutomationTable& table, const Timetable& steps);

// The timetable's first time, and its last: step 10's when set, otherwise that of the last set
// step before the first unset one (empty when step 1 is unset).
std::string testStartTime(const AutomationTable& table);
std::string testEndTime(const AutomationTable& table);

} // namespace kqvdr
