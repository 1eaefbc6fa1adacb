#include "CGasErrDlg.h"

namespace kqvdr {

CGasErrDlg::CGasErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Shown, parent) {
    addHeading(0);
    addLine(QStringLiteral("The mass flow controller within the KQ-VDR 1000 is\n"
                           "unable to sustain the required gas flow."));
    addLine(QStringLiteral("-  Please ensure :-"));
    addLine(QStringLiteral("-  The gas is turned on at the source"));
    addLine(QStringLiteral("-  The inlet pressure is at least 60PSI (higher inlet pressure\n"
                           "   may be required for higher flow rates)"));
    addLine(QStringLiteral("-  There is no leakage between the source and the\n"
                           "   instrument."));
    addLine(persistsAdvice());
}

} // namespace kqvdr
