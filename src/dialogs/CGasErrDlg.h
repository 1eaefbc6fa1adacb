#pragma once

#include "CGeneralErrDlg.h"

namespace kqvdr {

class CGasErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    explicit CGasErrDlg(QWidget* parent = nullptr);
};

} // namespace kqvdr
