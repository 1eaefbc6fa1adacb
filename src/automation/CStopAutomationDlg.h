#pragma once

#include "AutomationEvent.h"

#include <QDialog>
#include <QTimer>
#include <functional>

class QListWidget;

namespace kqvdr {

class Clock;
class MessageBoxes;

// "AUTOMATION   IN   PROGRESS": the clock and the current event while an automation runs, with
// Stop Automation and the timetable's summary. Modeless; only a click on Stop Automation, or
// Space on it, (or the end of the automation) closes it, so an overnight run is not ended by a
// stray Return, Enter or Escape.
class CStopAutomationDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int {
        TemplateId = 180,
        TimeList = 1008,
        EventList = 1006,
        StopButton = 1,
        InformationButton = 1315,
    };

    CStopAutomationDlg(const AutomationTable& table, const Clock& clock, const QString& mainCaption,
                       MessageBoxes& messages, std::function<void()> stopAutomation,
                       QWidget* parent = nullptr);

    // Lets the window go: the automation has ended or the program is ending. While its
    // Information box is open it only hides, and goes once the box is closed.
    void release();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh();
    void showInformation();

    const AutomationTable& table_;
    const Clock& clock_;
    MessageBoxes& messages_;
    QString mainCaption_;
    std::function<void()> stopAutomation_;
    QListWidget* timeList_;
    QListWidget* eventList_;
    QString shownTime_;
    QString shownEvent_;
    QTimer timer_;
    bool released_ = false;
    bool informationOpen_ = false;
};

} // namespace kqvdr
