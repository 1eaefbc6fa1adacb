#pragma once

#include "CStopSystemTestDlg.h"
#include "SystemTestControl.h"
#include "SystemTestWindows.h"

#include <QObject>
#include <QPointer>
#include <filesystem>
#include <functional>

class QWidget;

namespace kqvdr {

class Clock;
class Heartbeat;
class MessageBoxes;

// The system test's windows in the program: the identification dialog, the progress window,
// the results dialog and the warnings, with the main window minimised while a test runs. Modal
// dialogs run with the heartbeat going, since the test may end inside a tick.
class QtSystemTestWindows : public QObject, public SystemTestWindows {
    Q_OBJECT

public:
    struct Environment {
        QWidget* mainWindow;
        MessageBoxes& messages;
        Heartbeat& heartbeat;
        const Clock& clock;
        std::filesystem::path programDir;
        std::function<QString()> title;
        std::function<bool()> fineGas;
    };

    // The test's parts, but for these windows.
    struct Parts {
        InstrumentState& state;
        AutomationTable& table;
        SystemTestRunner& runner;
        MethodStore& methods;
        OperationalLog& log;
        Operator& person;
        const TickRunner& automation;
    };

    QtSystemTestWindows(Environment environment, const Parts& parts);
    // A progress window still open (the program is ending) goes with these windows.
    ~QtSystemTestWindows() override;

    // Tools > Run System Test and Tools > Analyze System Test Log.
    void runSystemTest() { control_.runSystemTest(); }
    // The same for a remote client, which names the instrument with its command instead of in
    // the identification dialog.
    void runSystemTestFor(const TestInstrument& instrument);
    void analyzeSystemTestLog();
    // True, after saying what runs, when a running test refuses the command.
    bool refuseAutomation() { return control_.refuseAutomation(); }
    bool refuseLogCommand() { return control_.refuseLogCommand(); }

    std::optional<TestInstrument> identifyInstrument(const std::string& start,
                                                     const std::string& end) override;
    void minimiseMainWindow() override;
    void restoreMainWindow() override;
    void openProgress(const std::string& shownSerial, const std::string& startTime,
                      const std::string& endTime) override;
    void startCounting() override;
    void closeProgress() override;
    void showResults(const std::string& testSerial, const std::filesystem::path& log) override;
    void warning(const std::string& caption, const std::string& text) override;

    CStopSystemTestDlg* progress() const { return progress_; }
    const SystemTestControl& control() const { return control_; }

private:
    Environment env_;
    SystemTestControl control_;
    QPointer<CStopSystemTestDlg> progress_;
    std::optional<TestInstrument> named_; // by a remote client, for the start under way
};

} // namespace kqvdr
