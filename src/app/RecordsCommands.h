#pragma once

namespace kqvdr {

class CMainFrame;
class ControlSession;
class MessageBoxes;
struct CsvExportFiles;

// View > Audit Trail and Trends, Log > Export as CSV, Help > Instrument Usage: one window of each
// kind, brought forward when it is already open.
void wireRecordsCommands(ControlSession& session, CMainFrame& frame, MessageBoxes& messages,
                         const CsvExportFiles& exportFiles);

} // namespace kqvdr
