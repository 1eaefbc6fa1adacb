#include "RecordsCommands.h"

#include "CAuditTrailDlg.h"
#include "CMainFrame.h"
#include "CTrendsDlg.h"
#include "CUsageDlg.h"
#include "CommandId.h"
#include "ControlSession.h"
#include "ExportCsvCommand.h"

#include <QAction>
#include <QPointer>
#include <memory>

namespace kqvdr {
namespace {

// Shows the window `make` builds, or brings the one already open forward.
template <typename Window, typename Make>
void showOne(const std::shared_ptr<QPointer<Window>>& window, Make make) {
    if (*window) {
        (*window)->showNormal();
        (*window)->raise();
        (*window)->activateWindow();
        return;
    }
    *window = make();
    (*window)->show();
}

} // namespace

void wireRecordsCommands(ControlSession& session, CMainFrame& frame, MessageBoxes& messages,
                         const CsvExportFiles& exportFiles) {
    const auto on = [&frame](CommandId id, auto handler) {
        QObject::connect(frame.action(id), &QAction::triggered, &frame, handler);
    };
    const auto title = [&session] { return session.person().title(); };
    const SessionRecords& records = session.records();

    auto audit = std::make_shared<QPointer<CAuditTrailDlg>>();
    on(CommandId::AuditTrail, [audit, &records, &frame, title] {
        showOne(audit, [&] { return new CAuditTrailDlg(records.trail().path(), title(), &frame); });
    });

    auto trends = std::make_shared<QPointer<CTrendsDlg>>();
    on(CommandId::Trends, [trends, &session, &records, &frame, title] {
        showOne(trends, [&] {
            auto* window = new CTrendsDlg(records.trends(), title(), &frame);
            QObject::connect(&session, &ControlSession::trendSampled, window,
                             &CTrendsDlg::sampleAdded);
            return window;
        });
    });

    auto usage = std::make_shared<QPointer<CUsageDlg>>();
    on(CommandId::InstrumentUsage, [usage, &records, &frame, title] {
        showOne(usage, [&] {
            return new CUsageDlg([&records] { return records.usage().instruments(); }, title(),
                                 &frame);
        });
    });

    on(CommandId::ExportCsv, [&session, &frame, &messages, exportFiles, title] {
        const auto log = session.log().portLogPath();
        exportLogAsCsv(&frame, messages, title(), log.value_or(session.programDir()), exportFiles);
    });
}

} // namespace kqvdr
