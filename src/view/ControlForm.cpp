#include "ControlForm.h"

#include "CGraph.h"
#include "CGraphAxis.h"
#include "CKnob.h"
#include "CLamp.h"
#include "CMaskEdit.h"
#include "CNumEdit.h"
#include "CSlide.h"
#include "PanelPicture.h"
#include "ViewControl.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace kqvdr {
namespace {

template <typename W> W* named(W* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

// A sunken read-out wide enough for the longest text it will show.
QLabel* statusText(int id, const QString& longest) {
    auto* label = named(new QLabel, id);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(longest) + 12);
    return label;
}

const QString kTemperatureSample = QStringLiteral("300  (300)  \u00B0C");

QGroupBox* group(const QString& title, int id) {
    auto* box = named(new QGroupBox(title), id);
    return box;
}

CSlide* slide(int id, double maximum) {
    auto* s = named(new CSlide, id);
    s->setRange(0, maximum);
    s->setTickIntervals(maximum / 6, maximum / 30);
    s->setDecimals(1);
    return s;
}

void buildMode(ControlForm& f) {
    f.modeGroup = group(QObject::tr("Mode"), ModeGroup);
    auto* grid = new QGridLayout(f.modeGroup);
    const QString names[4] = {QObject::tr("Standby"), QObject::tr("Run"), QObject::tr("Gas Save"),
                              QObject::tr("Sleep")};
    const int buttons[4] = {StandbyButton, RunButton, GasSaveButton, SleepButton};
    const int lamps[4] = {StandbyLamp, RunLamp, GasSaveLamp, SleepLamp};
    for (int i = 0; i < 4; ++i) {
        f.modeLamps[i] = named(new CLamp, lamps[i]);
        f.modeButtons[i] = named(new QPushButton(names[i]), buttons[i]);
        grid->addWidget(f.modeLamps[i], 0, i, Qt::AlignHCenter);
        grid->addWidget(f.modeButtons[i], 1, i);
    }
    f.modeLamps[0]->setOnColour(0x0000E600u);
    f.modeLamps[3]->setOnColour(0x00E6A01Eu);
}

void buildHeaters(ControlForm& f) {
    f.evaporatorGroup = group(QObject::tr("Evaporator"), EvaporatorGroup);
    f.evaporatorSlide = slide(EvaporatorSlide, 300);
    f.evaporatorText = statusText(EvaporatorText, kTemperatureSample);
    f.nebuliserGroup = group(QObject::tr("Nebuliser"), NebuliserGroup);
    f.nebuliserSlide = slide(NebuliserSlide, 240);
    f.nebuliserText = statusText(NebuliserText, kTemperatureSample);
    f.exhaustGroup = group(QObject::tr("Exhaust"), ExhaustGroup);
    f.exhaustSlide = slide(ExhaustSlide, 300);
    for (auto [box, s, text] : {std::tuple{f.evaporatorGroup, f.evaporatorSlide, f.evaporatorText},
                                std::tuple{f.nebuliserGroup, f.nebuliserSlide, f.nebuliserText},
                                std::tuple{f.exhaustGroup, f.exhaustSlide, (QLabel*)nullptr}}) {
        auto* column = new QVBoxLayout(box);
        column->addWidget(s, 1);
        if (text != nullptr) {
            column->addWidget(text);
        }
    }

    f.gasGroup = group(QObject::tr("Gas Flow"), GasGroup);
    f.gasKnob = named(new CKnob, GasKnob);
    f.gasText = statusText(GasText, QStringLiteral("0.00 (0.00)  SLM"));
    auto* gasColumn = new QVBoxLayout(f.gasGroup);
    gasColumn->addWidget(f.gasKnob, 1);
    gasColumn->addWidget(f.gasText);
}

void buildDetectorAndLine(ControlForm& f) {
    f.photodetectorGroup = group(QObject::tr("Photodetector"), PhotodetectorGroup);
    f.autozeroButton = named(new QPushButton(QObject::tr("Autozero")), AutozeroButton);
    f.autozeroLamp = named(new CLamp, AutozeroLamp);
    f.autozeroLamp->setOnColour(0x0000D7FFu);
    f.autozeroOffsetText = statusText(AutozeroOffsetText, QStringLiteral("10  mV"));
    f.timeConstantText = statusText(TimeConstantText, QStringLiteral("3  sec"));
    auto* detector = new QGridLayout(f.photodetectorGroup);
    detector->addWidget(f.autozeroLamp, 0, 0, Qt::AlignCenter);
    detector->addWidget(f.autozeroButton, 0, 1);
    detector->addWidget(new QLabel(QObject::tr("Offset")), 1, 0);
    detector->addWidget(f.autozeroOffsetText, 1, 1);
    detector->addWidget(new QLabel(QObject::tr("Time constant")), 2, 0);
    detector->addWidget(f.timeConstantText, 2, 1);

    f.transferLineGroup = group(QObject::tr("Transfer Line"), TransferLineGroup);
    f.heaterButton = named(new QPushButton(QObject::tr("On / Off")), HeaterButton);
    f.heaterLamp = named(new CLamp, HeaterLamp);
    f.heaterLamp->setOnColour(0x000000E6u);
    f.transferLineText = statusText(TransferLineText, QStringLiteral("300  \u00B0C"));
    auto* line = new QGridLayout(f.transferLineGroup);
    line->addWidget(f.heaterLamp, 0, 0, Qt::AlignCenter);
    line->addWidget(f.heaterButton, 0, 1);
    line->addWidget(new QLabel(QObject::tr("Setpoint")), 1, 0);
    line->addWidget(f.transferLineText, 1, 1);
}

void buildMethod(ControlForm& f) {
    f.methodGroup = group(QObject::tr("Method"), MethodGroup);
    f.methodNumber = named(new CMaskEdit, MethodNumberEdit);
    f.methodNumber->setMaximumWidth(
        f.methodNumber->fontMetrics().horizontalAdvance(QStringLiteral("8888")) + 12);
    f.methodSpinner = named(new CNumEdit, MethodSpinner);
    f.methodSpinner->setEditAreaVisible(false);
    f.methodSpinner->setRange(0, 10);
    f.methodSpinner->setIncrement(1);
    f.methodName = named(new QLineEdit, MethodNameEdit);
    f.methodDescription = named(new QTextEdit, MethodDescriptionEdit);
    f.methodDescription->setFixedHeight(f.methodDescription->fontMetrics().lineSpacing() * 3 + 10);
    f.loadEditMethodButton =
        named(new QPushButton(QObject::tr("Load / Edit Method")), LoadEditMethodButton);
    for (QWidget* w : {static_cast<QWidget*>(f.methodNumber), static_cast<QWidget*>(f.methodName),
                       static_cast<QWidget*>(f.methodDescription)}) {
        w->setEnabled(false);
    }
    f.methodSpinner->setEnabled(false);
    auto* grid = new QGridLayout(f.methodGroup);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(f.methodNumber);
    numberRow->addWidget(f.methodSpinner);
    numberRow->addStretch();
    grid->addWidget(new QLabel(QObject::tr("Number")), 0, 0);
    grid->addLayout(numberRow, 0, 1);
    grid->addWidget(new QLabel(QObject::tr("Name")), 1, 0);
    grid->addWidget(f.methodName, 1, 1);
    grid->addWidget(new QLabel(QObject::tr("Description")), 2, 0, Qt::AlignTop);
    grid->addWidget(f.methodDescription, 2, 1);
    grid->addWidget(f.loadEditMethodButton, 3, 1, Qt::AlignRight);
}

void buildOutput(ControlForm& f) {
    f.outputGroup = group(QObject::tr("Output Monitor"), OutputMonitorGroup);
    f.outputText = statusText(OutputText, QStringLiteral("-32768  mV"));
    f.historyCheck = named(new QCheckBox(QObject::tr("View Output History")), ViewHistoryCheck);
    f.historyPicture = named(new PanelPicture(PanelPicture::Kind::HistoryOff), HistoryPicture);
    f.historyFrame = named(new QFrame, HistoryFrame);
    static_cast<QFrame*>(f.historyFrame)->setFrameShape(QFrame::StyledPanel);
    f.historyGraph = named(new CGraph, HistoryGraph);
    f.historyGraph->axis(CGraph::kYAxisName)->setRange(0.0, 100.0);
    f.historyAxisLabel = named(new QLabel(QObject::tr("Time (Sec)")), HistoryAxisLabel);
    f.historyAxisLabel->setAlignment(Qt::AlignHCenter);
    f.historyPane = named(new PanelPicture(PanelPicture::Kind::Trace), HistoryPane);
    auto* frameLayout = new QGridLayout(f.historyFrame);
    frameLayout->setContentsMargins(4, 4, 4, 4);
    frameLayout->addWidget(f.historyGraph, 0, 0);
    frameLayout->addWidget(f.historyPane, 0, 1);
    frameLayout->addWidget(f.historyAxisLabel, 1, 0);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QObject::tr("Output")));
    top->addWidget(f.outputText, 1);
    top->addSpacing(12);
    top->addWidget(f.historyCheck);
    auto* column = new QVBoxLayout(f.outputGroup);
    column->addLayout(top);
    column->addWidget(f.historyPicture, 1);
    column->addWidget(f.historyFrame, 1);
    for (QWidget* w :
         {static_cast<QWidget*>(f.historyFrame), static_cast<QWidget*>(f.historyGraph),
          static_cast<QWidget*>(f.historyAxisLabel), static_cast<QWidget*>(f.historyPane)}) {
        w->hide();
    }
}

} // namespace

