#pragma once

#include "CGeneralErrDlg.h"

namespace kqvdr {

class CCsumErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    explicit CCsumErrDlg(QWidget* parent = nullptr);
};

} // namespace kqvdr
