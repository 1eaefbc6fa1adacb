#pragma once

namespace kqvdr {

// Control identifiers of the instrument form; each widget carries its number as objectName.
enum ViewControl : int {
    StandbyButton = 1060,
    RunButton = 1061,
    GasSaveButton = 1057,
    SleepButton = 1064,
    StandbyLamp = 1073,
    RunLamp = 1074,
    GasSaveLamp = 1075,
    SleepLamp = 1076,
    ModeGroup = 1020,
    AutozeroButton = 1047,
    AutozeroLamp = 1090,
    PhotodetectorGroup = 1025,
    HeaterButton = 1046,
    HeaterLamp = 1077,
    TransferLineGroup = 1021,
    EvaporatorSlide = 1080,
    NebuliserSlide = 1078,
    ExhaustSlide = 1079,
    EvaporatorGroup = 1017,
    NebuliserGroup = 1018,
    ExhaustGroup = 1022,
    GasKnob = 1081,
    GasGroup = 1019,
    EvaporatorText = 1063,
    NebuliserText = 1059,
    TransferLineText = 1055,
    AutozeroOffsetText = 1050,
    TimeConstantText = 1051,
    GasText = 1095,
    OutputText = 1310,
    SleepPicture = 1094,
    InstrumentPane = 1023,
    MethodGroup = 1008,
    MethodNumberEdit = 1011,
    MethodNameEdit = 1012,
    MethodDescriptionEdit = 1013,
    LoadEditMethodButton = 1014,
    MethodSpinner = 1082,
    OutputMonitorGroup = 1009,
    ViewHistoryCheck = 1010,
    HistoryPicture = 1072,
    HistoryFrame = 1302,
    HistoryGraph = 1299,
    HistoryAxisLabel = 1300,
    HistoryPane = 1303,
};

// Context-menu and range commands of the form.
enum ViewCommand : int {
    StandbyCommand = 32789,
    RunCommand = 32790,
    GasSaveCommand = 32791,
    SleepCommand = 32792,
    RangeTo10Command = 32812,
    RangeTo100Command = 32813,
    RangeTo1000Command = 32814,
};

} // namespace kqvdr
