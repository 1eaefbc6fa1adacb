#include "Night.h"

#include "CKQVDR1000ControlApp.h"
#include "CMainFrame.h"
#include "ClockSeconds.h"
#include "CommandFrame.h"
#include "ControlSession.h"
#include "DataDirectory.h"
#include "MessageBoxes.h"
#include "PortFile.h"
#include "SessionWiring.h"
#include "SimulatorHost.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <algorithm>
#include <array>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#ifndef KQVDR_SUPPLIED_DIR
#error "KQVDR_SUPPLIED_DIR must name the folder of the supplied data files"
#endif

namespace kqvdr::test {
namespace {

using namespace std::chrono_literals;

// Long enough for any tick, however loaded the machine; a night whose ticks stop is stuck.
constexpr qint64 kStuckAfterMs = 20000;

QString shortClassName(const QObject* object) {
    const QString name = QString::fromLatin1(object->metaObject()->className());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

int dayNumber(const std::string& name) {
    static constexpr std::array<const char*, 7> kDays = {"SUN", "MON", "TUE", "WED",
                                                         "THU", "FRI", "SAT"};
    for (std::size_t i = 0; i < kDays.size(); ++i) {
        if (name == kDays[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The night's own time for what goes by a steady clock, such as the driver's reopening.
class NightSteadyClock final : public SteadyClock {
public:
    explicit NightSteadyClock(const ScenarioClock& clock) : clock_(clock) {}
    std::chrono::steady_clock::time_point now() const override {
        return std::chrono::steady_clock::time_point(std::chrono::milliseconds(clock_.utcMs()));
    }

private:
    const ScenarioClock& clock_;
};

void dismiss(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window); dialog != nullptr) {
        dialog->reject();
    } else {
        window->close();
    }
}

} // namespace

LocalTime localDate(int year, int month, int day, int hour, int minute, int second) {
    LocalTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    time.weekday = weekdayOf(time);
    return time;
}

Night::Night(const LocalTime& start, int offsetMinutes) : clock_(start, offsetMinutes) {
    if (const std::error_code error = seedDataDirectory({dir_.path(), KQVDR_SUPPLIED_DIR})) {
        ADD_FAILURE() << "supplied files: " << error.message();
    }
    writePortFile(dir_.path(), "COM 1");

    simulator_ = std::make_unique<sim::SimulatorHost>(sim::SimulatorOptions{},
                                                      [this] { return clock_.steadySeconds(); });
    std::filesystem::create_symlink(simulator_->slavePath().toStdString(), adapter());
    steadyClock_ = std::make_unique<NightSteadyClock>(clock_);
    simulator_->instrument().traceSink = [this](const std::string& trace) { recordCommand(trace); };
    sleepInhibitor_.onCall = [this](bool held) { sleepChanges_.push_back({clock_.now(), held}); };
    // The person reads a message and confirms it; a log offered for saving is not wanted.
    whenShown([](const SeenDialog& seen) { return seen.kind == "QMessageBox"; }, 2s,
              [this](QWidget* box) { pressKey(Qt::Key_Return, box); });
    whenShown([](const SeenDialog& seen) { return seen.kind == "CSaveLogDlg"; }, 2s,
              [](QWidget* dialog) { click(dialog, QStringLiteral("Cancel")); });
    startProgram();
}

void Night::startProgram() {
    messages_ = std::make_unique<QtMessageBoxes>();
    app_ = std::make_unique<CKQVDR1000ControlApp>(CommandLine{}, dir_.path().string() + "/");
    frame_ = std::make_unique<CMainFrame>(*app_, *messages_);
    session_ = std::make_unique<ControlSession>(
        ControlSession::Settings{dir_.path(), adapter().string(), &clock_, 0ms, &sleepInhibitor_,
                                 steadyClock_.get()},
        *messages_, [this] { return app_->title(); }, frame_.get());
    session_->person().onTerminate = [this](int code) { exitCodes_.push_back(code); };
    QObject::connect(&session_->heartbeat(), &Heartbeat::aboutToTick, frame_.get(),
                     [this] { beforeTick(); });
    systemTestWindows_ = &wireControlSession(*session_, *frame_, *messages_);
    if (!session_->start()) {
        ADD_FAILURE() << "the program did not start";
    }
    frame_->show();
}

void Night::cutPower() {
    for (QWidget* window : topLevels()) {
        if (window != frame_.get()) {
            window->hide();
        }
    }
    openModals_.clear();
    systemTestWindows_ = nullptr;
    session_.reset();
    frame_.reset();
    app_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    messages_.reset();
}

void Night::restart() {
    // Long enough to read and answer whatever the start asks.
    endUtcMs_ = clock_.utcMs() + 10 * 60 * 1000;
    startProgram();
    endUtcMs_ = clock_.utcMs();
}

Night::~Night() {
    session_->shutdown();
    for (QWidget* window : topLevels()) {
        if (window != frame_.get()) {
            window->hide();
        }
    }
    session_.reset();
    frame_.reset();
    simulator_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::int64_t Night::moment(const std::string& when) const {
    std::istringstream in(when);
    std::string day;
    char colon = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    in >> day >> hour >> colon >> minute >> colon >> second;
    const int weekday = dayNumber(day);
    if (in.fail() || weekday < 0) {
        ADD_FAILURE() << "not a moment: " << when;
        return INT64_MAX;
    }
    const std::int64_t from = clock_.utcMs() / 1000 * 1000;
    const LocalTime today = clock_.now();
    for (int days = 0; days <= 14; ++days) {
        LocalTime date = localTimeAt(localSeconds(today) + std::int64_t{days} * 86400);
        if (weekdayOf(date) != weekday) {
            continue;
        }
        date.hour = hour;
        date.minute = minute;
        date.second = second;
        const std::int64_t utc = clock_.utcMsOf(date, from);
        if (utc != INT64_MAX) {
            return utc;
        }
    }
    ADD_FAILURE() << "no such moment ahead: " << when;
    return INT64_MAX;
}

void Night::at(const std::string& when, Action action) {
    atUtc(moment(when), std::move(action));
}

void Night::atUtc(std::int64_t utcMs, Action action) {
    const auto place =
        std::upper_bound(steps_.begin(), steps_.end(), utcMs,
                         [](std::int64_t t, const Step& step) { return t < step.utcMs; });
    steps_.insert(place, Step{utcMs, std::move(action)});
}

void Night::whenShown(std::function<bool(const SeenDialog&)> matches,
                      std::chrono::milliseconds after, Reaction react) {
    rules_.push_back({std::move(matches), after, std::move(react)});
}

void Night::runUntil(const std::string& when) {
    runUntilUtc(moment(when));
}

void Night::runUntilUtc(std::int64_t utcMs) {
    endUtcMs_ = utcMs;
    QElapsedTimer sinceTick;
    sinceTick.start();
    int lastTicks = ticks_;
    while (clock_.utcMs() < endUtcMs_) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (ticks_ != lastTicks) {
            lastTicks = ticks_;
            sinceTick.restart();
        } else if (sinceTick.elapsed() > kStuckAfterMs) {
            ADD_FAILURE() << "the program stopped ticking at " << clock_.now().hour << ":"
                          << clock_.now().minute << ":" << clock_.now().second;
            break;
        }
    }
    // Steps due at the very end still happen.
    postDueSteps();
    QCoreApplication::processEvents();
}

void Night::beforeTick() {
    ++ticks_;
    noticeLoggedLine();
    if (clock_.utcMs() < endUtcMs_) {
        clock_.advance(tickLength_);
    }
    noticeModalWindows();
    postDueSteps();
    if (clock_.utcMs() >= endUtcMs_) {
        // The night is over: the person closes what is still open, and no more time passes.
        if (QWidget* modal = activeModal(); modal != nullptr) {
            QMetaObject::invokeMethod(
                frame_.get(),
                [window = QPointer<QWidget>(modal)] {
                    if (window && window->isVisible()) {
                        dismiss(window);
                    }
                },
                Qt::QueuedConnection);
        }
    }
}

void Night::noticeLoggedLine() {
    const RecentLines& ring = session_->log().recentLines();
    if (ring.writeIndex() == lastWriteIndex_ && ring.lastLine() == lastLoggedText_) {
        return;
    }
    lastWriteIndex_ = ring.writeIndex();
    lastLoggedText_ = ring.lastLine();
    if (!lastLoggedText_.empty()) {
        logged_.push_back({clock_.utcMs(), lastLoggedText_});
    }
}

void Night::noticeModalWindows() {
    std::erase_if(openModals_,
                  [](const QPointer<QWidget>& window) { return !window || !window->isVisible(); });
    QWidget* modal = activeModal();
    if (modal == nullptr ||
        std::find(openModals_.begin(), openModals_.end(), modal) != openModals_.end()) {
        return;
    }
    openModals_.emplace_back(modal);
    SeenDialog seen{clock_.now(), shortClassName(modal), modal->windowTitle(), {}};
    if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr) {
        seen.text = box->text();
    }
    seen_.push_back(seen);
    for (auto rule = rules_.rbegin(); rule != rules_.rend(); ++rule) {
        if (rule->matches(seen)) {
            atUtc(clock_.utcMs() + rule->after.count(),
                  [window = QPointer<QWidget>(modal), react = rule->react] {
                      if (window && window->isVisible()) {
                          react(window);
                      }
                  });
            break;
        }
    }
}

void Night::postDueSteps() {
    while (!steps_.empty() && steps_.front().utcMs <= clock_.utcMs()) {
        QMetaObject::invokeMethod(frame_.get(), std::move(steps_.front().action),
                                  Qt::QueuedConnection);
        steps_.erase(steps_.begin());
    }
}

void Night::recordCommand(const std::string& trace) {
    if (trace.rfind("in  ", 0) != 0) {
        return;
    }
    sim::CommandFrame frame;
    if (!sim::decodeCommandFrame(trace.substr(4), frame)) {
        return;
    }
    ++sentCounts_.at(static_cast<std::size_t>(frame.commandCode) % sentCounts_.size());
    // The sweep's requests, and the fault word asked for on every tick in the error mode.
    const bool pollRequest = (frame.commandCode >= 17 && frame.commandCode <= 29) ||
                             frame.commandCode == 32 || frame.commandCode == 33;
    if (!pollRequest) {
        sent_.push_back({clock_.now(), frame.commandCode, frame.words});
    }
}

void Night::command(CommandId id) {
    frame_->action(id)->trigger();
}

QWidget* Night::activeModal() {
    return QApplication::activeModalWidget();
}

void Night::pressKey(Qt::Key key, QWidget* window) {
    QWidget* target = window != nullptr ? window : activeModal();
    if (target == nullptr) {
        ADD_FAILURE() << "no window for the key";
        return;
    }
    QWidget* field = target->focusWidget();
    QTest::keyClick(field != nullptr ? field : target, key);
}

void Night::type(const QString& text) {
    QWidget* target = activeModal();
    if (target == nullptr) {
        ADD_FAILURE() << "no window to type into";
        return;
    }
    QWidget* field = target->focusWidget();
    QTest::keyClicks(field != nullptr ? field : target, text);
}

void Night::click(QWidget* window, const QString& buttonText) {
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->text().remove(QLatin1Char('&')) == buttonText && button->isVisible()) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << buttonText.toStdString() << " in "
                  << shortClassName(window).toStdString();
}

void Night::instrument(const std::string& line) {
    simulator_->control(QString::fromStdString(line));
}

void Night::unplugAdapter() {
    std::filesystem::remove(adapter());
    simulator_->unplug();
}

void Night::plugAdapterBack() {
    simulator_->plugBack();
    std::filesystem::create_symlink(simulator_->slavePath().toStdString(), adapter());
}

void Night::clearFaultAtTheInstrument() {
    simulator_->instrument().model().handle(16, {});
}

void Night::changeOffset(int offsetMinutes) {
    clock_.changeOffsetAt(clock_.utcMs(), offsetMinutes);
}

std::vector<SentCommand> Night::sent(int code) const {
    std::vector<SentCommand> found;
    std::copy_if(sent_.begin(), sent_.end(), std::back_inserter(found),
                 [code](const SentCommand& command) { return command.code == code; });
    return found;
}

int Night::sentCount(int code) const {
    return sentCounts_.at(static_cast<std::size_t>(code) % sentCounts_.size());
}

int Night::seenCount(const QString& kind, const QString& textPart) const {
    return static_cast<int>(std::count_if(seen_.begin(), seen_.end(), [&](const SeenDialog& s) {
        return s.kind == kind && (textPart.isEmpty() || s.text.contains(textPart));
    }));
}

std::vector<std::string> Night::lines(const std::string& fileName) const {
    std::ifstream in(dir_.path() / fileName, std::ios::binary);
    std::vector<std::string> found;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        found.push_back(line);
    }
    return found;
}

std::vector<QWidget*> Night::topLevels() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return {windows.begin(), windows.end()};
}

} // namespace kqvdr::test
