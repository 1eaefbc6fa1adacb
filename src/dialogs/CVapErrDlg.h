#pragma once

#include "CGeneralErrDlg.h"

#include <array>

class QLabel;

namespace kqvdr {

// One dialog for two fault kinds: a solvent leak and a fault of the vapour sensor itself.
class CVapErrDlg : public CGeneralErrDlg {
    Q_OBJECT

public:
    // Control identifiers, carried as objectName.
    enum Control : int {
        LeakHeading = 1368,
        LeakDescription = 1369,
        LeakAdvice = 1370,
        DeviceHeading = 1371,
        DeviceDescription = 1372,
        DeviceAdvice = 1374,
    };

    // False: the solvent-leak variant; true: the sensor-device variant. Read each time the
    // dialog is shown, as the one instance serves both kinds.
    bool deviceError = false;

    explicit CVapErrDlg(QWidget* parent = nullptr);

    void setVisible(bool visible) override;

private:
    std::array<QLabel*, 3> leak_{};
    std::array<QLabel*, 3> device_{};
};

} // namespace kqvdr
