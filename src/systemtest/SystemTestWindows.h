#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kqvdr {

// What the operator chose in the identification dialog.
struct TestInstrument {
    std::string testSerial; // "003_001" or "M03_001"
    bool saveToNetwork = false;
    std::filesystem::path networkLogPath;
};

// The windows the system test opens and closes; the widgets implement it, tests script it.
class SystemTestWindows {
public:
    virtual ~SystemTestWindows() = default;

    // The identification dialog with the timetable's start and end; nothing when cancelled.
    virtual std::optional<TestInstrument> identifyInstrument(const std::string& start,
                                                             const std::string& end) = 0;
    virtual void minimiseMainWindow() = 0;
    virtual void restoreMainWindow() = 0;
    // Creates the progress window, or brings the open one forward. Times are "HH:MM:SS".
    virtual void openProgress(const std::string& shownSerial, const std::string& startTime,
                              const std::string& endTime) = 0;
    virtual void startCounting() = 0;
    // Hides and forgets the progress window.
    virtual void closeProgress() = 0;
    // The results dialog, modal: it analyses the log while it opens.
    virtual void showResults(const std::string& testSerial, const std::filesystem::path& log) = 0;
    // A message with a caption of its own.
    virtual void warning(const std::string& caption, const std::string& text) = 0;
};

} // namespace kqvdr
