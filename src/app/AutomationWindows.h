#pragma once

#include "AutomationEvent.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace kqvdr {

class CAutomationDlg;
class CMainFrame;
class CStopAutomationDlg;
class ControlSession;
class MessageBoxes;

// Tools > Automation: the one editor, and while an automation runs the one stop window with
// the main window minimised.
class AutomationWindows : public QObject {
    Q_OBJECT

public:
    // `refused` says, when it is so, that another job holds the instrument (true).
    AutomationWindows(ControlSession& session, CMainFrame& frame, MessageBoxes& messages,
                      std::function<bool()> refused);

    // Opens the editor, or brings the open one forward; a running timetable goes on.
    void openEditor();
    // The editor's Ok. The editor does not hold the panel, so a system test may have started
    // while it stood open; its timetable is then kept.
    void startAutomation(const Timetable& timetable);

    CAutomationDlg* editor() const;
    CStopAutomationDlg* stopWindow() const;

private:
    void automationStopped();

    ControlSession& session_;
    CMainFrame& frame_;
    MessageBoxes& messages_;
    std::function<bool()> refused_;
    QPointer<CAutomationDlg> editor_;
    QPointer<CStopAutomationDlg> stopWindow_;
};

} // namespace kqvdr
