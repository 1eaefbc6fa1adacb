#pragma once

#include "CGeneralErrDlg.h"

namespace kqvdr {

class CPicErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    explicit CPicErrDlg(QWidget* parent = nullptr);
};

} // namespace kqvdr
