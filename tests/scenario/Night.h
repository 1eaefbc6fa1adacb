#pragma once

#include "Clock.h"
#include "CommandId.h"
#include "RecordingSleepInhibitor.h"
#include "ScenarioClock.h"
#include "SteadyClock.h"
#include "TemporaryDirectory.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kqvdr {
class CKQVDR1000ControlApp;
class CMainFrame;
class ControlSession;
class QtMessageBoxes;
class QtSystemTestWindows;
namespace sim {
class SimulatorHost;
}
} // namespace kqvdr

namespace kqvdr::test {

// A command frame that reached the instrument, with the local time it arrived.
struct SentCommand {
    LocalTime at;
    int code = -1;
    std::vector<std::int16_t> words;
};

// A line the log channel wrote, as the viewer's ring holds it, and the UTC instant of the tick
// that wrote it.
struct LoggedLine {
    std::int64_t utcMs = 0;
    std::string text;
};

// The program asked for the computer to be kept awake (held) or let it sleep again.
struct SleepChange {
    LocalTime at;
    bool held = false;
};

// A modal window as the person saw it appear.
struct SeenDialog {
    LocalTime at;
    QString kind; // the class name without its namespace, "QMessageBox", "CGasErrDlg", ...
    QString title;
    QString text; // a message box's text
};

// The whole program for one night: the real session with its real windows (offscreen), the
// simulated instrument in-process on a pseudo-terminal, files in a fresh directory, and a clock
// of the night's own that moves 100 ms with every tick, however fast the ticks come.
//
// A scenario is a script of what the person and the world do at given local times ("MON
// 18:00:05", the first such moment from now on), and of how the person answers windows when
// they appear. Every step runs from the event loop, outside any tick, wherever the program is:
// inside a fault dialog's loop as readily as at the top. runUntil() plays the script; at its
// end the person closes whatever modal window is still open, with the clock standing still.
class Night {
public:
    using Action = std::function<void()>;
    using Reaction = std::function<void(QWidget*)>;

    // Starts the program at this local time (its weekday is worked out), `offsetMinutes` east
    // of UTC. The data directory holds the supplied files, the port file "COM 1" and `extra`.
    explicit Night(const LocalTime& start, int offsetMinutes = 60);
    ~Night();
    Night(const Night&) = delete;
    Night& operator=(const Night&) = delete;

    // --- the script ---
    // "MON 18:00:05": the first such local moment from now on.
    std::int64_t moment(const std::string& when) const;
    void at(const std::string& when, Action action);
    void atUtc(std::int64_t utcMs, Action action);
    // Whenever a modal window that `matches` appears, `react` to it `after` that long. Rules
    // given later take precedence; a message box is otherwise confirmed with Enter after two
    // seconds and the Save Operational Log dialog cancelled.
    void whenShown(std::function<bool(const SeenDialog&)> matches, std::chrono::milliseconds after,
                   Reaction react);
    // Plays the script until the clock shows `when`.
    void runUntil(const std::string& when);
    void runUntilUtc(std::int64_t utcMs);
    // Each tick moves the clock this far (100 ms unless changed).
    void setTickLength(std::chrono::milliseconds length) { tickLength_ = length; }

    // --- what the person does ---
    void command(CommandId id);
    // Presses a key in the active modal window (at its focused field), or in `window`.
    void pressKey(Qt::Key key, QWidget* window = nullptr);
    // Clicks the button of this text (shortcut ampersands ignored) in `window`.
    static void click(QWidget* window, const QString& buttonText);
    // Types into the focused field of the active modal window.
    void type(const QString& text);
    static QWidget* activeModal();
    // The open top-level window of this class, if any.
    template <class Window> Window* window() const {
        for (QWidget* widget : topLevels()) {
            if (auto* found = qobject_cast<Window*>(widget); found != nullptr) {
                return found;
            }
        }
        return nullptr;
    }

