// A stand-in for systemd-logind's sleep inhibitors on a bus of the test's own. It prints
// "ready" once it owns the name, "inhibit N what|who|why|mode" for every Inhibit call, and
// "released N" when every copy of the N-th descriptor it handed out has been closed.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

namespace {

void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

class Manager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        const int number = ++calls_;
        say(QStringLiteral("inhibit %1 %2|%3|%4|%5").arg(number).arg(what, who, why, mode));
        int ends[2];
        if (::pipe(ends) != 0) {
            return {};
        }
        // The read end sees end-of-file once no copy of the write end is left open.
        auto* watch = new QSocketNotifier(ends[0], QSocketNotifier::Read, this);
        connect(watch, &QSocketNotifier::activated, this, [watch, number, readEnd = ends[0]] {
            char byte = 0;
            if (::read(readEnd, &byte, 1) == 0) {
                watch->setEnabled(false);
                ::close(readEnd);
                say(QStringLiteral("released %1").arg(number));
                watch->deleteLater();
            }
        });
        QDBusUnixFileDescriptor handedOut(ends[1]); // a copy of its own
        ::close(ends[1]);
        return handedOut;
    }

private:
    int calls_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s BUS-ADDRESS\n", argv[0]);
        return 2;
    }
    QDBusConnection bus =
        QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("bus"));
    Manager manager;
    if (!bus.isConnected() ||
        !bus.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.login1"))) {
        std::fprintf(stderr, "stand-in logind: %s\n",
                     bus.lastError().message().toLocal8Bit().constData());
        return 1;
    }
    say(QStringLiteral("ready"));
    return QCoreApplication::exec();
}

#include "StandInLogind.moc"
