#include "CMethodEditor.h"

#include "CMaskEdit.h"
#include "CNumEdit.h"
#include "InstrumentState.h"
#include "MethodStore.h"
#include "NumberText.h"
#include "Operator.h"
#include "ViewControl.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace kqvdr {
namespace {

struct SetpointLayout {
    EditorField field;
    int label;
    const char* title;
    int edit;
    const char* mask;
    int spinner;
    const char* unit;
};

constexpr std::array<SetpointLayout, 6> kSetpoints = {{
    {EditorField::Evaporator, EvaporatorLabel, "Evaporator", EvaporatorEdit, "###",
     EvaporatorSpinner, "\u00B0C"},
    {EditorField::Nebuliser, NebuliserLabel, "Nebuliser", NebuliserEdit, "###", NebuliserSpinner,
     "\u00B0C"},
    {EditorField::TransferLine, TransferLineLabel, "Transfer Line", TransferLineEdit, "###",
     TransferLineSpinner, "\u00B0C"},
    {EditorField::GasFlow, GasFlowLabel, "Gas Flow Rate", GasFlowEdit, "#&##", GasFlowSpinner,
     "SLM"},
    {EditorField::Autozero, AutozeroLabel, "Autozero Offset", AutozeroEdit, "##", AutozeroSpinner,
     "mV"},
    {EditorField::TimeConstant, TimeConstantLabel, "Time Constant", TimeConstantEdit, "#",
     TimeConstantSpinner, "s"},
}};

template <typename W> W* named(W* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

// The method files keep line breaks as CR LF; the edit shows plain line breaks.
QString fromCrLf(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string toCrLf(const QString& text) {
    QString windows = text;
    return windows.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
}

void setIfChanged(CMaskEdit* edit, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (edit->data(true) != shown) {
        edit->setText(shown);
    }
}

} // namespace

CMethodEditor::CMethodEditor(InstrumentState& state, const MethodGroup& method, QWidget* parent)
    : QGroupBox(tr("Editor"), parent), state_(state), method_(method) {
    setObjectName(QString::number(EditorGroup));
    method_.number->setMask(QStringLiteral("##"));
    build();
    setGasFlowRange(false);
    connectControls();
}

void CMethodEditor::build() {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(10);
    for (std::size_t i = 0; i < kSetpoints.size(); ++i) {
        const SetpointLayout& row = kSetpoints[i];
        auto* edit = named(new CMaskEdit, row.edit);
        edit->setMask(QString::fromLatin1(row.mask));
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 14);
        auto* spinner = named(new CNumEdit, row.spinner);
        spinner->setEditAreaVisible(false);
        if (const WholeSetpointRule* rule = wholeSetpointRule(row.field)) {
            spinner->setRange(rule->range.minimum, rule->range.maximum);
            spinner->setIncrement(1);
            // Temperatures span hundreds of degrees; held arrows then move in tens.
            spinner->setAcceleratedIncrement(rule->range.maximum >= 100 ? 10 : 1);
            spinner->setDecimals(0);
        }
        setpoints_[i] = {row.field, edit, spinner};
        // Two columns of three setpoints keep the group as low as the Output Monitor.
        const int gridRow = static_cast<int>(i % 3);
        const int column = static_cast<int>(i / 3) * 5;
        grid->addWidget(named(new QLabel(tr(row.title)), row.label), gridRow, column);
        grid->addWidget(edit, gridRow, column + 1);
        grid->addWidget(spinner, gridRow, column + 2);
        grid->addWidget(new QLabel(QString::fromUtf8(row.unit)), gridRow, column + 3);
    }
    grid->setColumnMinimumWidth(4, 16);
    grid->setColumnStretch(4, 1);

    auto* buttons = new QHBoxLayout;
    const std::pair<int, QString> names[] = {{DefaultButton, tr("Default")},
                                             {SendButton, tr("Send")},
                                             {SaveAsButton, tr("Save As")},
                                             {CancelButton, tr("Cancel")}};
    for (const auto& [id, text] : names) {
        buttons->addWidget(named(new QPushButton(text), id));
    }
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addStretch(1);
    column->addLayout(buttons);
    column->addStretch(1);
}

void CMethodEditor::connectControls() {
    connect(method_.number, &CMaskEdit::focusLost, this, &CMethodEditor::checkMethodNumber);
    connect(method_.name, &QLineEdit::editingFinished, this, [this] { updateData(true); });
    connect(method_.spinner, &CNumEdit::valueChanged, this, &CMethodEditor::loadChosenMethod);
    connect(method_.loadEdit, &QPushButton::clicked, this, &CMethodEditor::open);
    for (const Setpoint& setpoint : setpoints_) {
        connect(setpoint.edit, &CMaskEdit::focusLost, this, [this, setpoint] {
            if (setpoint.field == EditorField::GasFlow) {
                checkGasFlow();
            } else {
                checkWholeSetpoint(setpoint);
            }
        });
        connect(setpoint.spinner, &CNumEdit::valueChanged, this,
                [this, setpoint](double value) { spinnerChanged(setpoint, value); });
        connect(setpoint.spinner, &CNumEdit::mouseDown, this, [this, setpoint] {
            wrapArmed_ = armWrap(shownValue(setpoint), wrapLimits(setpoint.field));
        });
        connect(setpoint.spinner, &CNumEdit::mouseUp, this, [this, setpoint] {
            const auto target =
                wrapOnRelease(wrapArmed_, shownValue(setpoint), wrapLimits(setpoint.field));
            wrapArmed_ = WrapArm::None;
            if (target) {
                setpoint.spinner->setValue(*target);
            }
        });
    }
    const auto onButton = [this](int id, auto handler) {
        connect(findChild<QPushButton*>(QString::number(id)), &QPushButton::clicked, this, handler);
    };
    onButton(SendButton, [this] { send(); });
    onButton(CancelButton, [this] { close(); });
    onButton(DefaultButton, [this] {
        updateData(true);
        if (store_ != nullptr) {
            store_->resetMethodToDefault();
        }
    });
    onButton(SaveAsButton, [this] {
        updateData(true);
        if (store_ != nullptr) {
            store_->saveMethodAs();
        }
    });
}

void CMethodEditor::attach(MethodStore& store, Operator& person, SaveMethodAsDialog saveAsDialog) {
    store_ = &store;
    person_ = &person;
    saveAsDialog_ = std::move(saveAsDialog);
}

void CMethodEditor::open() {
    if (store_ == nullptr) {
        return;
    }
    store_->requestMethodTable();
    state_.editorOpen = true;
    method_.spinner->setEnabled(true);
    method_.number->setEnabled(true);
    method_.name->setEnabled(true);
    method_.description->setEnabled(true);
    method_.loadEdit->setEnabled(false);
    emit openChanged(true);
    show();
    // The names as the file holds them; the poll's method-table answer then loads the method.
    store_->readMethodNames();
    refreshForm();
}

void CMethodEditor::close() {
    method_.spinner->setEnabled(false);
    method_.number->setEnabled(false);
    method_.name->setEnabled(false);
    method_.description->setEnabled(false);
    method_.loadEdit->setEnabled(true);
    hide();
    emit openChanged(false);
    refreshForm();
    state_.editorOpen = false;
}

void CMethodEditor::showMethod(int number, const std::string& name,
                               const std::string& description) {
    texts_[EditorField::Number] = std::to_string(number);
    texts_[EditorField::Name] = name;
    texts_[EditorField::Description] = description;
    refreshForm();
}

void CMethodEditor::setGasFlowRange(bool fine) {
    const GasFlowLimits limits = gasFlowLimits(fine);
    CNumEdit* gas = spinner(EditorField::GasFlow);
    gas->setIncrement(limits.increment);
    gas->setAcceleratedIncrement(0.1);
    gas->setRange(limits.minimum, limits.maximum);
    gas->setDecimals(fine ? 2 : 1);
    refreshForm();
}

std::string CMethodEditor::fieldText(EditorField field) const {
    const auto found = texts_.find(field);
    return found == texts_.end() ? std::string() : found->second;
}

void CMethodEditor::setFieldText(EditorField field, const std::string& text) {
    texts_[field] = text;
}

std::string CMethodEditor::methodSpinnerText() const {
    return method_.spinner->text().toStdString();
}

void CMethodEditor::setMethodSpinner(int number) {
    method_.spinner->setValue(number);
}

void CMethodEditor::refreshForm() {
    updateData(false);
}

SaveMethodAsChoice CMethodEditor::runSaveMethodAsDialog(const SaveMethodAsChoice& initial) {
    return saveAsDialog_ ? saveAsDialog_(initial) : SaveMethodAsChoice{};
}

CMaskEdit* CMethodEditor::edit(EditorField field) const {
    if (field == EditorField::Number) {
        return method_.number;
    }
    const auto found = std::find_if(setpoints_.begin(), setpoints_.end(),
                                    [field](const Setpoint& s) { return s.field == field; });
    return found == setpoints_.end() ? nullptr : found->edit;
}

CNumEdit* CMethodEditor::spinner(EditorField field) const {
    if (field == EditorField::Number) {
        return method_.spinner;
    }
    const auto found = std::find_if(setpoints_.begin(), setpoints_.end(),
                                    [field](const Setpoint& s) { return s.field == field; });
    return found == setpoints_.end() ? nullptr : found->spinner;
}

void CMethodEditor::updateData(bool save) {
    if (save) {
        texts_[EditorField::Number] = method_.number->data(true).toStdString();
        texts_[EditorField::Name] = method_.name->text().toStdString();
        texts_[EditorField::Description] = toCrLf(method_.description->toPlainText());
        for (const Setpoint& setpoint : setpoints_) {
            texts_[setpoint.field] = setpoint.edit->data(true).toStdString();
        }
        return;
    }
    setIfChanged(method_.number, fieldText(EditorField::Number));
    const QString name = QString::fromStdString(fieldText(EditorField::Name));
    if (method_.name->text() != name) {
        method_.name->setText(name);
    }
    const QString description = fromCrLf(fieldText(EditorField::Description));
    if (method_.description->toPlainText() != description) {
        method_.description->setPlainText(description);
    }
    for (const Setpoint& setpoint : setpoints_) {
        setIfChanged(setpoint.edit, fieldText(setpoint.field));
    }
}

void CMethodEditor::loadChosenMethod() {
    const std::string shown = methodSpinnerText();
    const int number = std::clamp(parseLeadingInt(shown), 0, kMethodCount - 1);
    showMethodInFields(*this, number, state_.methods[static_cast<std::size_t>(number)],
                       state_.fineGasResolution);
    refreshForm();
    for (const Setpoint& setpoint : setpoints_) {
        const std::string text = fieldText(setpoint.field);
        setpoint.spinner->setValue(setpoint.field == EditorField::GasFlow
                                       ? parseLeadingDecimal(text)
                                       : static_cast<double>(parseLeadingInt(text)));
    }
}

void CMethodEditor::warn(const std::string& text) {
    if (person_ != nullptr) {
        person_->message(text, MessageIcon::Exclamation, MessageButtons::Ok);
    }
}

void CMethodEditor::checkMethodNumber() {
    updateData(true);
    const CheckedWhole checked = kqvdr::checkMethodNumber(fieldText(EditorField::Number));
    if (checked.message) {
        warn(*checked.message);
    }
    texts_[EditorField::Number] = std::to_string(checked.value);
    method_.spinner->setValue(checked.value);
    refreshForm();
}

void CMethodEditor::checkWholeSetpoint(const Setpoint& setpoint) {
    updateData(true);
    const WholeSetpointRule* rule = wholeSetpointRule(setpoint.field);
    const CheckedWhole checked = kqvdr::checkWholeSetpoint(*rule, fieldText(setpoint.field));
    if (checked.message) {
        warn(*checked.message);
    }
    setpoint.spinner->setValue(checked.value);
    texts_[setpoint.field] = setpoint.spinner->text().toStdString();
    refreshForm();
}

void CMethodEditor::checkGasFlow() {
    updateData(true);
    const CheckedGasFlow checked =
        kqvdr::checkGasFlow(fieldText(EditorField::GasFlow), state_.fineGasResolution);
    if (checked.message) {
        warn(*checked.message);
    }
    spinner(EditorField::GasFlow)->setValue(checked.value);
    texts_[EditorField::GasFlow] = checked.text;
    refreshForm();
}

void CMethodEditor::spinnerChanged(const Setpoint& setpoint, double value) {
    // Text typed into another field and not yet checked must survive the refresh below.
    updateData(true);
    texts_[setpoint.field] = setpoint.field == EditorField::GasFlow
                                 ? gasFlowText(value, state_.fineGasResolution)
                                 : setpoint.spinner->text().toStdString();
    refreshForm();
}

WrapLimits CMethodEditor::wrapLimits(EditorField field) const {
    if (const WholeSetpointRule* rule = wholeSetpointRule(field)) {
        return {static_cast<double>(rule->range.minimum), static_cast<double>(rule->range.maximum),
                0.5};
    }
    const GasFlowLimits limits = gasFlowLimits(state_.fineGasResolution);
    return {limits.minimum, limits.maximum, limits.increment / 2};
}

double CMethodEditor::shownValue(const Setpoint& setpoint) const {
    if (setpoint.field == EditorField::GasFlow) {
        return setpoint.spinner->value();
    }
    return parseLeadingInt(setpoint.spinner->text().toStdString());
}

void CMethodEditor::send() {
    updateData(true);
    if (store_ != nullptr) {
        store_->sendEditorMethod();
    }
    close();
}

} // namespace kqvdr
