#include "CExhErrDlg.h"

namespace kqvdr {

CExhErrDlg::CExhErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Shown, parent) {
    addHeading(3);
    addLine(QStringLiteral("The Exhaust temperature has exceeded the\n"
                           "control temperatures by an unacceptable margin."));
    addLine(coolDownAdvice());
    addLine(persistsAdvice());
}

} // namespace kqvdr
