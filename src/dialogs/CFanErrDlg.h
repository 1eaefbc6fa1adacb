#pragma once

#include "CGeneralErrDlg.h"

namespace kqvdr {

class CFanErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    explicit CFanErrDlg(QWidget* parent = nullptr);
};

} // namespace kqvdr
