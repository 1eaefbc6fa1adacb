#include "QtSystemTestWindows.h"

#include "CStopSystemTestDlg.h"
#include "CSystemTestDlg.h"
#include "CSystemTestResultDlg.h"
#include "Heartbeat.h"
#include "MessageBoxes.h"
#include "TestSerial.h"
#include "Utf8Path.h"

#include <QFileDialog>
#include <QWidget>

namespace kqvdr {

QtSystemTestWindows::QtSystemTestWindows(Environment environment, const Parts& parts)
    : QObject(environment.mainWindow), env_(std::move(environment)),
      control_({parts.state, parts.table, parts.runner, parts.methods, parts.log, parts.person,
                *this, parts.automation},
               env_.programDir, [this] { return env_.title().toStdString(); }) {}

QtSystemTestWindows::~QtSystemTestWindows() {
    delete progress_.data();
}

std::optional<TestInstrument> QtSystemTestWindows::identifyInstrument(const std::string& start,
                                                                      const std::string& end) {
    if (named_) {
        return named_;
    }
    std::optional<TestInstrument> chosen;
    env_.heartbeat.runModal([&] {
        CSystemTestDlg dialog(env_.title(), env_.fineGas(), QString::fromStdString(start),
                              QString::fromStdString(end), env_.programDir, env_.messages,
                              env_.mainWindow);
        if (dialog.exec() == QDialog::Accepted) {
            chosen = dialog.instrument();
        }
    });
    return chosen;
}

void QtSystemTestWindows::runSystemTestFor(const TestInstrument& instrument) {
    named_ = instrument;
    control_.runSystemTest();
    named_.reset();
}

void QtSystemTestWindows::minimiseMainWindow() {
    env_.mainWindow->showMinimized();
}

void QtSystemTestWindows::restoreMainWindow() {
    env_.mainWindow->showNormal();
}

void QtSystemTestWindows::openProgress(const std::string& shownSerial, const std::string& startTime,
                                       const std::string& endTime) {
    if (progress_) {
        progress_->raise();
        progress_->activateWindow();
        return;
    }
    progress_ =
        new CStopSystemTestDlg(env_.title() + QStringLiteral(" - System Test (") +
                                   QString::fromStdString(shownSerial) + QStringLiteral(")"),
                               QString::fromStdString(startTime), QString::fromStdString(endTime),
                               env_.clock, [this] { control_.endTest(); });
    progress_->show();
}

void QtSystemTestWindows::startCounting() {
    if (progress_) {
        progress_->startCounting();
    }
}

void QtSystemTestWindows::closeProgress() {
    if (progress_) {
        progress_->release();
        progress_ = nullptr;
    }
}

void QtSystemTestWindows::showResults(const std::string& testSerial,
                                      const std::filesystem::path& log) {
    env_.heartbeat.runModal([&] {
        CSystemTestResultDlg dialog(env_.title(), testSerial, log, env_.messages, env_.mainWindow);
        dialog.analyse();
        dialog.exec();
    });
}

void QtSystemTestWindows::warning(const std::string& caption, const std::string& text) {
    env_.heartbeat.runModal([&] {
        env_.messages.show(env_.mainWindow,
                           {caption, text, MessageIcon::Exclamation, MessageButtons::Ok});
    });
}

void QtSystemTestWindows::analyzeSystemTestLog() {
    QString chosen;
    env_.heartbeat.runModal([&] {
        chosen = QFileDialog::getOpenFileName(
            env_.mainWindow, QStringLiteral("Select System Test log file"),
            QString::fromStdU16String(env_.programDir.u16string()),
            QStringLiteral("System Test Log Files (*.log)"));
    });
    if (chosen.isEmpty()) {
        return;
    }
    const std::filesystem::path path(chosen.toStdU16String());
    const std::string name = utf8FromPath(path.filename());
    if (!looksLikeTestLog(name)) {
        env_.messages.show(env_.mainWindow,
                           {env_.title().toStdString(), "This is not a valid System Test log",
                            MessageIcon::Information, MessageButtons::Ok});
        return;
    }
    showResults(serialOfLogName(name), path);
}

} // namespace kqvdr
