#include "CComSettingsDlg.h"

#include "CMaskEdit.h"
#include "CNumEdit.h"
#include "DialogButtons.h"
#include "MessageBoxes.h"
#include "SettingsChecks.h"
#include "SettingsPictures.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace kqvdr {

CComSettingsDlg::CComSettingsDlg(const QString& appTitle, int portIndex, MessageBoxes& messages,
                                 QWidget* parent)
    : QDialog(parent), messages_(messages), appTitle_(appTitle), edit_(new CMaskEdit(this)),
      spin_(new CNumEdit(this)) {
    setWindowTitle(appTitle + QStringLiteral(" - Communications Settings"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(serialPortPicture(48, devicePixelRatioF()));

    auto* prompt = new QLabel(QStringLiteral("Please select the communications port that you\n"
                                             "wish to connect the Control Software to."),
                              this);
    prompt->setTextFormat(Qt::PlainText);

    edit_->setObjectName(QString::number(PortEdit));
    edit_->setMask(QStringLiteral("COM #"));
    edit_->setFixedWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("COM 8")) * 2);
    spin_->setObjectName(QString::number(PortSpin));
    spin_->setEditAreaVisible(false);
    spin_->setRange(1, kPortCount);
    spin_->setIncrement(1);
    spin_->setDecimals(0);

    QDialogButtonBox* buttons = acceptCancelButtons(*this, tr("Connect"), QStringLiteral("ok"));

    auto* field = new QHBoxLayout;
    field->setSpacing(2);
    field->addWidget(edit_);
    field->addWidget(spin_);
    field->addStretch();

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(12);
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(prompt, 0, 1);
    grid->addLayout(field, 1, 1);
    grid->addWidget(buttons, 2, 0, 1, 2);

    // The same index chooses text and spinner, so that the two never disagree.
    const int index = portIndex >= 0 && portIndex < kPortCount ? portIndex : 0;
    portText_ = QString::fromStdString(portTextForIndex(index));
    spin_->setValue(index + 1);
    updateData(false);

    connect(spin_, &CNumEdit::valueChanged, this, &CComSettingsDlg::spinChanged);
    connect(edit_, &CMaskEdit::focusLost, this, &CComSettingsDlg::checkPortField);
    edit_->setFocus();
}

void CComSettingsDlg::updateData(bool save) {
    if (save) {
        portText_ = edit_->text();
    } else {
        edit_->setText(portText_);
    }
}

bool CComSettingsDlg::checkPortField() {
    updateData(true);
    const std::optional<int> number = portNumberInText(portText_.toStdString());
    if (!number) {
        messages_.show(this, invalidPortMessage(appTitle_.toStdString()));
        // Taking the invalid digit over would hand back a port text no port answers to.
        portText_ = QString::fromStdString(portTextForIndex(static_cast<int>(spin_->value()) - 1));
        updateData(false);
        return false;
    }
    spin_->setValue(*number);
    updateData(false);
    return true;
}

void CComSettingsDlg::spinChanged(double value) {
    portText_ = QStringLiteral("COM ") + QString::number(static_cast<int>(value));
    updateData(false);
}

void CComSettingsDlg::accept() {
    // Return can press "Connect" without the field losing focus first.
    if (checkPortField()) {
        QDialog::accept();
    }
}

} // namespace kqvdr
