#include "CTcErrDlg.h"

namespace kqvdr {

CTcErrDlg::CTcErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Shown, parent) {
    addHeading(11);
    addLine(QStringLiteral("The heated transfer line control system has been turned\n"
                           "on and the heated transfer line is not connected"));
    addLine(QStringLiteral("-  Turn off the heated transfer line control system via IR controller\n"
                           "   (Press <FUNC>, followed by <SEND> on the handset)"));
}

} // namespace kqvdr
