#pragma once

#include "LiveValues.h"
#include "QtOperator.h"
#include "RemoteInstrument.h"
#include "RemoteTestHistory.h"

#include <functional>

namespace kqvdr {

class ControlSession;
class QtSystemTestWindows;

// A remote client's commands, carried out on the session exactly as the panel's buttons,
// the method editor, the fault dialogs and the Tools menu carry out a person's. Messages that
// would ask a person for an answer are held and come back as the command's failure.
class SessionRemoteInstrument final : public remote::RemoteInstrument {
public:
    SessionRemoteInstrument(ControlSession& session, QtSystemTestWindows& systemTest);

    remote::Outcome setMode(int mode, const std::string& peer) override;
    remote::Outcome selectMethod(int number, const std::string& peer) override;
    remote::Outcome autozero(const std::string& peer) override;
    remote::Outcome setTransferLine(bool on, const std::string& peer) override;
    remote::Outcome clearFault(const std::string& peer) override;

    bool fineGasResolution() const override;
    bool methodsKnown() const override;
    MethodRecord method(int number) const override;
    remote::Outcome storeMethod(int number, const MethodRecord& record,
                                const std::string& peer) override;
    remote::Outcome sendMethod(int number, const std::string& peer) override;

    remote::Outcome startSystemTest(const std::string& serial, const std::string& peer) override;
    int systemTestRun() const override;
    bool stopSystemTest(int run, const std::string& peer) override;

    // What the subscriptions see after this tick.
    remote::LiveValues liveValues();
    // At the end of the outermost tick: a fault cleared remotely has been recorded by then.
    void tickEnded();

private:
    // Runs `act` as a person's click, under the client's name, with the usual refusals first. A
    // command of the main window is refused, as its buttons are, while a run controls the
    // instrument or a window waits for a person.
    remote::Outcome command(const char* feature, const std::string& peer, bool mainWindowCommand,
                            const std::function<void()>& act, const char* refusal = nullptr);
    // The click itself, with the messages it raises held and returned as its failure.
    remote::Outcome carryOut(const char* feature, const std::string& peer,
                             const std::function<void()>& act, const char* refusal);
    remote::Outcome notConnected(const char* feature) const;
    // Refuses method changes while the panel's method editor is open.
    remote::Outcome editorOpen(const char* feature) const;

    ControlSession& session_;
    QtSystemTestWindows& systemTest_;
    RemoteTestHistory tests_;
    bool actingUntilTickEnd_ = false;
};

} // namespace kqvdr
