#include "CEditDevIdDlg.h"

#include "CMaskEdit.h"
#include "CNumEdit.h"
#include "DialogButtons.h"
#include "MessageBoxes.h"
#include "SettingsChecks.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace kqvdr {

CEditDevIdDlg::CEditDevIdDlg(const QString& appTitle, MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), messages_(messages), appTitle_(appTitle), edit_(new CMaskEdit(this)),
      spin_(new CNumEdit(this)) {
    setWindowTitle(appTitle + QStringLiteral(" - Device Identification"));

    auto* prompt =
        new QLabel(QStringLiteral("Please select the device identification that you wish to use\n"
                                  "to identify the instrument you are currently connected to."),
                   this);
    prompt->setTextFormat(Qt::PlainText);

    edit_->setObjectName(QString::number(DeviceIdEdit));
    edit_->setMask(QStringLiteral("###"));
    edit_->setFixedWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("8888")) * 2);
    spin_->setObjectName(QString::number(DeviceIdSpin));
    spin_->setEditAreaVisible(false);
    spin_->setRange(0, kMaxDeviceId);
    spin_->setIncrement(1);
    spin_->setAcceleratedIncrement(10);
    spin_->setDecimals(0);
    auto* range = new QLabel(QStringLiteral("( 0..127 )"), this);
    range->setObjectName(QStringLiteral("range"));

    QDialogButtonBox* buttons = acceptCancelButtons(*this, tr("Change"), QStringLiteral("ok"));

    auto* field = new QHBoxLayout;
    field->setSpacing(2);
    field->addWidget(edit_);
    field->addWidget(spin_);
    field->addSpacing(10);
    field->addWidget(range);
    field->addStretch();

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setVerticalSpacing(12);
    grid->addWidget(prompt, 0, 0);
    grid->addLayout(field, 1, 0);
    grid->addWidget(buttons, 2, 0);

    deviceIdText_ = QStringLiteral("0");
    deviceId_ = 0;
    spin_->setValue(0);
    updateData(false);

    connect(spin_, &CNumEdit::valueChanged, this, &CEditDevIdDlg::spinChanged);
    connect(edit_, &CMaskEdit::focusLost, this, &CEditDevIdDlg::checkDeviceIdField);
    edit_->setFocus();
}

void CEditDevIdDlg::updateData(bool save) {
    if (save) {
        deviceIdText_ = edit_->text();
    } else {
        edit_->setText(deviceIdText_);
    }
}

bool CEditDevIdDlg::checkDeviceIdField() {
    updateData(true);
    const DeviceIdEntry entry = deviceIdFromText(deviceIdText_.toStdString());
    if (entry.outOfRange) {
        messages_.show(this, deviceIdRangeMessage(appTitle_.toStdString()));
    }
    spin_->setValue(entry.deviceId);
    deviceIdText_ = QString::number(static_cast<int>(spin_->value()));
    updateData(false);
    deviceId_ = entry.deviceId;
    return !entry.outOfRange;
}

void CEditDevIdDlg::spinChanged(double value) {
    deviceIdText_ = QString::number(static_cast<int>(value));
    updateData(false);
    deviceId_ = deviceIdText_.toInt();
}

void CEditDevIdDlg::accept() {
    // Return can press "Change" without the field losing focus; the typed number must still be
    // the one sent, and a clamped one is shown before it is.
    if (checkDeviceIdField()) {
        QDialog::accept();
    }
}

} // namespace kqvdr
