#pragma once

#include <QString>
#include <filesystem>
#include <functional>

class QWidget;

namespace kqvdr {

class MessageBoxes;

// Log > Export as CSV: the operator picks a log (the port's operational log is offered first)
// and a file to write; the CSV replaces that file whole or not at all.
struct CsvExportFiles {
    // Each returns an empty text when the operator cancels.
    std::function<QString(const QString& suggestedLog)> chooseLog;
    std::function<QString(const QString& suggestedCsv)> chooseCsv;
};

void exportLogAsCsv(QWidget* parent, MessageBoxes& messages, const QString& title,
                    const std::filesystem::path& suggestedLog, const CsvExportFiles& files);

// The file dialogs of the running program.
CsvExportFiles csvExportDialogs(QWidget* parent, const QString& title);

} // namespace kqvdr
