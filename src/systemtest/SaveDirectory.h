#pragma once

#include <filesystem>
#include <string>

namespace kqvdr {

inline constexpr const char* kSaveDirectoryFile = "savedir.txt";

// Where "savedir.txt" sends the test log of `testSerial`.
struct SaveDirectoryCheck {
    enum class Outcome {
        Local,       // no "savedir.txt": the log stays in the program's directory
        Network,     // the log goes to `networkLogPath`
        Unreachable, // the directory named there does not exist
    };
    Outcome outcome = Outcome::Local;
    std::filesystem::path networkLogPath;
    bool earlierTest = false; // a log of this serial number is already there
};

// Reads the directory as the file holds it: the last piece of at most 98 characters, a piece
// ending after a line break, taken exactly as read, so that a trailing line break is part of
// the name (and such a directory does not exist).
SaveDirectoryCheck checkSaveDirectory(const std::filesystem::path& programDir,
                                      const std::string& testSerial);

} // namespace kqvdr
