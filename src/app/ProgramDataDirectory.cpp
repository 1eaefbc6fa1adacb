#include "DataDirectory.h"

#include <QCoreApplication>
#include <QStandardPaths>

#ifdef _WIN32
#include <windows.h>
// The shell's headers need the declarations of windows.h before them.
#include <knownfolders.h>
#include <shlobj.h>
#endif

namespace kqvdr {
namespace {

// Every account of a laboratory PC works with the one instrument, so on Windows they share one
// set of methods, logs, audit trail and usage counters.
std::filesystem::path sharedDataDirectory() {
#ifdef _WIN32
    wchar_t* programData = nullptr;
    std::filesystem::path shared;
    if (::SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &programData) == S_OK) {
        shared = std::filesystem::path(programData) / L"KQ-VDR1000 Control";
    }
    ::CoTaskMemFree(programData);
    return shared;
#else
    return {}; // each account keeps its own, as Linux programs do
#endif
}

} // namespace

// QString to path through UTF-16, so that a user folder outside the system's code page stays
// the same folder.
DataDirectory programDataDirectory(const std::optional<std::string>& dirOption) {
    const QString executableDir = QCoreApplication::applicationDirPath();
    const QString userDataDir =
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return chooseDataDirectory(dirOption, std::filesystem::path(executableDir.toStdU16String()),
                               std::filesystem::path(userDataDir.toStdU16String()),
                               sharedDataDirectory());
}

} // namespace kqvdr
