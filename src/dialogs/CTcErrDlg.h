#pragma once

#include "CGeneralErrDlg.h"

namespace kqvdr {

class CTcErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    explicit CTcErrDlg(QWidget* parent = nullptr);
};

} // namespace kqvdr
