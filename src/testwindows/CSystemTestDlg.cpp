#include "CSystemTestDlg.h"

#include "CMaskEdit.h"
#include "MessageBoxes.h"
#include "NumberText.h"
#include "SaveDirectory.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

namespace kqvdr {
namespace {

const char* const kUnreachable =
    "\nError attempting to access Network Drive, cannot proceed with the System Test.";
const char* const kEarlierTest =
    "\nThe instrument you have specified has already been tested."
    "\n\nAfter clearing this warning you have ONE of the following options :-"
    "\n\n- Continue with the System Test overwriting the last System Test on this instrument."
    "\n\n- Specify a different instrument to test."
    "\n\n- Rename the old System Test on the Network using Windows Explorer and continue.";

QLineEdit* timeField(const QString& text, int id) {
    auto* field = new QLineEdit(text);
    field->setEnabled(false);
    field->setObjectName(QString::number(id));
    return field;
}

} // namespace

CSystemTestDlg::CSystemTestDlg(const QString& title, bool fineGas, const QString& start,
                               const QString& end, std::filesystem::path programDir,
                               MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), title_(title), fineGas_(fineGas), programDir_(std::move(programDir)),
      messages_(messages), serialEdit_(new CMaskEdit) {
    setWindowTitle(title + QStringLiteral(" - System Test"));
    setObjectName(QString::number(TemplateId));
    serialEdit_->setObjectName(QString::number(SerialEdit));
    serialEdit_->setMask(fineGas ? QStringLiteral("M03-###") : QStringLiteral("003-###"));
    serialEdit_->setText(fineGas ? QStringLiteral("M03-001") : QStringLiteral("003-001"));
    instrument_.testSerial = fineGas ? "M03_001" : "003_001";

    auto* group = new QGroupBox(QStringLiteral("Test Instrument"));
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Serial No."), serialEdit_);
    form->addRow(QStringLiteral("Start"), timeField(start, StartEdit));
    form->addRow(QStringLiteral("End"), timeField(end, EndEdit));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CSystemTestDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(serialEdit_, &CMaskEdit::focusLost, this, &CSystemTestDlg::checkSerial);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Please specify the serial number of the instrument "
                                  "you\nare about to test. (e.g. 003-001)")));
    layout->addWidget(group);
    layout->addWidget(buttons);
}

// Return presses OK while the serial field may still have the focus, never having been left:
// the typed serial and its network check must still decide the test log. A warning of an
// earlier test keeps the dialog open, so that the operator can still choose another serial;
// OK again with the same serial goes on without a second check.
void CSystemTestDlg::accept() {
    if (serialEdit_->text() != checkedSerial_ && checkSerial() != SerialCheck::Clear) {
        return;
    }
    QDialog::accept();
}

CSystemTestDlg::SerialCheck CSystemTestDlg::checkSerial() {
    checkedSerial_ = serialEdit_->text();
    const std::string text = checkedSerial_.toStdString();
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d",
                  parseLeadingInt(text.size() > 4 ? text.substr(4, 3) : std::string()));
    instrument_.testSerial = std::string(fineGas_ ? "M03_" : "003_") + digits;

    const SaveDirectoryCheck check = checkSaveDirectory(programDir_, instrument_.testSerial);
    instrument_.saveToNetwork = false;
    instrument_.networkLogPath.clear();
    switch (check.outcome) {
    case SaveDirectoryCheck::Outcome::Local:
        return SerialCheck::Clear;
    case SaveDirectoryCheck::Outcome::Unreachable:
        messages_.show(this, {title_.toStdString(), kUnreachable, MessageIcon::Exclamation,
                              MessageButtons::Ok});
        reject();
        return SerialCheck::Cancelled;
    case SaveDirectoryCheck::Outcome::Network:
        break;
    }
    instrument_.networkLogPath = check.networkLogPath;
    instrument_.saveToNetwork = true;
    if (check.earlierTest) {
        messages_.show(this, {title_.toStdString(), kEarlierTest, MessageIcon::Exclamation,
                              MessageButtons::Ok});
        return SerialCheck::Warned;
    }
    return SerialCheck::Clear;
}

} // namespace kqvdr
