#pragma once

#include "CommandLine.h"

#include <QObject>
#include <QString>
#include <string>

namespace kqvdr {

// The program's one application object, made by main() and handed on by reference. It owns
// the program directory and the application title that every caption is built from.
class CKQVDR1000ControlApp : public QObject {
    Q_OBJECT

public:
    // defaultDir is the program directory unless the command line names one with --dir.
    CKQVDR1000ControlApp(CommandLine commandLine, const std::string& defaultDir,
                         QObject* parent = nullptr);

    const CommandLine& commandLine() const { return commandLine_; }

    // Absolute, ending in a separator: append a file name to get its path.
    const std::string& programDir() const { return programDir_; }
    std::string dataFilePath(const std::string& fileName) const { return programDir_ + fileName; }

    QString title() const { return title_; }
    std::string titleUtf8() const { return title_.toStdString(); }

    // The control view calls this with titleForGasRange() once it knows the gas-flow range.
    void setTitle(const QString& title);

signals:
    void titleChanged(const QString& title);

private:
    CommandLine commandLine_;
    std::string programDir_;
    QString title_;
};

} // namespace kqvdr
