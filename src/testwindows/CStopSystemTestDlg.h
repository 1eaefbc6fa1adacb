#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

class QLabel;
class QProgressBar;

namespace kqvdr {

class Clock;

// "SYSTEM TEST IN PROGRESS": the elapsed share of the timetable, counted once step 1 has fired,
// and "Stop System Test". Modeless; only a click on its button, or Space on it, (or the test's
// end) closes it; Return, Enter and Escape leave the test running.
class CStopSystemTestDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int {
        TemplateId = 183,
        ProgressBar = 1324,
        StartLabel = 1332,
        EndLabel = 1333,
        PercentLabel = 1334,
        StopButton = 1,
    };

    // Times are "HH:MM:SS". `stopTest` performs the test end.
    CStopSystemTestDlg(const QString& caption, const QString& startTime, const QString& endTime,
                       const Clock& clock, std::function<void()> stopTest,
                       QWidget* parent = nullptr);

    void startCounting() { counting_ = true; }
    int percent() const { return percent_; }
    // One second of the progress timer.
    void refresh();
    // Lets the window go without stopping anything: the test has ended.
    void release();

protected:
    // Escape does nothing while the test runs.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    const Clock& clock_;
    std::function<void()> stopTest_;
    QString startTime_;
    QString endTime_;
    QProgressBar* bar_;
    QLabel* percentLabel_;
    QTimer timer_;
    int percent_ = 0;
    bool counting_ = false;
    bool released_ = false;
};

} // namespace kqvdr
