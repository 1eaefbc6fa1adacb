#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kqvdr {

class CKnob;
class CNumEdit;
class MessageBoxes;

// Sets the vapour sensor's sensitivity, 0 to 10, with a knob and a numeric edit kept in step.
// Run it with exec(); Accepted means "Set" (after a Yes to the warning when the value is 0).
class CVapourSensorDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int {
        SensitivityKnob = 1358,
        SensitivityEdit = 1362,
        SensorPicture = 1363,
        NotCapableText = 1364,
    };

    // `notCapable`: the instrument cannot set its sensitivity; the controls are then disabled
    // and a text says why.
    CVapourSensorDlg(const QString& appTitle, int sensitivity, bool notCapable,
                     MessageBoxes& messages, QWidget* parent = nullptr);

    int sensitivity() const { return sensitivity_; }

    void accept() override;

private:
    MessageBoxes& messages_;
    QString appTitle_;
    int sensitivity_;
    bool notCapable_;
    CKnob* knob_;
    CNumEdit* edit_;
};

} // namespace kqvdr
