#include "CVapourSensorDlg.h"

#include "CKnob.h"
#include "CNumEdit.h"
#include "DialogButtons.h"
#include "MessageBoxes.h"
#include "NumberText.h"
#include "SettingsChecks.h"
#include "SettingsPictures.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace kqvdr {

CVapourSensorDlg::CVapourSensorDlg(const QString& appTitle, int sensitivity, bool notCapable,
                                   MessageBoxes& messages, QWidget* parent)
    : QDialog(parent), messages_(messages), appTitle_(appTitle), sensitivity_(sensitivity),
      notCapable_(notCapable), knob_(new CKnob(this)), edit_(new CNumEdit(this)) {
    setWindowTitle(appTitle + QStringLiteral(" - Vapour Sensor"));

    knob_->setObjectName(QString::number(SensitivityKnob));
    knob_->setAxisMinimum(0);
    knob_->setAxisMaximum(kMaxVapourSensitivity);
    knob_->setTickIntervals(1, 1);
    knob_->setInteractive(true);
    knob_->setDecimals(0);

    auto* label = new QLabel(QStringLiteral("Vapour Sensitivity"), this);
    edit_->setObjectName(QString::number(SensitivityEdit));
    edit_->setRange(0, kMaxVapourSensitivity);
    edit_->setIncrement(1);
    edit_->setDecimals(0);
    edit_->setFixedWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("8888")) * 2);
    label->setBuddy(edit_);

    auto* picture = new QLabel(this);
    picture->setObjectName(QString::number(SensorPicture));
    picture->setPixmap(vapourSensorPicture(96, devicePixelRatioF()));
    picture->setAlignment(Qt::AlignCenter);
    auto* notCapableText = new QLabel(
        QStringLiteral("Your instrument doesn't have the capability to set the sensitivity of the "
                       "vapour sensor.\n\nTo make use of this feature your instrument will need "
                       "to be upgraded by a service engineer."),
        this);
    notCapableText->setObjectName(QString::number(NotCapableText));
    notCapableText->setTextFormat(Qt::PlainText);
    notCapableText->setWordWrap(true);
    notCapableText->setFixedWidth(notCapableText->fontMetrics().averageCharWidth() * 36);

    QDialogButtonBox* buttons = acceptCancelButtons(*this, tr("Set"), QStringLiteral("ok"));

    auto* entry = new QVBoxLayout;
    entry->addStretch();
    entry->addWidget(label);
    entry->addWidget(edit_);
    entry->addStretch();

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(16);
    grid->addWidget(knob_, 0, 0);
    grid->addLayout(entry, 0, 1);
    grid->addWidget(picture, 0, 2);
    grid->addWidget(notCapableText, 0, 2);
    grid->addWidget(buttons, 1, 0, 1, 3);

    // Each follows the other; a write of an equal value signals nothing, so this cannot loop.
    connect(knob_, &CKnob::valueChanged, edit_, &CNumEdit::setValue);
    connect(edit_, &CNumEdit::valueChanged, knob_, &CKnob::setValue);
    edit_->setValue(sensitivity);

    knob_->setEnabled(!notCapable);
    edit_->setEnabled(!notCapable);
    buttons->findChild<QPushButton*>(QStringLiteral("ok"))->setEnabled(!notCapable);
    picture->setVisible(!notCapable);
    notCapableText->setVisible(notCapable);
}

void CVapourSensorDlg::accept() {
    if (notCapable_) {
        return;
    }
    sensitivity_ = parseLeadingInt(edit_->text().toStdString());
    const auto ask = [this](const MessageRequest& request) {
        return messages_.show(this, request);
    };
    if (vapourSensitivityConfirmed(sensitivity_, ask, appTitle_.toStdString())) {
        QDialog::accept();
    }
}

} // namespace kqvdr
