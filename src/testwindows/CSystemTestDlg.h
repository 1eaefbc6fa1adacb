#pragma once

#include "SystemTestWindows.h"

#include <QDialog>
#include <filesystem>

class QLineEdit;

namespace kqvdr {

class CMaskEdit;
class MessageBoxes;

// Identifies the instrument about to be tested: its serial number in a masked edit ("003-###",
// or "M03-###" on a fine gas-flow instrument) over the timetable's start and end. Leaving the
// serial field decides where the test log goes ("savedir.txt"); so does OK when the field shows
// a serial that has not been checked yet.
class CSystemTestDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int {
        TemplateId = 182,
        SerialEdit = 1321,
        StartEdit = 1324,
        EndEdit = 1327,
    };

    CSystemTestDlg(const QString& title, bool fineGas, const QString& start, const QString& end,
                   std::filesystem::path programDir, MessageBoxes& messages,
                   QWidget* parent = nullptr);

    // What was chosen; meaningful after OK.
    TestInstrument instrument() const { return instrument_; }

    void accept() override;

private:
    enum class SerialCheck { Clear, Warned, Cancelled };

    SerialCheck checkSerial();

    QString title_;
    bool fineGas_;
    std::filesystem::path programDir_;
    MessageBoxes& messages_;
    CMaskEdit* serialEdit_;
    TestInstrument instrument_;
    QString checkedSerial_; // the field's text when it was last checked
};

} // namespace kqvdr
