#pragma once

#include "CGeneralErrDlg.h"

namespace kqvdr {

class COtErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    explicit COtErrDlg(QWidget* parent = nullptr);
};

} // namespace kqvdr
