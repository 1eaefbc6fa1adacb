#pragma once

#include "CGeneralErrDlg.h"

namespace kqvdr {

class CNebErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    explicit CNebErrDlg(QWidget* parent = nullptr);
};

} // namespace kqvdr
