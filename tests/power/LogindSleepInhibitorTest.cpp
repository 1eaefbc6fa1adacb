#include "LogindSleepInhibitor.h"

#include "TemporaryDirectory.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

#ifndef KQVDR_STANDIN_LOGIND
#error "KQVDR_STANDIN_LOGIND must name the stand-in logind program"
#endif

namespace kqvdr::test {
namespace {

constexpr qint64 kPatienceMs = 10000;

bool waitFor(const std::function<bool()>& done, qint64 ms = kPatienceMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Lets the event loop run this long, for a test that something does not happen.
void settle(qint64 ms) {
    waitFor([] { return false; }, ms);
}

// A bus of the test's own, and on it (when asked for) a stand-in logind that tells each
// Inhibit call and each descriptor closed.
class PrivateBus : public testing::Test {
protected:
    void SetUp() override {
        // Debian's session configuration: a socket of its own under /tmp.
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address")});
        ASSERT_TRUE(daemon_.waitForStarted()) << "dbus-daemon (Debian's dbus-daemon package)";
        ASSERT_TRUE(waitFor([this] { return daemon_.canReadLine(); }));
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        ASSERT_FALSE(address_.isEmpty());
    }

    void TearDown() override {
        for (QProcess* process : {&logind_, &daemon_}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                process->waitForFinished(5000);
            }
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("inhibitor"));
    }

    void startLogind() {
        logind_.start(QStringLiteral(KQVDR_STANDIN_LOGIND), {address_});
        ASSERT_TRUE(waitFor([this] { return said(QStringLiteral("ready")); }))
            << logind_.readAllStandardError().toStdString();
    }

    QDBusConnection bus() const {
        return QDBusConnection::connectToBus(address_, QStringLiteral("inhibitor"));
    }

    // Every line the stand-in has printed so far.
    const QStringList& lines() {
        while (logind_.canReadLine()) {
            lines_ << QString::fromUtf8(logind_.readLine()).trimmed();
        }
        return lines_;
    }
    bool said(const QString& line) { return lines().contains(line); }

    TemporaryDirectory dir_;
    QProcess daemon_;
    QProcess logind_;
    QString address_;
    QStringList lines_;
    QStringList complaints_;
    LogindSleepInhibitor::Complaint complaint_ = [this](const QString& why) { complaints_ << why; };
};

const QString kInhibit =
    QStringLiteral("sleep|KQ-VDR1000 Control|An instrument log, automation or system test is "
                   "running|block");

TEST_F(PrivateBus, HoldsOneSleepBlockUntilReleasedAndAsksAgainForTheNextRun) {
    startLogind();
    LogindSleepInhibitor inhibitor(bus(), complaint_);

    inhibitor.hold();
    inhibitor.hold(); // asking already
    ASSERT_TRUE(waitFor([&] { return inhibitor.holding(); }));
    inhibitor.hold(); // holding already
    settle(300);
    EXPECT_EQ(lines(),
              (QStringList{QStringLiteral("ready"), QStringLiteral("inhibit 1 ") + kInhibit}));

    inhibitor.release();
    EXPECT_FALSE(inhibitor.holding());
    ASSERT_TRUE(waitFor([&] { return said(QStringLiteral("released 1")); }));

    inhibitor.hold();
    ASSERT_TRUE(waitFor([&] { return inhibitor.holding(); }));
    EXPECT_TRUE(said(QStringLiteral("inhibit 2 ") + kInhibit));
    EXPECT_FALSE(said(QStringLiteral("released 2")));
    EXPECT_TRUE(complaints_.isEmpty());
}

TEST_F(PrivateBus, AReleaseBeforeLogindAnswersLetsTheAnswerGo) {
    startLogind();
    LogindSleepInhibitor inhibitor(bus(), complaint_);

    inhibitor.hold();
    inhibitor.release();
    ASSERT_TRUE(waitFor([&] { return said(QStringLiteral("released 1")); }));
    EXPECT_FALSE(inhibitor.holding());
}

TEST_F(PrivateBus, GoingAwayClosesTheDescriptor) {
    startLogind();
    {
        LogindSleepInhibitor inhibitor(bus(), complaint_);
        inhibitor.hold();
        ASSERT_TRUE(waitFor([&] { return inhibitor.holding(); }));
    }
    EXPECT_TRUE(waitFor([&] { return said(QStringLiteral("released 1")); }));
}

// A bus without logind (a container, a desktop without systemd), and no bus at all.
TEST_F(PrivateBus, WithoutLogindNothingIsHeldAndOnlyTheFirstFailureIsTold) {
    LogindSleepInhibitor withoutLogind(bus(), complaint_);
    withoutLogind.hold();
    ASSERT_TRUE(waitFor([&] { return !complaints_.isEmpty(); }));
    withoutLogind.release();
    withoutLogind.hold();
    settle(300);
    EXPECT_FALSE(withoutLogind.holding());
    EXPECT_EQ(complaints_.size(), 1);

    QStringList noBusComplaints;
    LogindSleepInhibitor withoutBus(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=") +
                                          QString::fromStdString((dir_.path() / "none").string()),
                                      QStringLiteral("nowhere")),
        [&](const QString& why) { noBusComplaints << why; });
    withoutBus.hold();
    withoutBus.release();
    withoutBus.hold();
    EXPECT_FALSE(withoutBus.holding());
    EXPECT_EQ(noBusComplaints.size(), 1);
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

} // namespace
} // namespace kqvdr::test
