#include "SessionWiring.h"

#include "CKQVDR1000ControlView.h"
#include "CMainFrame.h"
#include "CMonitorDlg.h"
#include "CViewLogDlg.h"
#include "ControlSession.h"
#include "MonitorReadings.h"

#include <QAction>
#include <QEvent>
#include <QPointer>
#include <functional>

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

// Runs an action when the main window closes, which ends the program.
class OnMainWindowClose : public QObject {
public:
    OnMainWindowClose(std::function<void()> action, QObject* parent)
        : QObject(parent), action_(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            action_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> action_;
};

} // namespace

void wireControlSession(ControlSession& session, CMainFrame& frame, MessageBoxes& messages) {
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

    OperationalLog& log = session.log();
    on(CommandId::StartLogging, [&log] { log.startLoggingData(); });
    on(CommandId::StopLogging, [&log] { log.stopLoggingData(); });
    on(CommandId::SaveCurrentLog, [&log] { log.saveCurrentLog(); });
    auto viewer = std::make_shared<QPointer<CViewLogDlg>>();
    on(CommandId::ViewCurrentLog,
       [&session, &frame, &messages, viewer] { openLogViewer(session, frame, messages, *viewer); });
    // Program exit closes the log; the viewer, a window of its own, goes with the main window.
    frame.installEventFilter(new OnMainWindowClose(
        [&log, viewer] {
            log.close();
            if (*viewer) {
                (*viewer)->close();
            }
        },
        &frame));
}

} // namespace kqvdr
