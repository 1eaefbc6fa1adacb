#include "LogindSleepInhibitor.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <cstdio>

namespace kqvdr {

LogindSleepInhibitor::LogindSleepInhibitor(QDBusConnection bus, Complaint complaint,
                                           QObject* parent)
    : QObject(parent), bus_(std::move(bus)), complaint_(std::move(complaint)) {
    if (!complaint_) {
        complaint_ = [](const QString& why) {
            std::fprintf(stderr, "kqvdr1000-control: the computer may sleep during a run: %s\n",
                         why.toLocal8Bit().constData());
        };
    }
}

void LogindSleepInhibitor::hold() {
    wanted_ = true;
    if (holding() || asking_) {
        return;
    }
    if (!bus_.isConnected()) {
        complain(bus_.lastError().message());
        return;
    }
    QDBusMessage inhibit = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    inhibit << QStringLiteral("sleep") << QString::fromUtf8(kWho) << QString::fromUtf8(kWhy)
            << QStringLiteral("block");
    asking_ = true;
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(inhibit), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &LogindSleepInhibitor::answered);
}

void LogindSleepInhibitor::release() {
    wanted_ = false;
    // Closing our copy ends the inhibitor; an answer still on its way is dropped when it comes.
    descriptor_ = QDBusUnixFileDescriptor();
}

void LogindSleepInhibitor::answered(QDBusPendingCallWatcher* call) {
    asking_ = false;
    {
        QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
        if (reply.isError()) {
            complain(reply.error().message());
        } else if (wanted_) {
            descriptor_ = reply.value();
        }
    }
    // The reply keeps a copy of the descriptor until the watcher goes.
    call->deleteLater();
}

void LogindSleepInhibitor::complain(const QString& why) {
    if (complained_) {
        return;
    }
    complained_ = true;
    complaint_(why);
}

} // namespace kqvdr
