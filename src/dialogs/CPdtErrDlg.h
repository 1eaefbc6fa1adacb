#pragma once

#include "CGeneralErrDlg.h"

namespace kqvdr {

class CPdtErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    explicit CPdtErrDlg(QWidget* parent = nullptr);
};

} // namespace kqvdr
