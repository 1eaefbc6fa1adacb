#pragma once

namespace kqvdr {

// The main frame's command identifiers. Each QAction carries its number in data() and its
// enumerator name in objectName(), so that tests and the control view can find it.
enum class CommandId : int {
    LoadMethods = 32787,
    SaveMethods = 32788,
    Exit = 57665,
    ResetFactorySettings = 32782,
    CommunicationSettings = 32775,
    DeviceIdentification = 32811,
    SetVapourSensor = 32819,
    Toolbar = 59392,
    StatusBar = 59393,
    CurrentSettings = 32786,
    Automation = 32774,
    RunSystemTest = 32816,
    Monitor = 32801,
    AnalyzeSystemTestLog = 32820,
    StartLogging = 32797,
    StopLogging = 32794,
    SaveCurrentLog = 32807,
    ViewCurrentLog = 32808,
    HelpContents = 32799,
    HelpFind = 57667,
    About = 57664,
    WebSite = 32818,
    // Beyond the original front panel: the audit trail, trends, CSV export, usage counters.
    AuditTrail = 32840,
    Trends = 32841,
    ExportCsv = 32842,
    InstrumentUsage = 32843,
    RemoteControl = 32844,
    OpenDataFolder = 32845,
};

} // namespace kqvdr