    // --- what the world does ---
    // A control line for the instrument ("fault GAS", "silent on").
    void instrument(const std::string& line);
    // The USB adapter is pulled out: its device node goes and the line hangs up.
    void unplugAdapter();
    // And put back: a new device under the same name, which the program opens as its port.
    void plugAdapterBack();
    // Someone clears the instrument's fault at the instrument itself.
    void clearFaultAtTheInstrument();
    // The power goes, or the computer restarts by force: the program is gone without its
    // shutdown, its windows with it. The instrument, the files and the clock stay. Call it
    // between runUntil()s, not from a step.
    void cutPower();
    // The program starts again on the same data folder, as the person would start it. The clock
    // moves while it starts, so windows it opens on the way are answered by the rules.
    void restart();
    // The program gets no tick for this long: a stall, a suspend, a debugger.
    void stall(std::chrono::milliseconds length) { clock_.advance(length); }
    // The zone's offset changes now, as at the change to or from summer time.
    void changeOffset(int offsetMinutes);

    // --- what the night left ---
    // Every command but the poll's requests, which are only counted: a week of them would
    // weigh more than the program.
    const std::vector<SentCommand>& sent() const { return sent_; }
    // Commands with this code, in order.
    std::vector<SentCommand> sent(int code) const;
    int sentCount(int code) const;
    const std::vector<SeenDialog>& seen() const { return seen_; }
    int seenCount(const QString& kind, const QString& textPart = {}) const;
    const std::vector<int>& exitCodes() const { return exitCodes_; }
    // Every line logged, whatever file it went to and whether that file was later emptied.
    const std::vector<LoggedLine>& logged() const { return logged_; }
    // Every hold and release of the computer's sleep, in order.
    const std::vector<SleepChange>& sleepChanges() const { return sleepChanges_; }
    // A file of the data directory as lines without their line ends.
    std::vector<std::string> lines(const std::string& fileName) const;
    const std::filesystem::path& dir() const { return dir_.path(); }
    // The device the program was given: a link, as a by-id name is, to the simulator's line.
    std::filesystem::path adapter() const { return devices_.path() / "ttyUSB0"; }

    ControlSession& session() { return *session_; }
    CMainFrame& frame() { return *frame_; }
    QtSystemTestWindows& systemTestWindows() { return *systemTestWindows_; }
    ScenarioClock& clock() { return clock_; }
    LocalTime now() const { return clock_.now(); }
    int ticks() const { return ticks_; }

private:
    struct Step {
        std::int64_t utcMs;
        Action action;
    };
    struct Rule {
        std::function<bool(const SeenDialog&)> matches;
        std::chrono::milliseconds after;
        Reaction react;
    };

    void startProgram();
    void beforeTick();
    void noticeModalWindows();
    void postDueSteps();
    void recordCommand(const std::string& trace);
    void noticeLoggedLine();
    static std::vector<QWidget*> topLevels();

    TemporaryDirectory dir_;
    TemporaryDirectory devices_; // the adapter's device name, a link to the simulator's line
    ScenarioClock clock_;
    std::unique_ptr<SteadyClock> steadyClock_;
    std::chrono::milliseconds tickLength_{100};
    std::int64_t endUtcMs_ = INT64_MIN;
    std::vector<Step> steps_; // kept in time order
    std::vector<Rule> rules_;
    std::vector<QPointer<QWidget>> openModals_;
    std::vector<SentCommand> sent_;
    std::array<int, 64> sentCounts_{};
    std::vector<SeenDialog> seen_;
    std::vector<int> exitCodes_;
    std::vector<LoggedLine> logged_;
    int lastWriteIndex_ = 0;
    std::string lastLoggedText_;
    int ticks_ = 0;
    std::vector<SleepChange> sleepChanges_;
    RecordingSleepInhibitor sleepInhibitor_;
    std::unique_ptr<sim::SimulatorHost> simulator_;
    std::unique_ptr<QtMessageBoxes> messages_;
    std::unique_ptr<CKQVDR1000ControlApp> app_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<ControlSession> session_;
    QtSystemTestWindows* systemTestWindows_ = nullptr; // owned by the session's wiring
};

// Names of local moments, for scripts: "MON 18:00:05".
LocalTime localDate(int year, int month, int day, int hour, int minute, int second = 0);

} // namespace kqvdr::test
