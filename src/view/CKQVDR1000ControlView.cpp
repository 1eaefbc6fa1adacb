#include "CKQVDR1000ControlView.h"

#include "CGraph.h"
#include "CGraphAxis.h"
#include "CKnob.h"
#include "CLamp.h"
#include "CMaskEdit.h"
#include "CMethodEditor.h"
#include "CNumEdit.h"
#include "CSlide.h"
#include "InstrumentLink.h"
#include "InstrumentState.h"
#include "OperatingMode.h"
#include "PanelPicture.h"
#include "ViewControl.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>

namespace kqvdr {

CKQVDR1000ControlView::CKQVDR1000ControlView(InstrumentState& state, InstrumentLink& link,
                                             QWidget* parent)
    : QWidget(parent), state_(state), link_(link), form_(buildControlForm(this)),
      editor_(new CMethodEditor(state, {form_.methodNumber, form_.methodSpinner, form_.methodName,
                                        form_.methodDescription, form_.loadEditMethodButton})) {
    setObjectName(QStringLiteral("101"));
    form_.bottomRow->insertWidget(0, editor_, 3);
    editor_->hide();
    connect(editor_, &CMethodEditor::openChanged, this, &CKQVDR1000ControlView::showEditorPanel);
    setGasFlowRange(false);
    connectCommands();
}

void CKQVDR1000ControlView::connectCommands() {
    for (int mode = 0; mode < 4; ++mode) {
        connect(form_.modeButtons[mode], &QPushButton::clicked, this,
                [this, mode] { link_.requestMode(mode); });
    }
    connect(form_.autozeroButton, &QPushButton::clicked, this, [this] { link_.autozero(); });
    connect(form_.heaterButton, &QPushButton::clicked, this,
            [this] { link_.toggleTransferLineHeater(); });
    connect(form_.historyCheck, &QCheckBox::clicked, this, &CKQVDR1000ControlView::showHistory);
}

CLamp* CKQVDR1000ControlView::lampFor(Lamp lamp) const {
    switch (lamp) {
    case Lamp::Standby:
        return form_.modeLamps[0];
    case Lamp::Run:
        return form_.modeLamps[1];
    case Lamp::GasSave:
        return form_.modeLamps[2];
    case Lamp::Sleep:
        return form_.modeLamps[3];
    case Lamp::Autozero:
        return form_.autozeroLamp;
    case Lamp::TransferLine:
        return form_.heaterLamp;
    }
    return nullptr;
}

QLabel* CKQVDR1000ControlView::textFor(PanelText field) const {
    switch (field) {
    case PanelText::Evaporator:
        return form_.evaporatorText;
    case PanelText::Nebuliser:
        return form_.nebuliserText;
    case PanelText::TransferLine:
        return form_.transferLineText;
    case PanelText::AutozeroOffset:
        return form_.autozeroOffsetText;
    case PanelText::TimeConstant:
        return form_.timeConstantText;
    case PanelText::GasFlow:
        return form_.gasText;
    case PanelText::Output:
        return form_.outputText;
    }
    return nullptr;
}

void CKQVDR1000ControlView::setLamp(Lamp lamp, bool lit) {
    lampFor(lamp)->setOn(lit);
}

bool CKQVDR1000ControlView::lampLit(Lamp lamp) const {
    return lampFor(lamp)->isOn();
}

void CKQVDR1000ControlView::setLampOnColour(Lamp lamp, unsigned colour) {
    lampFor(lamp)->setOnColour(static_cast<std::uint32_t>(colour));
}

void CKQVDR1000ControlView::setText(PanelText field, const std::string& text) {
    QLabel* label = textFor(field);
    const QString shown = QString::fromStdString(text);
    if (label->text() != shown) {
        label->setText(shown);
    }
}

void CKQVDR1000ControlView::setGauge(PanelGauge gauge, float value) {
    switch (gauge) {
    case PanelGauge::Evaporator:
        form_.evaporatorSlide->setValue(value);
        break;
    case PanelGauge::Nebuliser:
        form_.nebuliserSlide->setValue(value);
        break;
    case PanelGauge::Exhaust:
        form_.exhaustSlide->setValue(value);
        break;
    case PanelGauge::GasFlow:
        form_.gasKnob->setValue(value);
        break;
    }
}

double CKQVDR1000ControlView::gaugeValue(PanelGauge gauge) const {
    switch (gauge) {
    case PanelGauge::Evaporator:
        return form_.evaporatorSlide->value();
    case PanelGauge::Nebuliser:
        return form_.nebuliserSlide->value();
    case PanelGauge::Exhaust:
        return form_.exhaustSlide->value();
    case PanelGauge::GasFlow:
        return form_.gasKnob->value();
    }
    return 0;
}

void CKQVDR1000ControlView::showMethod(int number, const std::string& name,
                                       const std::string& description) {
    editor_->showMethod(number, name, description);
}

std::string CKQVDR1000ControlView::methodNumberText() const {
    return form_.methodNumber->data(true).toStdString();
}

void CKQVDR1000ControlView::setMethodSpinner(double value) {
    form_.methodSpinner->setValue(value);
}

void CKQVDR1000ControlView::appendHistoryPoint(float reading) {
    form_.historyGraph->append(reading, 1.0, 1);
}

void CKQVDR1000ControlView::clearHistory() {
    form_.historyGraph->clear();
}

void CKQVDR1000ControlView::showHistory(bool show) {
    form_.historyPicture->setVisible(!show);
    for (QWidget* w : {form_.historyFrame, static_cast<QWidget*>(form_.historyGraph),
                       static_cast<QWidget*>(form_.historyAxisLabel),
                       static_cast<QWidget*>(form_.historyPane)}) {
        w->setVisible(show);
    }
    state_.showHistory = form_.historyCheck->isChecked();
}

void CKQVDR1000ControlView::showEditorPanel(bool open) {
    form_.outputGroup->setVisible(!open);
    if (!open) {
        showHistory(form_.historyCheck->isChecked());
    }
}

void CKQVDR1000ControlView::setSleepLayout(bool sleeping) {
    if (sleeping) {
        // Sleep may come from the handset too: an editor hidden but still "open" would keep the
        // Method group from following the instrument.
        editor_->hide();
        state_.editorOpen = false;
    }
    form_.methodNumber->setEnabled(false);
    form_.methodName->setEnabled(false);
    form_.methodDescription->setEnabled(false);
    form_.methodSpinner->setEnabled(false);
    form_.instrumentArea->setCurrentWidget(sleeping ? static_cast<QWidget*>(form_.sleepPicture)
                                                    : form_.instrumentArea->widget(0));
    form_.photodetectorGroup->setVisible(!sleeping);
    form_.instrumentPane->setVisible(!sleeping);
    form_.outputGroup->show();
    form_.historyCheck->setEnabled(!sleeping);
    form_.loadEditMethodButton->setEnabled(!sleeping);
    if (sleeping) {
        form_.historyPicture->show();
        for (QWidget* w : {form_.historyFrame, static_cast<QWidget*>(form_.historyGraph),
                           static_cast<QWidget*>(form_.historyAxisLabel),
                           static_cast<QWidget*>(form_.historyPane)}) {
            w->hide();
        }
    } else {
        showHistory(state_.showHistory);
    }
}

void CKQVDR1000ControlView::setGasFlowRange(bool fine) {
    CKnob* knob = form_.gasKnob;
    knob->setTickIntervals(fine ? 0.25 : 0.5, fine ? 0.05 : 0.1);
    knob->setAxisMaximum(fine ? 1.0 : 2.0);
    knob->setDecimals(fine ? 2 : 1);
    editor_->setGasFlowRange(fine);
    emit captionChanged(fine, QString::fromStdString(state_.activePort));
}

void CKQVDR1000ControlView::communicationSettings() {
    link_.communicationSettings();
    emit captionChanged(state_.fineGasResolution, QString::fromStdString(state_.activePort));
}

void CKQVDR1000ControlView::setYAxisRange(double maximum) {
    form_.historyGraph->axis(CGraph::kYAxisName)->setRange(0.0, maximum);
}

bool CKQVDR1000ControlView::rangeCommandsEnabled() const {
    return state_.showHistory && !state_.editorOpen &&
           state_.mode() != modeCode(OperatingMode::Sleep);
}

QMenu* CKQVDR1000ControlView::createContextMenu() {
    auto* menu = new QMenu(this);
    const std::pair<int, QString> modes[] = {{StandbyCommand, tr("&Standby")},
                                             {RunCommand, tr("&Run")},
                                             {GasSaveCommand, tr("&Gas Save")},
                                             {SleepCommand, tr("Slee&p")}};
    for (int mode = 0; mode < 4; ++mode) {
        QAction* action =
            menu->addAction(modes[mode].second, this, [this, mode] { link_.requestMode(mode); });
        action->setObjectName(QString::number(modes[mode].first));
    }
    menu->addSeparator();
    const std::tuple<int, QString, double> ranges[] = {
        {RangeTo10Command, tr("Output History Range 0 to 10 "), 10.0},
        {RangeTo100Command, tr("Output History Range 0 to 100"), 100.0},
        {RangeTo1000Command, tr("Output History Range 0 to 1000"), 1000.0}};
    for (const auto& [id, text, maximum] : ranges) {
        QAction* action =
            menu->addAction(text, this, [this, maximum = maximum] { setYAxisRange(maximum); });
        action->setObjectName(QString::number(id));
        action->setEnabled(rangeCommandsEnabled());
    }
    return menu;
}

void CKQVDR1000ControlView::contextMenuEvent(QContextMenuEvent* event) {
    QPoint position = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        position = mapToGlobal(QPoint(5, 5));
    }
    QMenu* menu = createContextMenu();
    menu->exec(position);
    delete menu;
}

} // namespace kqvdr
