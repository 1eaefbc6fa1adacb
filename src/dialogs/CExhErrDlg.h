#pragma once

#include "CGeneralErrDlg.h"

namespace kqvdr {

class CExhErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    explicit CExhErrDlg(QWidget* parent = nullptr);
};

} // namespace kqvdr
