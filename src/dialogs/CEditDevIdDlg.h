#pragma once

#include <QDialog>

namespace kqvdr {

class CMaskEdit;
class CNumEdit;
class MessageBoxes;

// Chooses the device identification, 0 to 127. It always opens at 0, not at the identification
// in use. Run it with exec(); Accepted means "Change".
class CEditDevIdDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int { DeviceIdEdit = 1112, DeviceIdSpin = 1113 };

    CEditDevIdDlg(const QString& appTitle, MessageBoxes& messages, QWidget* parent = nullptr);

    int deviceId() const { return deviceId_; }
    QString deviceIdText() const { return deviceIdText_; }

    void accept() override;

private:
    // true: read the form into the members; false: write the members to the form.
    void updateData(bool save);
    // Reads the field, clamping it to 0..127 with a message; returns whether it was in range.
    bool checkDeviceIdField();
    void spinChanged(double value);

    MessageBoxes& messages_;
    QString appTitle_;
    QString deviceIdText_;
    int deviceId_ = 0;
    CMaskEdit* edit_;
    CNumEdit* spin_;
};

} // namespace kqvdr
