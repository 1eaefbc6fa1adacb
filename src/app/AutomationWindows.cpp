#include "AutomationWindows.h"

#include "CAutomationDlg.h"
#include "CMainFrame.h"
#include "CStopAutomationDlg.h"
#include "ControlSession.h"
#include "QtOperator.h"

namespace kqvdr {
namespace {

void bringForward(QWidget* window) {
    window->showNormal();
    window->raise();
    window->activateWindow();
}

} // namespace

AutomationWindows::AutomationWindows(ControlSession& session, CMainFrame& frame,
                                     MessageBoxes& messages, std::function<bool()> refused)
    : QObject(&frame), session_(session), frame_(frame), messages_(messages),
      refused_(std::move(refused)) {
    session_.onAutomationStopped([this] { automationStopped(); });
}

CAutomationDlg* AutomationWindows::editor() const {
    return editor_;
}

CStopAutomationDlg* AutomationWindows::stopWindow() const {
    return stopWindow_;
}

void AutomationWindows::openEditor() {
    // Opening the editor changes nothing that runs: only its Ok starts the timetable over.
    if (editor_) {
        bringForward(editor_);
        return;
    }
    const Clock& clock = session_.clock();
    editor_ = new CAutomationDlg(
        session_.person().title(), messages_, session_.programDir(),
        [&clock] { return dayName(clock.now().weekday); },
        [this](const Timetable& timetable) { startAutomation(timetable); }, &frame_);
    editor_->show();
}

void AutomationWindows::startAutomation(const Timetable& timetable) {
    if (refused_ && refused_()) {
        return;
    }
    session_.automationTable().setTimetable(timetable);
    frame_.showMinimized();
    session_.automation().start();
    if (stopWindow_) {
        bringForward(stopWindow_);
        return;
    }
    AutomationRunner& runner = session_.automation();
    stopWindow_ = new CStopAutomationDlg(
        session_.automationTable(), session_.clock(), frame_.windowTitle(), messages_,
        [&runner] { runner.stop(); }, &frame_);
    stopWindow_->show();
}

void AutomationWindows::automationStopped() {
    if (stopWindow_) {
        stopWindow_->release();
        stopWindow_ = nullptr;
    }
    frame_.showNormal();
}

} // namespace kqvdr
