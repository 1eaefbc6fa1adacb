#pragma once

#include "CGeneralErrDlg.h"

namespace kqvdr {

class CLampErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    explicit CLampErrDlg(QWidget* parent = nullptr);
};

} // namespace kqvdr
