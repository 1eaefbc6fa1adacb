#pragma once

#include "MethodEditorFields.h"
#include "MethodEditorRules.h"

#include <QGroupBox>
#include <array>
#include <functional>
#include <map>

class QLineEdit;
class QPushButton;
class QTextEdit;

namespace kqvdr {

class CMaskEdit;
class CNumEdit;
class MethodStore;
class Operator;
struct InstrumentState;

// The "Editor" group: the six setpoints of the method chosen in the Method group, checked as
// the operator leaves each field, and the Default, Send, Save As and Cancel buttons. It also
// owns the Method group's number, name and description while editing.
class CMethodEditor : public QGroupBox, public MethodEditorFields {
    Q_OBJECT
public:
    // The Method group's controls, which the editor shares with the monitor panel.
    struct MethodGroup {
        CMaskEdit* number;
        CNumEdit* spinner;
        QLineEdit* name;
        QTextEdit* description;
        QPushButton* loadEdit;
    };
    using SaveMethodAsDialog = std::function<SaveMethodAsChoice(const SaveMethodAsChoice&)>;

    CMethodEditor(InstrumentState& state, const MethodGroup& method, QWidget* parent = nullptr);

    // The store and the operator exist only once the editor does; until attached, the buttons
    // do nothing.
    void attach(MethodStore& store, Operator& person, SaveMethodAsDialog saveAsDialog);

    void open();
    void close();
    // The instrument's current method, shown in the Method group while the editor is closed.
    void showMethod(int number, const std::string& name, const std::string& description);
    void setGasFlowRange(bool fine);

    // MethodEditorFields
    std::string fieldText(EditorField field) const override;
    void setFieldText(EditorField field, const std::string& text) override;
    std::string methodSpinnerText() const override;
    void setMethodSpinner(int number) override;
    void refreshForm() override;
    SaveMethodAsChoice runSaveMethodAsDialog(const SaveMethodAsChoice& initial) override;

    CMaskEdit* edit(EditorField field) const;
    CNumEdit* spinner(EditorField field) const;

signals:
    // The panel opened or closed: the Output Monitor gives way or comes back.
    void openChanged(bool open);

private:
    struct Setpoint {
        EditorField field;
        CMaskEdit* edit;
        CNumEdit* spinner;
    };

    void build();
    void connectControls();
    // true: read the form into the field texts; false: write the texts to the form.
    void updateData(bool save);
    void loadChosenMethod();
    void checkMethodNumber();
    void checkWholeSetpoint(const Setpoint& setpoint);
    void checkGasFlow();
    void spinnerChanged(const Setpoint& setpoint, double value);
    WrapLimits wrapLimits(EditorField field) const;
    double shownValue(const Setpoint& setpoint) const;
    void warn(const std::string& text);
    void send();

    InstrumentState& state_;
    MethodGroup method_;
    MethodStore* store_ = nullptr;
    Operator* person_ = nullptr;
    SaveMethodAsDialog saveAsDialog_;
    std::array<Setpoint, 6> setpoints_{};
    std::map<EditorField, std::string> texts_;
    WrapArm wrapArmed_ = WrapArm::None;
};

} // namespace kqvdr
