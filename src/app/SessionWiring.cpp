#include "SessionWiring.h"

#include "AutomationWindows.h"
#include "CKQVDR1000ControlView.h"
#include "CMainFrame.h"
#include "CMonitorDlg.h"
#include "CViewLogDlg.h"
#include "CommandId.h"
#include "ControlSession.h"
#include "ExportCsvCommand.h"
#include "MessageBoxes.h"
#include "MonitorReadings.h"
#include "PanelLock.h"
#include "QtSystemTestWindows.h"
#include "RecordsCommands.h"
#include "ViewControl.h"

#include <QAction>
#include <QApplication>
#include <QPointer>

namespace kqvdr {
namespace {

// Tools > Monitor: minimise the main window and show the one monitor, making it if needed.
void openMonitor(ControlSession& session, CMainFrame& frame, QPointer<CMonitorDlg>& monitor) {
    frame.showMinimized();
    if (monitor) {
        monitor->raise();
        monitor->activateWindow();
        return;
    }
    InstrumentState& state = session.state();
    monitor = new CMonitorDlg([&state] { return monitorReadings(state); }, frame.windowTitle());
    QObject::connect(monitor, &CMonitorDlg::returnRequested, &frame, [&frame] {
        frame.showNormal();
        frame.activateWindow();
    });
    monitor->show();
}

// Exit ends the program whatever else is open: the windows that would keep it alive close
// without bringing the main window back, the poll stops and the port is released.
void endProgram(ControlSession& session, CMainFrame& frame) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != &frame && window->isVisible()) {
            QObject::disconnect(window, nullptr, &frame, nullptr);
            // A window that refuses to close while it guards a run still goes.
            if (!window->close()) {
                window->hide();
            }
        }
    }
    session.shutdown();
    QCoreApplication::quit();
}

// Log > View Current Log: the one viewer, brought forward when it is already open.
void openLogViewer(ControlSession& session, CMainFrame& frame, MessageBoxes& messages,
                   QPointer<CViewLogDlg>& viewer) {
    if (viewer) {
        viewer->showNormal();
        viewer->raise();
        viewer->activateWindow();
        return;
    }
    viewer =
        new CViewLogDlg(session.log().recentLines(), session.person().title(), messages, &frame);
    viewer->show();
}

// The panel's controls that change the instrument's mode, method or settings, and the form
// itself for its context menu of modes.
void guardPanel(PanelLock& lock, CKQVDR1000ControlView& view) {
    lock.guardContextMenu(&view);
    for (const int control :
         {StandbyButton, RunButton, GasSaveButton, SleepButton, AutozeroButton, HeaterButton,
          MethodNumberEdit, MethodSpinner, LoadEditMethodButton, SendButton}) {
        lock.guard(view.findChild<QWidget*>(QString::number(control)));
    }
}

} // namespace

QtSystemTestWindows& wireControlSession(ControlSession& session, CMainFrame& frame,
                                        MessageBoxes& messages, PanelLock* panelLock) {
    CKQVDR1000ControlView& view = session.view();
    frame.setFormWidget(&view);
    QObject::connect(&view, &CKQVDR1000ControlView::captionChanged, &frame,
                     &CMainFrame::followGasRangeAndPort);
    InstrumentState& state = session.state();
    frame.setCurrentSettingsSource([&state] {
        return CurrentSettings{state.activePort, state.deviceId()};
    });

    InstrumentLink& link = session.link();
    // Commands that would change what a scheduler's run relies on.
    const auto guarded = [](CommandId id) {
        using enum CommandId;
        for (const CommandId changing :
             {CommunicationSettings, DeviceIdentification, SetVapourSensor, LoadMethods,
              ResetFactorySettings, Automation, RunSystemTest}) {
            if (id == changing) {
                return true;
            }
        }
        return false;
    };
    const auto on = [&frame, panelLock, guarded](CommandId id, auto handler) {
        if (panelLock == nullptr || !guarded(id)) {
            QObject::connect(frame.action(id), &QAction::triggered, &frame, handler);
            return;
        }
        QObject::connect(frame.action(id), &QAction::triggered, &frame, [panelLock, handler] {
            if (!panelLock->refuses()) {
                handler();
            }
        });
    };
    if (panelLock != nullptr) {
        guardPanel(*panelLock, view);
    }
    on(CommandId::CommunicationSettings, [&view] { view.communicationSettings(); });
    on(CommandId::DeviceIdentification, [&link] { link.changeDeviceIdentification(); });
    on(CommandId::SetVapourSensor, [&link] { link.setVapourSensor(); });
    MethodStore& methods = session.methods();
    on(CommandId::LoadMethods, [&methods] { methods.loadMethods(); });
    on(CommandId::SaveMethods, [&methods] { methods.saveMethods(); });
    on(CommandId::ResetFactorySettings, [&methods] { methods.resetFactorySettings(); });
    auto monitor = std::make_shared<QPointer<CMonitorDlg>>();
    on(CommandId::Monitor, [&session, &frame, monitor] { openMonitor(session, frame, *monitor); });

    OperationalLog& log = session.log();
    auto* systemTest = new QtSystemTestWindows(
        {&frame, messages, session.heartbeat(), session.clock(), session.programDir(),
         [&session] { return session.person().title(); },
         [&state] { return state.fineGasResolution; }},
        {state, session.automationTable(), session.systemTest(), methods, log, session.person(),
         session.automation()});
    // While a system test runs, its log and the event table are the test's.
    on(CommandId::StartLogging, [&log] { log.startLoggingData(); });
    on(CommandId::StopLogging, [&log, systemTest] {
        if (!systemTest->refuseLogCommand()) {
            log.stopLoggingData();
        }
    });
    on(CommandId::SaveCurrentLog, [&log, systemTest] {
        if (!systemTest->refuseLogCommand()) {
            log.saveCurrentLog();
        }
    });
    auto viewer = std::make_shared<QPointer<CViewLogDlg>>();
    on(CommandId::ViewCurrentLog,
       [&session, &frame, &messages, viewer] { openLogViewer(session, frame, messages, *viewer); });
    auto* automation = new AutomationWindows(
        session, frame, messages, [systemTest] { return systemTest->refuseAutomation(); });
    on(CommandId::Automation, [automation, systemTest] {
        if (!systemTest->refuseAutomation()) {
            automation->openEditor();
        }
    });
    on(CommandId::RunSystemTest, [systemTest] { systemTest->runSystemTest(); });
    on(CommandId::AnalyzeSystemTestLog, [systemTest] { systemTest->analyzeSystemTestLog(); });
    wireRecordsCommands(session, frame, messages,
                        csvExportDialogs(&frame, session.person().title()));
    QObject::connect(&frame, &CMainFrame::closed, &frame,
                     [&session, &frame] { endProgram(session, frame); });
    return *systemTest;
}

} // namespace kqvdr
