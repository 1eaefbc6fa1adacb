#include "CSystemTestResultDlg.h"

#include "CResultDetailsDlg.h"
#include "CVerdictPicture.h"
#include "FileIdentity.h"
#include "MessageBoxes.h"
#include "ResultLines.h"
#include "SystemTestAnalysis.h"
#include "TestSerial.h"
#include "TestVerdicts.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kqvdr {
namespace {

const char* const kCannotOpen = "\nError opening instruments System Test file for analysis.\n\n"
                                "System Analysis will not be carried out.";
const char* const kDetailsPrefix = "KQ- VDR 1000 Control - ";

Verdict verdictOf(const std::vector<TestResult>& rows, SystemTest test) {
    return overallVerdicts(rows).of(test);
}

using Headings = std::vector<CResultListPage::Heading>;

// Over the columns of the lines' formats.
Headings stabilityHeadings() {
    return {{QStringLiteral("Method"), 0},  {QStringLiteral("Tolerence"), 16},
            {QStringLiteral("Actual"), 26}, {QStringLiteral("Limit"), 32},
            {QStringLiteral("Actual"), 40}, {QStringLiteral("Status"), 56}};
}

Headings limitHeadings() {
    return {{QStringLiteral("Method"), 0},
            {QStringLiteral("Limit"), 16},
            {QStringLiteral("Actual"), 32},
            {QStringLiteral("Status"), 48}};
}

} // namespace

CSystemTestResultDlg::CSystemTestResultDlg(const QString& title, const std::string& serial,
                                           std::filesystem::path logPath, MessageBoxes& messages,
                                           QWidget* parent)
    : QDialog(parent), title_(title), serial_(storedSerial(serial)), logPath_(std::move(logPath)),
      messages_(messages) {
    setObjectName(QString::number(TemplateId));
    setWindowTitle(title + QStringLiteral(" - System Test (") +
                   QString::fromStdString(shownSerial(serial_)) + QStringLiteral(")"));

    auto* tests = new QGroupBox(QStringLiteral("System Test Results"));
    auto* grid = new QGridLayout(tests);
    for (int i = 0; i < kSystemTestCount; ++i) {
        auto* picture = new CVerdictPicture;
        picture->setObjectName(QString::number(ResponsePicture + i));
        picture->setVisible(false);
        pictures_[static_cast<std::size_t>(i)] = picture;
        grid->addWidget(picture, i, 0);
        grid->addWidget(
            new QLabel(QString::fromLatin1(systemTestLabel(static_cast<SystemTest>(i)))), i, 1);
    }

    const std::array<std::pair<int, const char*>, 7> commands = {{
        {ResponseButton, "Temperature Response"},
        {StabilityButton, "Temperature Stability"},
        {BaselineButton, "Baseline Stability"},
        {MassFlowButton, "Mass Flow Response"},
        {MethodSettingsButton, "Method Settings"},
        {PrintReportButton, "Print Report"},
        {SaveReportButton, "Save as PDF"},
    }};
    auto* buttonColumn = new QVBoxLayout;
    for (const auto& [id, text] : commands) {
        auto* button = new QPushButton(QString::fromLatin1(text));
        button->setObjectName(QString::number(id));
        button->setEnabled(false);
        buttonColumn->addWidget(button);
        buttons_.push_back(button);
        connect(button, &QPushButton::clicked, this, [this, id = id] {
            if (id == MethodSettingsButton) {
                showMethodSettings();
            } else if (id == PrintReportButton) {
                if (const auto failure = printReportWithDialog(this, reportData())) {
                    messages_.show(this,
                                   {title_.toStdString(), "\n" + failure->toStdString() + ".\n",
                                    MessageIcon::Exclamation, MessageButtons::Ok});
                }
            } else if (id == SaveReportButton) {
                saveReportAsPdf();
            } else {
                openDetails(id);
            }
        });
    }
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttonColumn->addStretch();
    buttonColumn->addWidget(ok);

    unreadable_ = new QLabel;
    unreadable_->setObjectName(QStringLiteral("unreadable"));
    unreadable_->setWordWrap(true);
    unreadable_->setVisible(false);
    auto* results = new QVBoxLayout;
    results->addWidget(tests, 1);
    results->addWidget(unreadable_);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(results, 1);
    layout->addLayout(buttonColumn);
}

ReportData CSystemTestResultDlg::reportData() const {
    const QDate today = QDate::currentDate();
    return {serial_, results_, reportDateText(today.year(), today.month(), today.day()),
            unreadableLines_, firstUnreadableLine_};
}

