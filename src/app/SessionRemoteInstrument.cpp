#include "SessionRemoteInstrument.h"

#include "CGeneralErrDlg.h"
#include "CStopSystemTestDlg.h"
#include "ControlSession.h"
#include "FeatureIds.h"
#include "QtSystemTestWindows.h"
#include "SaveDirectory.h"
#include "SystemTestControl.h"
#include "TestSequence.h"
#include "TimeText.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace kqvdr {
namespace {

using remote::definedError;
using remote::errorId;
using remote::Outcome;

const char* const kDetector = remote::kDetectorControllerFeature;
const char* const kMethods = remote::kMethodStoreFeature;
const char* const kSystemTest = remote::kSystemTestFeature;

// Every message a person would have had to read, one after the other.
std::string joined(const std::vector<QtOperator::HeldMessage>& held) {
    std::string text;
    for (const auto& message : held) {
        std::string_view line = message.text;
        while (!line.empty() && (line.front() == '\n' || line.front() == ' ')) {
            line.remove_prefix(1);
        }
        while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        text += (text.empty() ? "" : "\n") + std::string(line);
    }
    return text;
}

bool refused(const std::vector<QtOperator::HeldMessage>& held) {
    for (const auto& message : held) {
        if (message.icon != MessageIcon::Information) {
            return true;
        }
    }
    return false;
}

} // namespace

SessionRemoteInstrument::SessionRemoteInstrument(ControlSession& session,
                                                 QtSystemTestWindows& systemTest)
    : session_(session), systemTest_(systemTest) {}

Outcome SessionRemoteInstrument::notConnected(const char* feature) const {
    return definedError(errorId(feature, remote::kInstrumentNotConnected),
                        "The instrument is not answering.");
}

Outcome SessionRemoteInstrument::editorOpen(const char* feature) const {
    // The person edits a copy of a method there and sends it on their own; a method changed
    // under them would be sent back as they last saw it.
    if (session_.state().answering() && session_.state().editorOpen) {
        return definedError(errorId(feature, remote::kPanelInUse),
                            "The method editor is open on the panel.");
    }
    return std::nullopt;
}

Outcome SessionRemoteInstrument::command(const char* feature, const std::string& peer,
                                         bool mainWindowCommand, const std::function<void()>& act,
                                         const char* refusal) {
    if (!session_.state().answering()) {
        return notConnected(feature);
    }
    if (!mainWindowCommand) {
        return carryOut(feature, peer, act, refusal);
    }
    if (session_.automation().running() || session_.systemTest().running()) {
        return definedError(errorId(feature, remote::kControlledByRun),
                            session_.systemTest().running()
                                ? "A system test is running and controls the instrument."
                                : "An automation is running and controls the instrument.");
    }
    // A window that waits for a person holds what it will act on when it closes: an editor
    // its copy of the methods, a dialog the start of a job. The panel's own buttons cannot be
    // reached behind it either.
    if (const QWidget* open = QApplication::activeModalWidget(); open != nullptr) {
        return definedError(errorId(feature, remote::kPanelInUse),
                            "The panel shows \"" + open->windowTitle().toStdString() +
                                "\", which waits for a person.");
    }
    return carryOut(feature, peer, act, refusal);
}

Outcome SessionRemoteInstrument::carryOut(const char* feature, const std::string& peer,
                                          const std::function<void()>& act, const char* refusal) {
    std::vector<QtOperator::HeldMessage> held;
    session_.records().setActingUser(peer);
    session_.person().holdMessages(&held);
    act();
    session_.person().holdMessages(nullptr);
    if (!actingUntilTickEnd_) {
        session_.records().setActingUser({});
    }
    if (!refused(held)) {
        return std::nullopt;
    }
    if (refusal != nullptr) {
        return definedError(errorId(feature, refusal), joined(held));
    }
    return remote::undefinedError(joined(held));
}

Outcome SessionRemoteInstrument::setMode(int mode, const std::string& peer) {
    return command(kDetector, peer, true, [&] { session_.link().commandMode(mode); });
}

Outcome SessionRemoteInstrument::selectMethod(int number, const std::string& peer) {
    if (auto editing = editorOpen(kDetector)) {
        return editing;
    }
    return command(kDetector, peer, true, [&] { session_.methods().selectMethod(number); });
}

Outcome SessionRemoteInstrument::autozero(const std::string& peer) {
    return command(
        kDetector, peer, true, [&] { session_.link().autozero(); }, "AutozeroRefused");
}

Outcome SessionRemoteInstrument::setTransferLine(bool on, const std::string& peer) {
    // The panel's button toggles; a client says which way it wants the heater.
    return command(kDetector, peer, true, [&] { session_.link().setTransferLineHeater(on); });
}

Outcome SessionRemoteInstrument::clearFault(const std::string& peer) {
    CGeneralErrDlg* open = nullptr;
    for (int id = 0; id < kFaultDialogCount; ++id) {
        if (session_.state().faultDialogs[static_cast<std::size_t>(id)].showing) {
            open = session_.faultDialogs().dialog(static_cast<FaultDialogId>(id));
            break;
        }
    }
    if (open == nullptr || !open->isVisible()) {
        return definedError(errorId(kDetector, "NoFault"), "No fault dialog is open.");
    }
    // The dialog closes once this tick returns; the poll then records the clear and sends it,
    // so the client stays the acting user until the outermost tick has ended.
    actingUntilTickEnd_ = true;
    return command(kDetector, peer, false, [open] { open->clearButton()->click(); });
}

