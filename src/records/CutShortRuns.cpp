#include "CutShortRuns.h"

#include "AuditSink.h"
#include "MethodFile.h"
#include "MethodStore.h"
#include "Operator.h"
#include "RunMarker.h"

namespace kqvdr {
namespace {

// The first sentence both reports open with: what ran, since when, and why it stopped.
std::string cutShort(std::string what, const std::string& started) {
    if (!started.empty()) {
        what += ", started " + started + ",";
    }
    return "\n" + what + " was cut short (a power cut or a restart of the computer).";
}

void reportSystemTest(const std::filesystem::path& dataDir, Operator& person, AuditSink* audit,
                      MethodStore& methods) {
    const RunMarker marker(dataDir / kSystemTestMarkerFile);
    const auto fields = marker.read();
    if (!fields) {
        return;
    }
    const std::string serial = RunMarker::value(*fields, "serial");
    const std::string started = RunMarker::value(*fields, "started");
    std::string text =
        cutShort(serial.empty() ? "The System Test" : "The System Test of instrument " + serial,
                 started) +
        "\n\nThe instrument may still hold the test's methods. The operator's own methods "
        "were kept in \"" +
        kMethodsFile +
        "\"; if they are not sent back now, the next System Test sends them back when it "
        "ends.\n\nSend the operator's methods back to the instrument now?\n ";
    std::string outcome;
    if (person.message(text, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes) {
        if (methods.loadMethods(MethodStore::Announce::Silently)) {
            (void)marker.remove();
            outcome = "operator's methods sent back";
        } else {
            outcome = "operator's methods could not be sent back";
        }
    } else {
        outcome = std::string("operator's methods kept in ") + kMethodsFile;
    }
    std::error_code error;
    // Nothing left to guard: a later test may save the operator's methods afresh.
    if (!std::filesystem::exists(dataDir / kMethodsFile, error) && !error) {
        (void)marker.remove();
    }
    reportAudit(audit, {AuditEventKind::SystemTestCutShort, serial, started, outcome});
}

void reportAutomation(const std::filesystem::path& dataDir, Operator& person, AuditSink* audit) {
    const RunMarker marker(dataDir / kAutomationMarkerFile);
    const auto fields = marker.read();
    if (!fields) {
        return;
    }
    const std::string started = RunMarker::value(*fields, "started");
    const std::string last = RunMarker::value(*fields, "last");
    std::string text = cutShort("An automation", started) +
                       "\n\nIts timetable:\n\nEvent\tDay\tStart\tEnd\tMode (Method)\t \n";
    for (const auto& [key, value] : *fields) {
        if (key == "event") {
            text += value + "\n";
        }
    }
    text += last.empty() ? "\nNone of its events had been carried out.\n"
                         : "\nIts last event carried out, at " +
                               RunMarker::value(*fields, "lastAt") + ":\n" + last + "\n";
    text += last.empty() ? "\nThe instrument stays as it was."
                         : "\nThe instrument stays as that event left it.";
    text += " Start the automation again if it is still wanted.\n ";
    person.message(text, MessageIcon::Exclamation, MessageButtons::Ok);
    reportAudit(audit,
                {AuditEventKind::AutomationCutShort, last.empty() ? "none" : last, started, ""});
    (void)marker.remove();
}

} // namespace

void reportRunsCutShort(const std::filesystem::path& dataDir, Operator& person, AuditSink* audit,
                        MethodStore& methods) {
    reportAutomation(dataDir, person, audit);
    reportSystemTest(dataDir, person, audit, methods);
}

} // namespace kqvdr
