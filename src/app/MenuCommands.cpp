#include "MenuCommands.h"

#include <array>
#include <cstdlib>

namespace kqvdr {
namespace {

using enum CommandId;

constexpr std::array commands{
    CommandInfo{LoadMethods, "LoadMethods", "&Load Methods", "Load Methods",
                "Load methods 1 to 10 from the saved methods file and send them to the instrument",
                ":/icons/load-methods.svg", false, true},
    CommandInfo{SaveMethods, "SaveMethods", "&Save Methods", "Save Methods",
                "Save methods 1 to 10 to the saved methods file", ":/icons/save-methods.svg", false,
                true},
    CommandInfo{Exit, "Exit", "E&xit", "Exit", "Close KQ-VDR 1000 Control", "", false, false},
    CommandInfo{ResetFactorySettings, "ResetFactorySettings", "&Reset Factory Settings",
                "Reset Factory Settings",
                "Replace methods 1 to 10 with the factory methods and reset the vapour sensor", "",
                false, true},
    CommandInfo{CommunicationSettings, "CommunicationSettings", "&Communication Settings",
                "Communication Settings", "Choose the serial port the instrument is connected to",
                "", false, true},
    CommandInfo{DeviceIdentification, "DeviceIdentification", "&Device Identification",
                "Device Identification", "Change the identification the instrument answers to", "",
                false, true},
    CommandInfo{SetVapourSensor, "SetVapourSensor", "&Set Vapour Sensor", "Set Vapour Sensor",
                "Set the sensitivity of the instrument's solvent vapour sensor", "", false, true},
    CommandInfo{Toolbar, "Toolbar", "&Toolbar", "Toolbar", "Show or hide the toolbar", "", true,
                false},
    CommandInfo{StatusBar, "StatusBar", "&Status Bar", "Status Bar", "Show or hide the status bar",
                "", true, false},
    CommandInfo{CurrentSettings, "CurrentSettings", "&Current Settings", "Current Settings",
                "Show the communications port and device identification in use", "", false, false},
    CommandInfo{Automation, "Automation", "&Automation", "Automation",
                "Edit and start the timetable of timed mode and method changes",
                ":/icons/automation.svg", false, true},
    CommandInfo{RunSystemTest, "RunSystemTest", "Run &System Test", "Run System Test",
                "Start the unattended system test of the instrument", ":/icons/system-test.svg",
                false, true},
    CommandInfo{Monitor, "Monitor", "&Monitor", "Monitor",
                "Show the live readings in a small window and minimise the main window",
                ":/icons/monitor.svg", false, true},
    CommandInfo{AnalyzeSystemTestLog, "AnalyzeSystemTestLog", "Analyze System Test Log",
                "Analyze System Test Log", "Analyse a saved system test log and show its results",
                "", false, true},
    CommandInfo{StartLogging, "StartLogging", "Star&t Logging Data", "Start Logging Data",
                "Start a new operational log of the instrument's state",
                ":/icons/start-logging.svg", false, true},
    CommandInfo{StopLogging, "StopLogging", "Sto&p Logging Data", "Stop Logging Data",
                "Stop writing the operational log", ":/icons/stop-logging.svg", false, true},
    CommandInfo{SaveCurrentLog, "SaveCurrentLog", "&Save Current Log", "Save Current Log",
                "Stop logging and save a copy of the operational log under a name you choose",
                ":/icons/save-log.svg", false, true},
    CommandInfo{ViewCurrentLog, "ViewCurrentLog", "&View Current Log", "View Current Log",
                "Show the most recent lines of the operational log", ":/icons/view-log.svg", false,
                true},
    CommandInfo{HelpContents, "HelpContents", "&Contents", "Help Contents",
                "Open the help pages at their contents", ":/icons/help-contents.svg", false, false},
    CommandInfo{HelpFind, "HelpFind", "&Find", "Find in Help", "Search the help pages for a word",
                "", false, false},
    CommandInfo{About, "About", "&About KQ VDR 1000 Control", "About",
                "Show the program's version and copyright", "", false, false},
    CommandInfo{WebSite, "WebSite", "", "KQ-VDR 1000 on the Web",
                "Open the KQ-VDR 1000 web site in your browser", ":/icons/web-site.svg", false,
                false},
    CommandInfo{AuditTrail, "AuditTrail", "&Audit Trail", "Audit Trail",
                "Show who changed what and when, and whether the record is intact", "", false,
                true},
    CommandInfo{Trends, "Trends", "T&rends", "Trends",
                "Chart the temperatures, gas flow and detector output of the last hours", "", false,
                true},
    CommandInfo{ExportCsv, "ExportCsv", "&Export as CSV", "Export as CSV",
                "Write a log as a CSV file for a spreadsheet", "", false, true},
    CommandInfo{InstrumentUsage, "InstrumentUsage", "Instrument &Usage", "Instrument Usage",
                "Show the hours, autozero runs and faults counted for each instrument", "", false,
                true},
    CommandInfo{RemoteControl, "RemoteControl", "Remote control (SiLA 2)", "Remote control",
                "Show whether laboratory automation can control the program, and how", "", false,
                false},
    CommandInfo{OpenDataFolder, "OpenDataFolder", "Open &Data Folder", "Open Data Folder",
                "Show the folder of the methods, logs and audit trail in the file manager", "",
                false, false},
};

constexpr std::array fileItems{LoadMethods, SaveMethods, separator, Exit};
constexpr std::array editItems{ResetFactorySettings, separator, CommunicationSettings,
                               DeviceIdentification, SetVapourSensor};
constexpr std::array viewItems{Toolbar,   StatusBar,  separator, CurrentSettings,
                               separator, AuditTrail, Trends};
constexpr std::array toolsItems{Automation,           RunSystemTest, Monitor,      separator,
                                AnalyzeSystemTestLog, separator,     RemoteControl};
constexpr std::array logItems{StartLogging,   StopLogging, separator, SaveCurrentLog,
                              ViewCurrentLog, separator,   ExportCsv};
constexpr std::array helpItems{HelpContents,   HelpFind,  separator, InstrumentUsage,
                               OpenDataFolder, separator, About};

constexpr std::array menus{
    MenuInfo{"&File", fileItems},   MenuInfo{"&Edit", editItems}, MenuInfo{"&View", viewItems},
    MenuInfo{"&Tools", toolsItems}, MenuInfo{"&Log", logItems},   MenuInfo{"&Help", helpItems},
};

constexpr std::array toolbar{LoadMethods,    SaveMethods, separator,    Automation,  RunSystemTest,
                             Monitor,        separator,   StartLogging, StopLogging, SaveCurrentLog,
                             ViewCurrentLog, separator,   HelpContents, separator,   WebSite};

} // namespace

std::span<const CommandInfo> allCommands() {
    return commands;
}

const CommandInfo& commandInfo(CommandId id) {
    for (const CommandInfo& info : commands) {
        if (info.id == id) {
            return info;
        }
    }
    // Every enumerator has an entry; reaching here is a programming error.
    std::abort();
}

std::span<const MenuInfo> mainMenu() {
    return menus;
}

std::span<const CommandId> toolbarLayout() {
    return toolbar;
}

} // namespace kqvdr
