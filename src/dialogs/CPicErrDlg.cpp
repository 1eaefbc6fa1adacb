#include "CPicErrDlg.h"

namespace kqvdr {

CPicErrDlg::CPicErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Absent, parent) {
    addHeading(10);
    addLine(QStringLiteral("A communication error has occurred within the instrument."));
    addLine(QStringLiteral("-  Please switch off the instrument and reboot."));
    addLine(persistsAdvice());
}

} // namespace kqvdr
