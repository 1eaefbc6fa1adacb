#pragma once

#include "SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <functional>

class QDBusPendingCallWatcher;

namespace kqvdr {

// Linux: a "sleep" inhibitor of systemd-logind. logind hands out a file descriptor and holds
// off sleep until every copy of it is closed. The call is asynchronous, so a slow or missing
// logind never stalls the ticks; without logind nothing is held, and the first failure is told
// on standard error, once.
class LogindSleepInhibitor final : public QObject, public SleepInhibitor {
    Q_OBJECT
public:
    static constexpr const char* kWho = "KQ-VDR1000 Control";
    static constexpr const char* kWhy = "An instrument log, automation or system test is running";

    // Told once, the first time logind cannot be asked or refuses: one line on standard error
    // unless given.
    using Complaint = std::function<void(const QString& why)>;

    // The bus where logind is asked: the system bus in the program.
    explicit LogindSleepInhibitor(QDBusConnection bus, Complaint complaint = {},
                                  QObject* parent = nullptr);

    void hold() override;
    void release() override;

    // logind's descriptor is held now.
    bool holding() const { return descriptor_.isValid(); }

private:
    void answered(QDBusPendingCallWatcher* call);
    void complain(const QString& why);

    QDBusConnection bus_;
    Complaint complaint_;
    QDBusUnixFileDescriptor descriptor_;
    bool wanted_ = false;
    bool asking_ = false;
    bool complained_ = false;
};

} // namespace kqvdr
