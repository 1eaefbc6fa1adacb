#include "SessionWiring.h"

#include "CKQVDR1000ControlView.h"
#include "CMainFrame.h"
#include "CMonitorDlg.h"
#include "ControlSession.h"
#include "MonitorReadings.h"

#include <QAction>
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

} // namespace

void wireControlSession(ControlSession& session, CMainFrame& frame, MessageBoxes&) {
    CKQVDR1000ControlView& view = session.view();
    frame.setFormWidget(&view);
    QObject::connect(&view, &CKQVDR1000ControlView::captionChanged, &frame,
                     &CMainFrame::followGasRangeAndPort);
    InstrumentState& state = session.state();
    frame.setCurrentSettingsSource([&state] {
        return CurrentSettings{state.activePortIndex + 1, state.deviceId()};
    });

    InstrumentLink& link = session.link();
    const auto on = [&frame](CommandId id, auto handler) {
        QObject::connect(frame.action(id), &QAction::triggered, &frame, handler);
    };
    on(CommandId::CommunicationSettings, [&view] { view.communicationSettings(); });
    on(CommandId::DeviceIdentification, [&link] { link.changeDeviceIdentification(); });
    on(CommandId::SetVapourSensor, [&link] { link.setVapourSensor(); });
    MethodStore& methods = session.methods();
    on(CommandId::LoadMethods, [&methods] { methods.loadMethods(); });
    on(CommandId::SaveMethods, [&methods] { methods.saveMethods(); });
    on(CommandId::ResetFactorySettings, [&methods] { methods.resetFactorySettings(); });
    auto monitor = std::make_shared<QPointer<CMonitorDlg>>();
    on(CommandId::Monitor, [&session, &frame, monitor] { openMonitor(session, frame, *monitor); });
}

} // namespace kqvdr
