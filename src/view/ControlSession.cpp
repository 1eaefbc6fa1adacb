#include "ControlSession.h"

#include "CKQVDR1000ControlView.h"
#include "CMethodEditor.h"
#include "CSaveMethodAsDlg.h"
#include "CutShortRuns.h"
#include "MessageBoxes.h"
#include "PlatformSleepInhibitor.h"
#include "SaveLogPath.h"
#include "Utf8Path.h"

#include <QDir>
#include <clocale>
#include <csignal>

namespace kqvdr {

namespace {

const char* const kTimerMessage =
    "\nERROR INSTALLING TIMER\n\n\nThis can be caused by having too many Windows applications "
    "open\nthat use the system clock.\n\nClose down some of the other Windows applications "
    "before attempting\nto restart KQ-VDR 1000 Control.\n ";

} // namespace

void ControlSession::reportAuditFailure(const std::string& reason) {
    person_.message("\nThe audit trail \"" + utf8FromPath(records_.trail().path()) +
                        "\" cannot be written (" + reason +
                        ").\n\nThe program goes on. Events that cannot be written are not "
                        "recorded.\n",
                    MessageIcon::Exclamation, MessageButtons::Ok);
}

ControlSession::ControlSession(const Settings& settings, MessageBoxes& messages,
                               std::function<QString()> title, QWidget* dialogParent)
    : driver_(PortDevices(settings.device), settings.steadyClock),
      clock_(settings.clock != nullptr ? *settings.clock : wallClock_),
      records_(state_, driver_, clock_, settings.programDir, operatingSystemUser(),
               [this](const std::string& reason) { reportAuditFailure(reason); }),
      receiver_(driver_), faultDialogs_(dialogParent), heartbeat_(
                                                           [this] {
                                                               poll_->tick();
                                                               keepAwake_.tick();
                                                               if (records_.tickEnded()) {
                                                                   emit trendSampled();
                                                               }
                                                           },
                                                           settings.tickPeriod),
      person_(dialogParent, messages, faultDialogs_, heartbeat_, std::move(title)),
      view_(new CKQVDR1000ControlView(state_, link_)),
      link_(state_, records_.driver(), *view_, person_, settings.programDir),
      log_(state_, clock_, person_, settings.programDir,
           saveLogStartDirectory(settings.programDir, QDir::homePath().toStdString())),
      automation_(state_, records_.driver(), clock_, automationTable_,
                  {[this] { log_.startFreshLog(); },
                   [this] {
                       if (automationStopped_) {
                           automationStopped_();
                       }
                   },
                   [this] { log_.saveCurrentLog(); }}),
      ownSleepInhibitor_(settings.sleepInhibitor != nullptr ? nullptr : platformSleepInhibitor()),
      keepAwake_({log_, automation_, systemTest_}, settings.sleepInhibitor != nullptr
                                                       ? *settings.sleepInhibitor
                                                       : *ownSleepInhibitor_),
      programDir_(settings.programDir) {
    poll_ = std::make_unique<StatusPoll>(state_, StatusPoll::Ports{records_.driver(), receiver_,
                                                                   *view_, person_, *view_, log_,
                                                                   automation_, systemTest_});
    systemTest_.setAuditSink(&records_);
    automation_.keepMarker(programDir_ / kAutomationMarkerFile);
    CMethodEditor& editor = view_->methodEditor();
    methods_ =
        std::make_unique<MethodStore>(state_, records_.driver(), person_, editor, programDir_);
    records_.attach(*poll_, *methods_, log_, automation_);
    records_.onUsageProblem([this](const std::string& text) {
        person_.message(text, MessageIcon::Exclamation, MessageButtons::Ok);
    });
    editor.attach(*methods_, person_,
                  [this, &messages, dialogParent](const SaveMethodAsChoice& initial) {
                      SaveMethodAsChoice choice;
                      heartbeat_.runModal([&] {
                          CSaveMethodAsDlg dialog(person_.title(), messages, initial, dialogParent);
                          dialog.exec();
                          choice = dialog.choice();
                      });
                      return choice;
                  });
}

ControlSession::~ControlSession() {
    if (view_ != nullptr && view_->parent() == nullptr) {
        delete view_;
    }
}

bool ControlSession::start() {
    // Decimal numbers on screen follow the user's regional settings; the log writes its own.
    std::setlocale(LC_ALL, "");
#ifndef _WIN32
    // A log write beyond a file-size limit then fails and is reported instead of ending the
    // program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    records_.programStarted();
    if (!link_.openLink()) {
        return false;
    }
    keepAwake_.linkOpened();
    if (!heartbeat_.start()) {
        person_.message(kTimerMessage, MessageIcon::Stop, MessageButtons::Ok);
        person_.terminate(1);
        return false;
    }
    methods_->readMethodNames();
    // Before the instrument is asked for its methods, so its answer holds any sent back.
    reportRunsCutShort(programDir_, person_, &records_, *methods_);
    link_.requestInstrumentSettings();
    return true;
}

void ControlSession::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    heartbeat_.stop();
    keepAwake_.linkClosed();
    log_.close();
    records_.programExiting();
    driver_.ClosePort(kChannel);
}

} // namespace kqvdr
