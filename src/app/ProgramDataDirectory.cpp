#include "DataDirectory.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace kqvdr {

// QString to path through UTF-16, so that a user folder outside the system's code page stays
// the same folder.
DataDirectory programDataDirectory(const std::optional<std::string>& dirOption) {
    const QString executableDir = QCoreApplication::applicationDirPath();
    const QString userDataDir =
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return chooseDataDirectory(dirOption, std::filesystem::path(executableDir.toStdU16String()),
                               std::filesystem::path(userDataDir.toStdU16String()));
}

} // namespace kqvdr
