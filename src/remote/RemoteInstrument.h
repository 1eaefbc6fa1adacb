#pragma once

#include "MethodRecord.h"
#include "SilaFailure.h"

#include <string>

namespace kqvdr::remote {

// What a remote client may ask of the program. Called only on the program's own thread, inside
// the tick, exactly where a person's click would land; `peer` is who acts, as the records name
// the user: "name@address" for a logged-in user, the client's address where there are no users.
// Nothing here opens a window that waits for a person: a refusal comes back as a failure instead.
class RemoteInstrument {
public:
    virtual ~RemoteInstrument() = default;

    virtual Outcome setMode(int mode, const std::string& peer) = 0;
    virtual Outcome selectMethod(int number, const std::string& peer) = 0;
    virtual Outcome autozero(const std::string& peer) = 0;
    virtual Outcome setTransferLine(bool on, const std::string& peer) = 0;
    virtual Outcome clearFault(const std::string& peer) = 0;

    virtual bool fineGasResolution() const = 0;
    // The instrument answers and has sent its method table, so method() holds its setpoints.
    virtual bool methodsKnown() const = 0;
    virtual MethodRecord method(int number) const = 0;
    virtual Outcome storeMethod(int number, const MethodRecord& record,
                                const std::string& peer) = 0;
    virtual Outcome sendMethod(int number, const std::string& peer) = 0;

    // The serial number as the panel's dialog takes it, "003-042" or "M03-042".
    virtual Outcome startSystemTest(const std::string& serial, const std::string& peer) = 0;
    // The number of system tests started so far, the last one included.
    virtual int systemTestRun() const = 0;
    // Stops test `run` as "Stop System Test" does, once the tick is over (the stop may open a
    // window that waits for a person). False when that run is not the one running.
    virtual bool stopSystemTest(int run, const std::string& peer) = 0;
};

} // namespace kqvdr::remote
