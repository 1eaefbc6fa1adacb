#include "AnalyzeCommand.h"
#include "AppTexts.h"
#include "CKQVDR1000ControlApp.h"
#include "CMainFrame.h"
#include "CRemoteControlDlg.h"
#include "CSplashDlg.h"
#include "CommandLine.h"
#include "ControlSession.h"
#include "DataDirectory.h"
#include "DataFolderStart.h"
#include "MessageBoxes.h"
#include "PanelLock.h"
#include "ParentConsole.h"
#include "ReportCommand.h"
#include "RunningMark.h"
#include "SessionWiring.h"
#include "StaleTemporaries.h"
#include "SuppliedFiles.h"
#include "VerifyAuditCommand.h"
#ifdef KQVDR_WITH_REMOTE
#include "SilaRemote.h"
#include "SilaUserCommand.h"
#endif
#ifdef KQVDR_WITH_SIMULATOR
#include "SimulatorHost.h"
#endif
#include "SystemTestAnalysis.h"
#include "Utf8Arguments.h"
#include "Utf8Path.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QStandardPaths>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

// The About box and --version quote the version as text; keep it in step with the build's.
static_assert(kqvdr::versionLine == "KQ-VDR1000 Control Version " KQVDR_VERSION);

int main(int argc, char* argv[]) {
    const kqvdr::RunningMark running;
    const std::vector<std::string> arguments = kqvdr::utf8Arguments(argc, argv);
    const kqvdr::CommandLine line = kqvdr::parseCommandLine(arguments);
    std::optional<kqvdr::ParentConsole> console;
    if (kqvdr::runsInConsole(line)) {
        console.emplace();
    }
    if (!line.error.empty()) {
        std::fprintf(stderr, "kqvdr1000-control: %s\n\n%s", line.error.c_str(),
                     kqvdr::commandLineUsage().c_str());
        return 2;
    }
    if (line.showVersion) {
        std::printf("%s\n", std::string(kqvdr::versionLine).c_str());
        return 0;
    }
    if (line.showHelp) {
        std::printf("%s", kqvdr::commandLineUsage().c_str());
        return 0;
    }
    if (line.verifyAudit) {
        return kqvdr::verifyAuditCommand(line, argc, argv);
    }
    if (line.silaUserAction) {
#ifdef KQVDR_WITH_REMOTE
        return kqvdr::runSilaUserCommand(line, argc, argv);
#else
        std::fprintf(stderr, "kqvdr1000-control: this build has no SiLA 2 server\n");
        return 2;
#endif
    }
    if (line.analyzeLog) {
        const auto pathOf = [](const std::optional<std::string>& text) {
            return text ? std::optional(kqvdr::pathFromUtf8(*text)) : std::nullopt;
        };
        const int analysed =
            kqvdr::runAnalyzeCommand({kqvdr::pathFromUtf8(*line.analyzeLog),
                                      line.fineGas ? std::optional(true) : std::nullopt, line.json,
                                      pathOf(line.csv), pathOf(line.reportPdf)},
                                     std::cout, std::cerr);
        if (analysed != 0 || !line.reportPdf) {
            return analysed;
        }
        // The report is drawn with the program's fonts but needs no window or display. Windows
        // always has its own platform, whose fonts are the system's; offscreen there has none.
#ifndef _WIN32
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
#endif
        QGuiApplication guiApp(argc, argv);
        const std::filesystem::path log = kqvdr::pathFromUtf8(*line.analyzeLog);
        return kqvdr::runReportCommand(log, line.fineGas || kqvdr::fineFlowLog(log),
                                       kqvdr::pathFromUtf8(*line.reportPdf), std::cerr);
    }
    std::error_code error;
    if (line.programDir &&
        !std::filesystem::is_directory(kqvdr::pathFromUtf8(*line.programDir), error)) {
        std::fprintf(stderr, "kqvdr1000-control: --dir %s is not a directory\n",
                     line.programDir->c_str());
        return 2;
    }

    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kqvdr1000-control"));
    // An installed program cannot write beside itself: its data live in the shared or the user's
    // own data directory, which starts with a copy of the supplied files.
    const kqvdr::DataDirectory data = kqvdr::programDataDirectory(line.programDir);
    kqvdr::QtMessageBoxes messageBoxes;
    // Before anything is written into the folder: a second copy on it ends here.
    kqvdr::DataFolderLock dataFolderLock;
    const kqvdr::DataFolderClaim claim =
        kqvdr::claimDataFolder(dataFolderLock, data.dir, messageBoxes);
    if (claim == kqvdr::DataFolderClaim::TakenByAnother) {
        return 1;
    }
    // ---- From here on the data folder is this program's alone (the lock is held). Whatever
    // tidies or writes the folder at start belongs below this line. ----
    // Saves cut short leave their temporaries behind. Without a lock another copy may be saving
    // into the folder right now, so they stay.
    if (claim == kqvdr::DataFolderClaim::Ours) {
        kqvdr::removeStaleTemporaries(data.dir);
    }
    kqvdr::copyEarlierDataOnce(data, messageBoxes);
    std::vector<std::string> keptOverNewer;
    if (const auto seedError = kqvdr::seedDataDirectory(data, &keptOverNewer)) {
        std::fprintf(stderr, "kqvdr1000-control: data directory %s: %s\n",
                     kqvdr::utf8FromPath(data.dir).c_str(), seedError.message().c_str());
        if (!std::filesystem::is_directory(data.dir, error)) {
            return 1;
        }
    }
    kqvdr::CKQVDR1000ControlApp app(line, kqvdr::utf8FromPath(data.dir));

    // --simulate: the instrument runs inside the program on a pseudo-terminal, reached through
    // the ordinary serial driver as if it were the chosen port.
    std::optional<std::string> device = line.device;
#ifdef KQVDR_WITH_SIMULATOR
    std::unique_ptr<kqvdr::sim::SimulatorHost> simulator;
    if (line.simulate) {
        kqvdr::sim::SimulatorOptions options;
        options.fineGas = line.fineGas;
        simulator = std::make_unique<kqvdr::sim::SimulatorHost>(options);
        if (!simulator->isOpen()) {
            std::fprintf(stderr, "kqvdr1000-control: %s\n",
                         simulator->errorText().toStdString().c_str());
            return 1;
        }
        device = simulator->slavePath().toStdString();
    }
#else
    if (line.simulate) {
        std::fprintf(stderr, "kqvdr1000-control: --simulate needs a pseudo-terminal, which this "
                             "system does not have\n");
        return 2;
    }
#endif

    kqvdr::CMainFrame frame(app, messageBoxes);
    QApplication::setWindowIcon(frame.windowIcon());
    kqvdr::ControlSession session(
        {kqvdr::pathFromUtf8(app.programDir()), device}, messageBoxes,
        [&app] { return app.title(); }, &frame);
    // While a remote client holds the server's lock, the panel leaves the instrument to it.
    kqvdr::PanelLock panelLock(
        messageBoxes, [&app] { return app.title(); }, &frame);
    panelLock.showIn(frame.statusBar());
    kqvdr::QtSystemTestWindows& systemTestWindows =
        kqvdr::wireControlSession(session, frame, messageBoxes, &panelLock);
    {
        kqvdr::CSplashDlg splash(messageBoxes, app.title());
        splash.exec();
    }
    if (!session.start()) {
        return 1;
    }

    // Remote control is off unless asked for; asked for and impossible, the program says why
    // and ends rather than run without what the laboratory relies on.
    std::function<kqvdr::CRemoteControlDlg::Rows()> remoteStatus = [] {
        return kqvdr::CRemoteControlDlg::Rows{{"State", "off"}};
    };
    std::function<void(kqvdr::CRemoteControlDlg&)> offerLockRelease = [](auto&) {};
#ifdef KQVDR_WITH_REMOTE
    std::unique_ptr<kqvdr::SilaRemote> remote;
    if (line.silaPort) {
        if (line.silaInsecure) {
            std::fprintf(stderr, "kqvdr1000-control: warning: --sila-insecure serves remote "
                                 "control without TLS. This breaks the SiLA 2 standard, which "
                                 "requires encryption; anyone on the network can read and send "
                                 "commands.\n");
        }
        remote = std::make_unique<kqvdr::SilaRemote>(session, systemTestWindows, app.programDir());
        std::string why;
        if (!remote->start(line, why)) {
            std::fprintf(stderr, "kqvdr1000-control: SiLA 2 server: %s\n", why.c_str());
            session.shutdown();
            return 1;
        }
        std::printf("SiLA 2 server on %s:%u\n", line.silaAddress.c_str(),
                    static_cast<unsigned>(remote->port()));
        std::fflush(stdout);
        remoteStatus = [&remote] { return remote->statusRows(); };
        remote->followLockIn(panelLock);
        offerLockRelease = [&remote, &messageBoxes](kqvdr::CRemoteControlDlg& dialog) {
            kqvdr::SilaRemote* server = remote.get();
            dialog.offerLockRelease({[server] { return server->lockHolder(); },
                                     [server] { return server->releaseLock(); }},
                                    messageBoxes);
        };
    }
#else
    (void)systemTestWindows;
    if (line.silaPort) {
        std::fprintf(stderr, "kqvdr1000-control: this build has no SiLA 2 server\n");
        return 2;
    }
    remoteStatus = [] {
        return kqvdr::CRemoteControlDlg::Rows{{"State", "not part of this build"}};
    };
#endif
    QObject::connect(frame.action(kqvdr::CommandId::RemoteControl), &QAction::triggered, &frame,
                     [&frame, &app, &remoteStatus, &offerLockRelease] {
                         auto* dialog =
                             new kqvdr::CRemoteControlDlg(app.title(), remoteStatus, &frame);
                         offerLockRelease(*dialog);
                         dialog->show();
                     });
    frame.followGasRangeAndPort(session.state().fineGasResolution,
                                QString::fromStdString(session.state().activePort));
    frame.show();
    frame.centreOnScreen();
    if (!keptOverNewer.empty()) {
        messageBoxes.show(&frame, kqvdr::newerSuppliedFilesMessage(keptOverNewer, data.suppliedFrom,
                                                                   app.title().toStdString()));
    }
    const int exitCode = QApplication::exec();
    // Windows closed on the way out asked to be deleted once the loop came round again.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return exitCode;
}
