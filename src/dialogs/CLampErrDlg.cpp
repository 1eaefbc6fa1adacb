#include "CLampErrDlg.h"

namespace kqvdr {

CLampErrDlg::CLampErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Absent, parent) {
    addHeading(5);
    addLine(QStringLiteral("The lamp is not functioning within the correct\n"
                           "specification"));
    addLine(QStringLiteral("-  Please ensure the lamp is illuminated in both RUN and\n"
                           "   GAS SAVE modes and is off in STANDBY and SLEEP\n"
                           "   modes"));
    addLine(QStringLiteral("-  Contact Brackwater Ltd. or your local agent for a\n"
                           "   replacement lamp, Part No. KQ-1000-LMP."));
}

} // namespace kqvdr
