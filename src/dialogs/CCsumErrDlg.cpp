#include "CCsumErrDlg.h"

namespace kqvdr {

CCsumErrDlg::CCsumErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Absent, parent) {
    addHeading(7);
}

} // namespace kqvdr
