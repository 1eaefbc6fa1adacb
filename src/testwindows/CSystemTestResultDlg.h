#pragma once

#include "PerformanceReport.h"
#include "TestResult.h"

#include <QDialog>
#include <array>
#include <filesystem>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace kqvdr {

class CVerdictPicture;
class MessageBoxes;

// The results of a system test: the four verdicts beside their tests' names, and buttons for
// each test's details, the methods' setpoints and the report. The log is analysed when the
// dialog starts.
class CSystemTestResultDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int {
        TemplateId = 184,
        ResponsePicture = 1336, // the four verdict pictures, in test order
        ResponseButton = 1368,
        StabilityButton = 1369,
        BaselineButton = 1370,
        MassFlowButton = 1371,
        MethodSettingsButton = 1372,
        PrintReportButton = 1373,
        SaveReportButton = 1374, // beside Print Report: the same pages as a PDF file
    };

    // `serial` with "_" or "-" as its fourth character.
    CSystemTestResultDlg(const QString& title, const std::string& serial,
                         std::filesystem::path logPath, MessageBoxes& messages,
                         QWidget* parent = nullptr);

    // Analyses the log; says so when it cannot be read, and how many of its lines could not be
    // read. Call before showing.
    void analyse();

    const std::vector<TestResult>& results() const { return results_; }
    // What Print Report and Save as PDF print: the serial as held here, the rows and today.
    ReportData reportData() const;
    // Where Save as PDF asks to write; a file dialog unless replaced (tests). Empty: cancelled.
    void setPdfPathChooser(std::function<QString()> chooser) {
        choosePdfPath_ = std::move(chooser);
    }
    // The details dialogs, made for the buttons (and for tests).
    QDialog* makeDetails(int button);

private:
    void openDetails(int button);
    void showMethodSettings();
    void saveReportAsPdf();
    void showUnreadableLines();

    QString title_;
    std::string serial_;
    std::filesystem::path logPath_;
    MessageBoxes& messages_;
    std::vector<TestResult> results_;
    std::array<CVerdictPicture*, 4> pictures_{};
    std::vector<QPushButton*> buttons_;
    QLabel* unreadable_ = nullptr;
    std::size_t unreadableLines_ = 0;
    std::size_t firstUnreadableLine_ = 0;
    std::function<QString()> choosePdfPath_;
};

} // namespace kqvdr
