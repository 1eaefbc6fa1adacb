#pragma once

#include "CGeneralErrDlg.h"

namespace kqvdr {

class CEvapErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    explicit CEvapErrDlg(QWidget* parent = nullptr);
};

} // namespace kqvdr