void SessionRemoteInstrument::tickEnded() {
    if (actingUntilTickEnd_) {
        actingUntilTickEnd_ = false;
        session_.records().setActingUser({});
    }
}

bool SessionRemoteInstrument::fineGasResolution() const {
    return session_.state().fineGasResolution;
}

bool SessionRemoteInstrument::methodsKnown() const {
    return session_.state().answering() && session_.state().methodTableReceived;
}

MethodRecord SessionRemoteInstrument::method(int number) const {
    return session_.state().methods.at(static_cast<std::size_t>(number));
}

Outcome SessionRemoteInstrument::storeMethod(int number, const MethodRecord& record,
                                             const std::string& peer) {
    if (auto editing = editorOpen(kMethods)) {
        return editing;
    }
    return command(kMethods, peer, true, [&] { session_.methods().storeMethod(number, record); });
}

Outcome SessionRemoteInstrument::sendMethod(int number, const std::string& peer) {
    if (auto editing = editorOpen(kMethods)) {
        return editing;
    }
    return command(kMethods, peer, true, [&] { session_.methods().sendAndSelect(number); });
}

Outcome SessionRemoteInstrument::startSystemTest(const std::string& serial,
                                                 const std::string& peer) {
    const bool fine = session_.state().fineGasResolution;
    if (serial.substr(0, 3) != (fine ? "M03" : "003")) {
        return remote::validationError(
            remote::parameterId(kSystemTest, "RunSystemTest", "SerialNumber"),
            std::string("This instrument's serial number begins with ") + (fine ? "M03" : "003") +
                ".");
    }
    TestInstrument instrument;
    instrument.testSerial = serial.substr(0, 3) + "_" + serial.substr(4);
    const SaveDirectoryCheck where =
        checkSaveDirectory(session_.programDir(), instrument.testSerial);
    if (where.outcome == SaveDirectoryCheck::Outcome::Unreachable) {
        return definedError(errorId(kSystemTest, "SystemTestNotStarted"),
                            "The directory named in savedir.txt cannot be reached.");
    }
    if (where.outcome == SaveDirectoryCheck::Outcome::Network) {
        if (where.earlierTest) {
            return definedError(errorId(kSystemTest, "SystemTestNotStarted"),
                                "A test log of this instrument is already in the shared "
                                "directory; choose another serial number or move it away.");
        }
        instrument.saveToNetwork = true;
        instrument.networkLogPath = where.networkLogPath;
    }
    const Outcome outcome = command(
        kSystemTest, peer, true, [&] { systemTest_.runSystemTestFor(instrument); },
        "SystemTestNotStarted");
    if (outcome) {
        return outcome;
    }
    if (!session_.systemTest().running()) {
        return definedError(errorId(kSystemTest, "SystemTestNotStarted"),
                            "The system test did not start.");
    }
    return std::nullopt;
}

int SessionRemoteInstrument::systemTestRun() const {
    return systemTest_.control().testsStarted();
}

bool SessionRemoteInstrument::stopSystemTest(int run, const std::string& peer) {
    if (run != systemTestRun() || !session_.systemTest().running()) {
        return false;
    }
    // From the event loop, where a person's click lands: the stop opens the stopped warning,
    // and a window opened from the tick's own timer would hold the heartbeat. The server, and
    // this object with it, may be gone by then; the session and the test's windows are not.
    QTimer::singleShot(0, &systemTest_, [&session = session_, &windows = systemTest_, run, peer] {
        CStopSystemTestDlg* progress = windows.progress();
        if (progress == nullptr || run != windows.control().testsStarted() ||
            !session.systemTest().running()) {
            return; // it ended on its own meanwhile
        }
        auto* stop =
            progress->findChild<QPushButton*>(QString::number(CStopSystemTestDlg::StopButton));
        SessionRecords& records = session.records();
        const std::string acting = records.actingUser();
        records.setActingUser(peer);
        stop->click();
        records.setActingUser(acting);
    });
    return true;
}

remote::LiveValues SessionRemoteInstrument::liveValues() {
    remote::LiveValues values = remote::liveValuesOf(session_.state());
    const bool running = session_.systemTest().running();
    int progress = 0;
    int remaining = -1;
    if (running) {
        const AutomationTable& table = session_.automationTable();
        const std::string now = timeText(session_.clock().now());
        const std::string end = testEndTime(table) + ":00";
        progress = testProgressPercent(testStartTime(table) + ":00", end, now,
                                       session_.systemTest().nextTestStep() > 1);
        // Whole minutes, rounded up: a stream that changed every second would wake every
        // client's Info stream every second for an estimate.
        if (const ElapsedTime left = elapsedTime(now, end); left.valid()) {
            remaining = (left.seconds + 59) / 60 * 60;
        }
    }
    tests_.follow(systemTest_.control(), running, progress, remaining);
    values.systemTests = tests_.runs();
    return values;
}

} // namespace kqvdr
