#include "CKQVDR1000ControlApp.h"

#include "AppResources.h"
#include "AppTexts.h"
#include "ProgramDir.h"

namespace kqvdr {

CKQVDR1000ControlApp::CKQVDR1000ControlApp(CommandLine commandLine, const std::string& defaultDir,
                                           QObject* parent)
    : QObject(parent), commandLine_(std::move(commandLine)),
      programDir_(resolveProgramDir(commandLine_.programDir, defaultDir)),
      title_(toQString(startupTitle)) {}

void CKQVDR1000ControlApp::setTitle(const QString& title) {
    if (title == title_) {
        return;
    }
    title_ = title;
    emit titleChanged(title_);
}

} // namespace kqvdr
