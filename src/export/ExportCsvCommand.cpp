#include "ExportCsvCommand.h"

#include "FileIdentity.h"
#include "FileReplace.h"
#include "LogCsv.h"
#include "MessageBoxes.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace kqvdr {
namespace {

constexpr std::size_t kLargestLog = 256 * 1024 * 1024;

std::filesystem::path pathOf(const QString& file) {
    return std::filesystem::path(file.toStdU16String());
}

LocalTime lastWritten(const QString& file) {
    const QDateTime time = QFileInfo(file).lastModified();
    const QDate d = time.date();
    const QTime t = time.time();
    return {d.year(),   d.month(),  d.day(),           t.hour(),
            t.minute(), t.second(), d.dayOfWeek() % 7, time.offsetFromUtc() / 60};
}

} // namespace

void exportLogAsCsv(QWidget* parent, MessageBoxes& messages, const QString& title,
                    const std::filesystem::path& suggestedLog, const CsvExportFiles& files) {
    const auto say = [&](const std::string& text, MessageIcon icon) {
        messages.show(parent, {title.toStdString(), text, icon, MessageButtons::Ok});
    };
    const QString log = files.chooseLog(QString::fromStdU16String(suggestedLog.u16string()));
    if (log.isEmpty()) {
        return;
    }
    std::string text;
    if (const auto error = readWholeFile(pathOf(log), text, kLargestLog)) {
        say("\nThe log \"" + log.toStdString() + "\" cannot be read (" + error.message() + ").\n",
            MessageIcon::Exclamation);
        return;
    }
    const LogCsv csv = logToCsv(text, lastWritten(log));
    const QFileInfo info(log);
    const QString csvFile =
        files.chooseCsv(info.dir().filePath(info.completeBaseName() + QStringLiteral(".csv")));
    if (csvFile.isEmpty()) {
        return;
    }
    if (sameFile(pathOf(csvFile), pathOf(log))) {
        say("\nThe CSV file cannot be written over the log it is made from.\n\nPlease choose "
            "another file.\n",
            MessageIcon::Exclamation);
        return;
    }
    if (const auto error = replaceFileContent(pathOf(csvFile), csv.text)) {
        say("\nThe file \"" + csvFile.toStdString() + "\" cannot be written (" + error.message() +
                ").\n",
            MessageIcon::Exclamation);
        return;
    }
    std::string done = "\n" + std::to_string(csv.rows) + " log lines were written to \"" +
                       csvFile.toStdString() + "\".\n";
    if (csv.skipped > 0) {
        done +=
            "\n" + std::to_string(csv.skipped) + " lines that are not log lines were left out.\n";
    }
    say(done, MessageIcon::Information);
}

CsvExportFiles csvExportDialogs(QWidget* parent, const QString& title) {
    return {[parent, title](const QString& suggested) {
                return QFileDialog::getOpenFileName(
                    parent, title + QStringLiteral(" - Export Log as CSV"), suggested,
                    QStringLiteral("Logs (*.log *.txt *.wri);;All files (*)"));
            },
            [parent, title](const QString& suggested) {
                return QFileDialog::getSaveFileName(parent,
                                                    title + QStringLiteral(" - Save CSV File"),
                                                    suggested, QStringLiteral("CSV (*.csv)"));
            }};
}

} // namespace kqvdr
