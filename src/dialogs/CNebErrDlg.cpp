#include "CNebErrDlg.h"

namespace kqvdr {

CNebErrDlg::CNebErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Shown, parent) {
    addHeading(1);
    addLine(QStringLiteral("The Nebuliser temperature has exceeded the\n"
                           "control temperature by an unacceptable margin."));
    addLine(coolDownAdvice());
    addLine(persistsAdvice());
}

} // namespace kqvdr
