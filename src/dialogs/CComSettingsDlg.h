#pragma once

#include "PresentPorts.h"

#include <QDialog>
#include <vector>

class QListWidget;
class QListWidgetItem;

namespace kqvdr {

class CMaskEdit;
class CNumEdit;
class MessageBoxes;

// Chooses the serial port: "COM 1" to "COM 256", or on Linux a device path, typed, stepped with
// the spinner or picked from the ports the computer has. Run it with exec(); Accepted means
// "Connect".
class CComSettingsDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int { PortEdit = 1100, PortSpin = 1101 };

    // Opens at `port` ("COM 1" for a text that names no port) with `present` in the list.
    CComSettingsDlg(const QString& appTitle, const QString& port,
                    const std::vector<PresentPort>& present, MessageBoxes& messages,
                    QWidget* parent = nullptr);

    // The port as the program keeps it: "COM 12", "/dev/ttyUSB0".
    QString portText() const { return portText_; }
    QListWidget* portList() const { return list_; }

    void accept() override;

private:
    // true: read the form into the members; false: write the members to the form.
    void updateData(bool save);
    // Reports a port field that names no port and puts back the port it held before; returns
    // whether the field was valid.
    bool checkPortField();
    void spinChanged(double value);
    void portPicked(QListWidgetItem* item);
    void showPort(const QString& port);

    MessageBoxes& messages_;
    QString appTitle_;
    QString portText_;
    CMaskEdit* edit_;
    CNumEdit* spin_;
    QListWidget* list_;
};

} // namespace kqvdr
