#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace kqvdr {

// Where the program keeps its data files, and where the files it ships with come from.
struct DataDirectory {
    std::filesystem::path dir;
    // The folder whose supplied files (method files, the system-test timetable) are copied into
    // `dir` where missing; empty when `dir` already holds them (a build tree).
    std::filesystem::path suppliedFrom;
    // The per-user folder an earlier version kept its data in, when `dir` is the folder shared
    // by every account instead: its files are copied over once. Empty otherwise.
    std::filesystem::path earlierDir = {};
};

// The supplied-files folder of an installed program, <prefix>/share/kqvdr1000-control beside its
// <prefix>/bin; nothing for a program run from its build tree. Decided by the layout alone:
// write permission says nothing when root runs the program.
std::optional<std::filesystem::path> installedShareDir(const std::filesystem::path& executableDir);

// --dir when given; else, for an installed program, the folder shared by every account where
// the system has one (Windows), or the per-user data directory; or the executable's own
// directory in a build tree. A --dir is seeded from wherever the supplied files are.
DataDirectory chooseDataDirectory(const std::optional<std::string>& dirOption,
                                  const std::filesystem::path& executableDir,
                                  const std::filesystem::path& userDataDir,
                                  const std::filesystem::path& sharedDataDir = {});

// The same choice for this running program: its executable's folder, the per-user application
// data folder (%LOCALAPPDATA%\kqvdr1000-control on Windows, ~/.local/share/kqvdr1000-control on
// Linux) and on Windows the shared %ProgramData%\KQ-VDR1000 Control, which the installer makes
// with modify rights for the Users group. Needs a Qt application object.
DataDirectory programDataDirectory(const std::optional<std::string>& dirOption);

// A file the program ships with, as opposed to one that holds the operator's own settings
// ("Names.mtd", "Methods.mtd", "Auto.seq", the port file, logs).
bool isSuppliedDataFile(const std::string& fileName);

// Creates the directory when needed and copies into it each supplied file it lacks. A newer
// supplied version replaces the user's copy only while that copy is still the one supplied
// before (SuppliedRecord); a file the user changed is kept, and its name goes once into
// keptOverNewer, so that the user can be told. Returns the first failure; the other files are
// still copied.
std::error_code seedDataDirectory(const DataDirectory& data,
                                  std::vector<std::string>* keptOverNewer = nullptr);

} // namespace kqvdr
