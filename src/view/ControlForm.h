#pragma once

class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTextEdit;
class QWidget;

namespace kqvdr {

class CGraph;
class CKnob;
class CLamp;
class CMaskEdit;
class CNumEdit;
class CSlide;
class PanelPicture;

// The widgets of the instrument form, laid out as the detector's front panel.
struct ControlForm {
    QGroupBox* modeGroup;
    QPushButton* modeButtons[4]; // Standby, Run, Gas Save, Sleep
    CLamp* modeLamps[4];
    PanelPicture* instrumentPane;

    QStackedWidget* instrumentArea; // the instrument groups, or the Sleep picture
    PanelPicture* sleepPicture;

    QGroupBox* evaporatorGroup;
    CSlide* evaporatorSlide;
    QLabel* evaporatorText;
    QGroupBox* nebuliserGroup;
    CSlide* nebuliserSlide;
    QLabel* nebuliserText;
    QGroupBox* exhaustGroup;
    CSlide* exhaustSlide;
    QGroupBox* gasGroup;
    CKnob* gasKnob;
    QLabel* gasText;

    QGroupBox* photodetectorGroup;
    QPushButton* autozeroButton;
    CLamp* autozeroLamp;
    QLabel* autozeroOffsetText;
    QLabel* timeConstantText;
    QGroupBox* transferLineGroup;
    QPushButton* heaterButton;
    CLamp* heaterLamp;
    QLabel* transferLineText;

    QGroupBox* methodGroup;
    CMaskEdit* methodNumber;
    CNumEdit* methodSpinner;
    QLineEdit* methodName;
    QTextEdit* methodDescription;
    QPushButton* loadEditMethodButton;

    QGroupBox* outputGroup;
    QLabel* outputText;
    QCheckBox* historyCheck;
    PanelPicture* historyPicture;
    QWidget* historyFrame;
    CGraph* historyGraph;
    QLabel* historyAxisLabel;
    PanelPicture* historyPane;

    QHBoxLayout* bottomRow; // the Output Monitor, then the Method group
};

// Creates the form's widgets inside `view` with their control numbers as object names.
ControlForm buildControlForm(QWidget* view);

} // namespace kqvdr
