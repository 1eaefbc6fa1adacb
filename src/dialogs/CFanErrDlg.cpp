#include "CFanErrDlg.h"

namespace kqvdr {

CFanErrDlg::CFanErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Absent, parent) {
    addHeading(6);
    addLine(QStringLiteral("The cooling fan located at the front of the instrument\n"
                           "is not operating correctly."));
    addLine(QStringLiteral("-  Please ensure the fan is rotating freely and is not obstructed."));
    addLine(QStringLiteral("-  Contact Brackwater Ltd. or your local agent for\n"
                           "   further assistance."));
}

} // namespace kqvdr
