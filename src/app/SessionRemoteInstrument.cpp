#include "SessionRemoteInstrument.h"

#include "CGeneralErrDlg.h"
#include "ControlSession.h"
#include "FeatureIds.h"
#include "QtSystemTestWindows.h"
#include "SaveDirectory.h"
#include "SystemTestControl.h"
#include "TestSequence.h"
#include "TimeText.h"

#include <QPushButton>

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

Outcome SessionRemoteInstrument::command(const char* feature, const std::string& peer,
                                         bool refusedDuringRun, const std::function<void()>& act,
                                         const char* refusal) {
    if (!session_.state().answering()) {
        return notConnected(feature);
    }
    if (refusedDuringRun && (session_.automation().running() || session_.systemTest().running())) {
        return definedError(errorId(feature, remote::kControlledByRun),
                            session_.systemTest().running()
                                ? "A system test is running and controls the instrument."
                                : "An automation is running and controls the instrument.");
    }
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

MethodRecord SessionRemoteInstrument::method(int number) const {
    return session_.state().methods.at(static_cast<std::size_t>(number));
}

Outcome SessionRemoteInstrument::storeMethod(int number, const MethodRecord& record,
                                             const std::string& peer) {
    return command(kMethods, peer, true, [&] { session_.methods().storeMethod(number, record); });
}

Outcome SessionRemoteInstrument::sendMethod(int number, const std::string& peer) {
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
    ++systemTestRun_;
    return std::nullopt;
}

remote::LiveValues SessionRemoteInstrument::liveValues() const {
    remote::LiveValues values = remote::liveValuesOf(session_.state());
    remote::SystemTestStatus& test = values.systemTest;
    test.run = systemTestRun_;
    test.running = session_.systemTest().running();
    test.ended = systemTestRun_ > 0 && !test.running;
    test.completed = session_.systemTest().completed();
    if (test.running) {
        const AutomationTable& table = session_.automationTable();
        test.progressPercent =
            testProgressPercent(testStartTime(table) + ":00", testEndTime(table) + ":00",
                                timeText(session_.clock().now()));
    } else if (test.completed) {
        test.progressPercent = 100;
    }
    test.logPath = systemTest_.control().testLogPath().string();
    return values;
}

} // namespace kqvdr
