#include "CComSettingsDlg.h"
#include "ControlSession.h"
#include "PortFile.h"
#include "ScriptedMessageBoxes.h"
#include "SimulatorHost.h"
#include "TemporaryDirectory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

const char* const kById = "usb-KQ_Serial_Adapter_A50285BI-if00-port0";

// A device tree of the test's own, as udev lays one out: the adapter's kernel name, a link to
// the simulator's line, and its stable by-id name linking to that.
struct FakeDevices {
    test::TemporaryDirectory root;
    explicit FakeDevices(const std::string& line) {
        fs::create_directories(root.path() / "serial" / "by-id");
        fs::create_symlink(line, root.path() / "ttyUSB0");
        fs::create_symlink("../../ttyUSB0", root.path() / "serial" / "by-id" / kById);
    }
    std::string byId() const { return (root.path() / "serial" / "by-id" / kById).string(); }
};

// Picks `row` of the port list in the first port dialog that comes up and presses Connect.
class PortDialogAnswer {
public:
    explicit PortDialogAnswer(int row) {
        QObject::connect(&timer_, &QTimer::timeout, [this, row] {
            auto* dialog = qobject_cast<CComSettingsDlg*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            ++shown;
            listed.clear();
            for (int i = 0; i < dialog->portList()->count(); ++i) {
                listed.push_back(dialog->portList()->item(i)->text().toStdString());
            }
            if (row < dialog->portList()->count()) {
                dialog->portList()->setCurrentRow(row);
                emit dialog->portList()->itemClicked(dialog->portList()->item(row));
            }
            dialog->accept();
        });
        timer_.start(20);
    }
    int shown = 0;
    std::vector<std::string> listed;

private:
    QTimer timer_;
};

struct StartCase {
    const char* name;
    std::function<void(const fs::path& dir)> portFile;
    const char* said; // what the message before the dialog says
};

// Each bad port the program may start with is said, the port dialog comes, and the adapter
// chosen from the list is polled; nothing ends the program.
TEST(PortChoiceSession, ABadPortAtStartIsSaidAndTheAdapterChosenFromTheListIsPolled) {
    const StartCase cases[] = {
        {"damaged port file",
         [](const fs::path& dir) {
             test::writeBytes(dir / kPortFile, "\x03"
                                               "abc");
         },
         "\"KQ-VDR 1000.ini\", which keeps the communications port, is damaged"},
        {"port that has disappeared",
         [](const fs::path& dir) {
             writePortFile(dir, "/dev/serial/by-id/usb-Gone_Adapter-if00-port0");
         },
         "The communications port /dev/serial/by-id/usb-Gone_Adapter-if00-port0 cannot be "
         "opened.\n\nIt is not present on this computer."},
        {"path to something that is not a terminal",
         [](const fs::path& dir) {
             test::writeBytes(dir / "notes.txt", "not a port");
             writePortFile(dir, (dir / "notes.txt").string());
         },
         "cannot be opened.\n\nIt is not a serial port."},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TemporaryDirectory dir;
        sim::SimulatorHost instrument{sim::SimulatorOptions{}};
        int framesIn = 0;
        instrument.instrument().traceSink = [&framesIn](const std::string& trace) {
            framesIn += trace.rfind("in", 0) == 0 ? 1 : 0;
        };
        FakeDevices devices(instrument.slavePath().toStdString());
        c.portFile(dir.path());
        test::ScriptedMessageBoxes messages;
        std::vector<int> exitCodes;
        ControlSession::Settings settings;
        settings.programDir = dir.path();
        ControlSession session(
            settings, messages, [] { return QStringLiteral("KQ-VDR1000 Control"); }, nullptr);
        session.person().onTerminate = [&exitCodes](int code) { exitCodes.push_back(code); };
        session.person().presentPorts = [&devices] {
            return linuxSerialPorts(devices.root.path(), devices.root.path());
        };

        PortDialogAnswer answer(0);
        ASSERT_TRUE(session.start());
        EXPECT_EQ(answer.shown, 1);
        EXPECT_EQ(answer.listed, (std::vector<std::string>{
                                     devices.byId() + "  ttyUSB0",
                                     (devices.root.path() / "ttyUSB0").string() + "  " + kById}));
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_NE(messages.shown[0].text.find(c.said), std::string::npos) << messages.shown[0].text;
        EXPECT_EQ(session.state().activePort, devices.byId());
        EXPECT_EQ(readPortFile(dir.path()).port, devices.byId());

        QElapsedTimer waited;
        waited.start();
        while (framesIn < 20 && waited.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        EXPECT_GE(framesIn, 20) << "the sweeps reach the instrument";
        EXPECT_TRUE(exitCodes.empty());
        session.shutdown();
    }
}

} // namespace
} // namespace kqvdr
