#include "DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace kqvdr {

QDialogButtonBox* acceptCancelButtons(QDialog& dialog, const QString& acceptText,
                                      const QString& acceptName) {
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* accept = buttons->addButton(acceptText, QDialogButtonBox::AcceptRole);
    accept->setObjectName(acceptName);
    accept->setDefault(true);
    buttons->addButton(QDialog::tr("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancel"));
    // Virtual calls, so each dialog's own accept() and reject() run.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&dialog] { dialog.accept(); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, [&dialog] { dialog.reject(); });
    return buttons;
}

} // namespace kqvdr
