#include "CSaveMethodAsDlg.h"

#include "CMaskEdit.h"
#include "CNumEdit.h"
#include "DialogButtons.h"
#include "MessageBoxes.h"
#include "MethodLimits.h"
#include "NumberText.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace kqvdr {
namespace {

QString fromCrLf(const QString& text) {
    QString plain = text;
    return plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString toCrLf(const QString& text) {
    QString windows = fromCrLf(text);
    return windows.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

} // namespace

CSaveMethodAsDlg::CSaveMethodAsDlg(const QString& appTitle, MessageBoxes& messages,
                                   const SaveMethodAsChoice& initial, QWidget* parent)
    : QDialog(parent), methodId(QString::fromStdString(initial.methodId)),
      methodName(QString::fromStdString(initial.methodName)),
      methodDescription(QString::fromStdString(initial.methodDescription)), messages_(messages),
      appTitle_(appTitle), idEdit_(new CMaskEdit(this)), spin_(new CNumEdit(this)),
      nameEdit_(new QLineEdit(this)), descriptionEdit_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("KQ- VDR 1000 Control - Save Method As"));

    auto* prompt = new QLabel(QStringLiteral("Save Current Method As :-"), this);
    prompt->setTextFormat(Qt::PlainText);

    idEdit_->setObjectName(QString::number(MethodIdEdit));
    idEdit_->setMask(QStringLiteral("##"));
    idEdit_->setFixedWidth(idEdit_->fontMetrics().horizontalAdvance(QStringLiteral("888")) * 2);
    spin_->setObjectName(QString::number(MethodIdSpin));
    spin_->setEditAreaVisible(false);
    spin_->setRange(kUserMethodRange.minimum, kUserMethodRange.maximum);
    spin_->setIncrement(1);
    spin_->setDecimals(0);
    nameEdit_->setObjectName(QString::number(MethodNameEdit));
    descriptionEdit_->setObjectName(QString::number(MethodDescriptionEdit));
    descriptionEdit_->setTabChangesFocus(true);
    descriptionEdit_->setFixedHeight(descriptionEdit_->fontMetrics().lineSpacing() * 4 + 12);

    QDialogButtonBox* buttons = acceptCancelButtons(*this, tr("Save"), QStringLiteral("save"));

    auto* number = new QHBoxLayout;
    number->setSpacing(2);
    number->addWidget(idEdit_);
    number->addWidget(spin_);
    number->addStretch();

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setVerticalSpacing(8);
    grid->addWidget(prompt, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Method"), this), 1, 0);
    grid->addLayout(number, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Name"), this), 2, 0);
    grid->addWidget(nameEdit_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Description"), this), 3, 0, Qt::AlignTop);
    grid->addWidget(descriptionEdit_, 3, 1);
    grid->addWidget(buttons, 4, 0, 1, 2);
    grid->setColumnMinimumWidth(1, nameEdit_->fontMetrics().averageCharWidth() * 40);

    updateData(false);
    spin_->setValue(parseLeadingInt(methodId.toStdString()));

    connect(spin_, &CNumEdit::valueChanged, this, &CSaveMethodAsDlg::spinChanged);
    connect(idEdit_, &CMaskEdit::focusLost, this, &CSaveMethodAsDlg::checkMethodId);
    idEdit_->setFocus();
}

SaveMethodAsChoice CSaveMethodAsDlg::choice() const {
    return {accepted == 1, methodId.toStdString(), methodName.toStdString(),
            methodDescription.toStdString()};
}

void CSaveMethodAsDlg::updateData(bool save) {
    if (save) {
        methodId = idEdit_->text();
        methodName = nameEdit_->text();
        methodDescription = toCrLf(descriptionEdit_->toPlainText());
    } else {
        idEdit_->setText(methodId);
        nameEdit_->setText(methodName);
        descriptionEdit_->setPlainText(fromCrLf(methodDescription));
    }
}

bool CSaveMethodAsDlg::checkMethodId() {
    updateData(true);
    int number = parseLeadingInt(methodId.toStdString());
    const bool inRange = kUserMethodRange.contains(number);
    if (!inRange) {
        MessageRequest request;
        request.caption = appTitle_.toStdString();
        request.text = "Method ID must be in the range 1 to 10";
        request.icon = MessageIcon::Exclamation;
        messages_.show(this, request);
        number =
            number < kUserMethodRange.minimum ? kUserMethodRange.minimum : kUserMethodRange.maximum;
    }
    spin_->setValue(number);
    methodId = spin_->text();
    updateData(false);
    return inRange;
}

void CSaveMethodAsDlg::spinChanged() {
    updateData(true);
    methodId = spin_->text();
    updateData(false);
}

void CSaveMethodAsDlg::accept() {
    // Return can press Save while the number field still has the focus; the check it would get
    // on leaving the field comes first, and a clamped number is shown before it is saved.
    if (!checkMethodId()) {
        return;
    }
    accepted = 1;
    QDialog::accept();
}

void CSaveMethodAsDlg::reject() {
    accepted = 0;
    QDialog::reject();
}

} // namespace kqvdr
