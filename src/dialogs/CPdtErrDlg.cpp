#include "CPdtErrDlg.h"

namespace kqvdr {

CPdtErrDlg::CPdtErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Absent, parent) {
    addHeading(8);
}

} // namespace kqvdr
