#include "CEvapErrDlg.h"

namespace kqvdr {

CEvapErrDlg::CEvapErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Shown, parent) {
    addHeading(2);
    addLine(QStringLiteral("The Evaporator temperature has exceeded the\n"
                           "control temperature by an unacceptable margin."));
    addLine(coolDownAdvice());
    addLine(persistsAdvice());
}

} // namespace kqvdr
