#include "COtErrDlg.h"

namespace kqvdr {

COtErrDlg::COtErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Shown, parent) {
    addHeading(9);
    addLine(QStringLiteral("A controlled temperature within the instrument has\n"
                           "exceeded the maximum allowable value."));
    addLine(coolDownAdvice());
    addLine(persistsAdvice());
}

} // namespace kqvdr
