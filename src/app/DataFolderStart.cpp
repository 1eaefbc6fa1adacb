#include "DataFolderStart.h"

#include "AppTexts.h"
#include "DataFolderTexts.h"
#include "EarlierDataCopy.h"
#include "MessageBoxes.h"
#include "OperatingSystemUser.h"
#include "ProcessWindow.h"
#include "Utf8Path.h"

#include <QGuiApplication>
#include <cstdio>

namespace kqvdr {
namespace {

// On the offscreen and minimal platforms nobody could see a message box, nor close it: the
// standard error has to do.
bool aPersonSeesWindows() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace

DataFolderClaim claimDataFolder(DataFolderLock& lock, const std::filesystem::path& dir,
                                MessageBoxes& messageBoxes) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    const std::string folder = utf8FromPath(dir);
    switch (lock.acquire(dir, operatingSystemUser())) {
    case DataFolderLock::Result::Held:
        return DataFolderClaim::Ours;
    case DataFolderLock::Result::Failed:
        std::fprintf(stderr,
                     "kqvdr1000-control: the data folder %s cannot be locked (%s); "
                     "nothing keeps a second copy of the program off it\n",
                     folder.c_str(), lock.error().message().c_str());
        return DataFolderClaim::Unlocked;
    case DataFolderLock::Result::HeldByAnother:
        break;
    }
    const std::string text = alreadyRunningText(folder, lock.holder());
    std::fprintf(stderr, "kqvdr1000-control: %s\n", text.c_str());
    if (aPersonSeesWindows()) {
        messageBoxes.show(nullptr, {std::string(startupTitle), "\n" + text + "\n",
                                    MessageIcon::Exclamation, MessageButtons::Ok});
    }
    // After the message: the person has just answered it, so this program may still hand the
    // foreground to the other.
    if (lock.holder().processId > 0) {
        bringProcessWindowToFront(lock.holder().processId);
    }
    return DataFolderClaim::TakenByAnother;
}

void copyEarlierDataOnce(const DataDirectory& data, MessageBoxes& messageBoxes) {
    if (data.earlierDir.empty()) {
        return;
    }
    const EarlierDataCopy copy = copyEarlierData(data.earlierDir, data.dir);
    const std::string text =
        earlierDataCopyText(copy, utf8FromPath(data.earlierDir), utf8FromPath(data.dir));
    if (text.empty()) {
        return;
    }
    std::fprintf(stderr, "kqvdr1000-control: %s", text.c_str());
    if (aPersonSeesWindows()) {
        messageBoxes.show(nullptr, {std::string(startupTitle), text, MessageIcon::Information,
                                    MessageButtons::Ok});
    }
}

} // namespace kqvdr
