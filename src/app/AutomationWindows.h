#pragma once

#include "AutomationEvent.h"

#include <QObject>
#include <QPointer>

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
    AutomationWindows(ControlSession& session, CMainFrame& frame, MessageBoxes& messages);

    // Opens the editor, or brings the open one forward; a running timetable goes on.
    void openEditor();
    void startAutomation(const Timetable& timetable);

    CAutomationDlg* editor() const;
    CStopAutomationDlg* stopWindow() const;

private:
    void automationStopped();

    ControlSession& session_;
    CMainFrame& frame_;
    MessageBoxes& messages_;
    QPointer<CAutomationDlg> editor_;
    QPointer<CStopAutomationDlg> stopWindow_;
};

} // namespace kqvdr
