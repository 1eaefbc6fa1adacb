#pragma once

#include "MethodEditorFields.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace kqvdr {

class CMaskEdit;
class CNumEdit;
class MessageBoxes;

// Chooses the number 1 to 10, name and description under which the editor's method is saved.
// Run it with exec(); `accepted` is 1 after Save, 0 after Cancel.
class CSaveMethodAsDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int {
        MethodIdEdit = 1104,
        MethodIdSpin = 1105,
        MethodNameEdit = 1106,
        MethodDescriptionEdit = 1107,
    };

    // appTitle is the caption of the dialog's message boxes.
    CSaveMethodAsDlg(const QString& appTitle, MessageBoxes& messages,
                     const SaveMethodAsChoice& initial, QWidget* parent = nullptr);

    // What the operator chose, as the method store takes it.
    SaveMethodAsChoice choice() const;

    void accept() override;
    void reject() override;

    QString methodId;
    QString methodName;
    QString methodDescription; // line breaks as CR LF, as the method files hold them
    int accepted = 0;

private:
    // true: read the form into the members; false: write the members to the form.
    void updateData(bool save);
    // Clamps the number field to 1..10 with a message; returns whether it was in range.
    bool checkMethodId();
    void spinChanged();

    MessageBoxes& messages_;
    QString appTitle_;
    CMaskEdit* idEdit_;
    CNumEdit* spin_;
    QLineEdit* nameEdit_;
    QPlainTextEdit* descriptionEdit_;
};

} // namespace kqvdr
