#pragma once

#include <string>

namespace kqvdr {

// The method editor's edit fields.
enum class EditorField {
    Number,
    Name,
    Description,
    Evaporator,
    Nebuliser,
    TransferLine,
    GasFlow,
    Autozero,
    TimeConstant,
};

// What the Save Method As dialog starts with and, when accepted, what the operator chose.
struct SaveMethodAsChoice {
    bool accepted = false;
    std::string methodId;
    std::string methodName;
    std::string methodDescription;
};

// The method editor as the method operations see it. The control view implements it over its
// form; tests use a fake.
class MethodEditorFields {
public:
    virtual ~MethodEditorFields() = default;

    // The field's text as the form holds it now.
    virtual std::string fieldText(EditorField field) const = 0;
    // Changes the field's text; the form shows it at the next refreshForm().
    virtual void setFieldText(EditorField field, const std::string& text) = 0;

    // The method spinner's displayed number, as text.
    virtual std::string methodSpinnerText() const = 0;
    // Sets the method spinner; its value change loads that method into the editor.
    virtual void setMethodSpinner(int number) = 0;

    // Shows the field texts on the form.
    virtual void refreshForm() = 0;

    // Runs the Save Method As dialog modally, starting from `initial`.
    virtual SaveMethodAsChoice runSaveMethodAsDialog(const SaveMethodAsChoice& initial) = 0;
};

} // namespace kqvdr
