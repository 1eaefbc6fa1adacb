#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace kqvdr {

// What the fault dialogs share: caption, warning picture, heading, note, "Clear Error" and the
// two flags through which the status poll learns whether the operator cleared the fault.
class CGeneralErrDlg : public QDialog {
    Q_OBJECT

public:
    // Set by the poll before it opens the dialog, so that a nested tick does not open it again.
    bool showing = false;
    // Set only by "Clear Error"; Escape and the close box leave it false.
    bool cleared = false;

    QPushButton* clearButton() const { return clearButton_; }

    static QString caption();
    static QString note();
    static QString runReminder();

protected:
    enum class RunReminder { Shown, Absent };

    CGeneralErrDlg(RunReminder reminder, QWidget* parent);

    // The heading comes from the fault table, so that the poll and the dialog cannot disagree.
    QLabel* addHeading(int faultIndex, const QString& objectName = QStringLiteral("heading"));
    QLabel* addLine(const QString& text, const QString& objectName = {});

    static QString persistsAdvice();
    static QString coolDownAdvice();

private:
    void clearError();

    QVBoxLayout* headings_ = nullptr;
    QVBoxLayout* lines_ = nullptr;
    QPushButton* clearButton_ = nullptr;
};

} // namespace kqvdr
