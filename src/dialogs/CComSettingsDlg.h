#pragma once

#include <QDialog>

class QPushButton;

namespace kqvdr {

class CMaskEdit;
class CNumEdit;
class MessageBoxes;

// Chooses the serial port, "COM 1" to "COM 4". Run it with exec(); Accepted means "Connect".
class CComSettingsDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int { PortEdit = 1100, PortSpin = 1101 };

    // `portIndex` 0 to 3 for COM 1 to COM 4; any other index opens at COM 1.
    CComSettingsDlg(const QString& appTitle, int portIndex, MessageBoxes& messages,
                    QWidget* parent = nullptr);

    // "COM 1" to "COM 4".
    QString portText() const { return portText_; }

    void accept() override;

private:
    // true: read the form into the members; false: write the members to the form.
    void updateData(bool save);
    // Reports a port field that names no port and puts back the one the spinner holds;
    // returns whether the field was valid.
    bool checkPortField();
    void spinChanged(double value);

    MessageBoxes& messages_;
    QString appTitle_;
    QString portText_;
    CMaskEdit* edit_;
    CNumEdit* spin_;
};

} // namespace kqvdr