ControlForm buildControlForm(QWidget* view) {
    ControlForm f{};
    buildMode(f);
    buildHeaters(f);
    buildDetectorAndLine(f);
    buildMethod(f);
    buildOutput(f);
    f.instrumentPane = named(new PanelPicture(PanelPicture::Kind::Instrument), InstrumentPane);
    f.sleepPicture = named(new PanelPicture(PanelPicture::Kind::Sleep), SleepPicture);

    auto* instruments = new QWidget;
    auto* grid = new QGridLayout(instruments);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(f.evaporatorGroup, 0, 0, 2, 1);
    grid->addWidget(f.nebuliserGroup, 0, 1, 2, 1);
    grid->addWidget(f.exhaustGroup, 0, 2, 2, 1);
    grid->addWidget(f.gasGroup, 0, 3);
    grid->addWidget(f.transferLineGroup, 1, 3);
    for (int column = 0; column < 3; ++column) {
        grid->setColumnStretch(column, 2);
    }
    grid->setColumnStretch(3, 3);
    f.instrumentArea = new QStackedWidget;
    f.instrumentArea->addWidget(instruments);
    f.instrumentArea->addWidget(f.sleepPicture);

    // The readings get the room; the mode column keeps to what its buttons need.
    f.modeGroup->setMaximumWidth(300);
    f.photodetectorGroup->setMaximumWidth(300);
    f.instrumentPane->setMaximumWidth(300);
    auto* left = new QVBoxLayout;
    left->addWidget(f.modeGroup);
    left->addWidget(f.photodetectorGroup);
    left->addWidget(f.instrumentPane, 1);
    left->addStretch(); // keeps the Mode group its size when the Sleep layout hides the rest

    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(f.instrumentArea, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(f.outputGroup, 3);
    bottom->addWidget(f.methodGroup, 2);
    f.bottomRow = bottom;

    auto* page = new QVBoxLayout(view);
    page->setContentsMargins(8, 6, 8, 6);
    page->addLayout(top, 3);
    page->addLayout(bottom, 2);
    return f;
}

} // namespace kqvdr