// Beside the printer: the same pages as a PDF file the operator chooses.
void CSystemTestResultDlg::saveReportAsPdf() {
    const QString path =
        choosePdfPath_
            ? choosePdfPath_()
            : QFileDialog::getSaveFileName(this, title_ + QStringLiteral(" - Save Report as PDF"),
                                           QDir::home().filePath(QString::fromStdString(serial_) +
                                                                 QStringLiteral("_report.pdf")),
                                           QStringLiteral("PDF documents (*.pdf)"));
    if (path.isEmpty()) {
        return;
    }
    if (sameFile(std::filesystem::path(path.toStdU16String()), logPath_)) {
        messages_.show(this, {title_.toStdString(),
                              "\nThe report cannot be saved over the test log it was made "
                              "from.\n\nPlease choose another file.\n",
                              MessageIcon::Exclamation, MessageButtons::Ok});
        return;
    }
    if (const auto failure = writeReportPdf(path, reportData())) {
        messages_.show(this, {title_.toStdString(),
                              "\nThe report cannot be saved: " + failure->toStdString() + ".\n",
                              MessageIcon::Exclamation, MessageButtons::Ok});
    }
}

void CSystemTestResultDlg::analyse() {
    results_.clear();
    LogAnalysis analysis;
    if (analyseLogFile(logPath_, fineFlowLog(logPath_), analysis)) {
        messages_.show(this, {title_.toStdString() + " - System Test " + serial_, kCannotOpen,
                              MessageIcon::Exclamation, MessageButtons::Ok});
        return;
    }
    results_ = std::move(analysis.rows);
    unreadableLines_ = analysis.unreadableLines;
    firstUnreadableLine_ = analysis.firstUnreadableLine;
    showUnreadableLines();
    for (int i = 0; i < kSystemTestCount; ++i) {
        CVerdictPicture* picture = pictures_[static_cast<std::size_t>(i)];
        picture->setVerdict(verdictOf(results_, static_cast<SystemTest>(i)));
        picture->setVisible(true);
    }
    for (QPushButton* button : buttons_) {
        button->setEnabled(true);
    }
}

// The verdicts rest only on the lines that could be read: say how many could not, and where the
// methods that lost some are.
void CSystemTestResultDlg::showUnreadableLines() {
    std::string text = unreadableLinesText({{}, unreadableLines_, firstUnreadableLine_});
    if (text.empty()) {
        unreadable_->setVisible(false);
        return;
    }
    std::string methods;
    for (const TestResult& row : results_) {
        if (row.unreadableLines > 0) {
            methods += (methods.empty() ? "" : ", ") + std::to_string(row.method);
        }
    }
    if (!methods.empty()) {
        text += " Methods with lost lines: " + methods + ".";
    }
    unreadable_->setText(QString::fromStdString(text));
    unreadable_->setVisible(true);
}

QDialog* CSystemTestResultDlg::makeDetails(int button) {
    switch (button) {
    case ResponseButton:
        return new CResultDetailsDlg(
            QString::fromLatin1(kDetailsPrefix) + QStringLiteral("Temperature Response"),
            {QStringLiteral("Time for the nebuliser and evaporator to reach their setpoints, "
                            "against the time the reference curves allow."),
             {},
             {{QStringLiteral("Method"), 0},
              {QStringLiteral("Start Time"), 8},
              {QStringLiteral("Expected Time"), 32},
              {QStringLiteral("Elapsed Time"), 48},
              {QStringLiteral("Status"), 64}},
             temperatureResponseLines(results_),
             verdictOf(results_, SystemTest::TemperatureResponse)},
            this);
    case BaselineButton:
        return new CResultDetailsDlg(
            QString::fromLatin1(kDetailsPrefix) + QStringLiteral("Baseline Stability"),
            {QStringLiteral("The highest detector output while each method ran."),
             QStringLiteral("Photodetector Output (V)"), limitHeadings(),
             baselineStabilityLines(results_), verdictOf(results_, SystemTest::BaselineStability)},
            this);
    case MassFlowButton:
        return new CResultDetailsDlg(
            QString::fromLatin1(kDetailsPrefix) + QStringLiteral("Mass Flow Response"),
            {QStringLiteral("How long the gas flow took to settle at each method's setpoint."),
             QStringLiteral("Gas Response (sec)"), limitHeadings(), massFlowResponseLines(results_),
             verdictOf(results_, SystemTest::MassFlow)},
            this);
    case StabilityButton: {
        const auto page = [this](Heater heater) {
            return CResultListPage::Content{
                QStringLiteral("How closely the temperature held its setpoint once ready."),
                QStringLiteral("Average Offset (C)        RSD (%)"), stabilityHeadings(),
                temperatureStabilityLines(results_, heater),
                heaterStabilityVerdict(results_, heater)};
        };
        return new CTempStabSheet(title_ + QStringLiteral(" - Temperature Stability"),
                                  page(Heater::Nebuliser), page(Heater::Evaporator), this);
    }
    default:
        return nullptr;
    }
}

void CSystemTestResultDlg::openDetails(int button) {
    QDialog* details = makeDetails(button);
    if (details != nullptr) {
        details->setAttribute(Qt::WA_DeleteOnClose);
        details->exec();
    }
}

void CSystemTestResultDlg::showMethodSettings() {
    messages_.show(this, {title_.toStdString(), methodSettingsText(results_),
                          MessageIcon::Information, MessageButtons::Ok});
}

} // namespace kqvdr
