#pragma once

#include "Operator.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLineEdit;

namespace kqvdr {

// Save Operational Log: where the copy of the operational log goes. Run it with exec().
class CSaveLogDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int {
        PathEdit = 1114,
        FileNameEdit = 1343,
        ExtensionList = 1014,
    };

    // Asks for a directory, starting at the given one; an empty result means cancelled.
    using DirectoryChooser = std::function<QString(QWidget* parent, const QString& start)>;

    CSaveLogDlg(const QString& appTitle, const QString& startDirectory, QWidget* parent = nullptr);

    // For tests: replaces the directory chooser behind the browse button.
    void setDirectoryChooser(DirectoryChooser chooser) { chooser_ = std::move(chooser); }
    // The browse button: the chosen directory goes into the path field.
    void browse();

    SaveLogChoice choice() const { return {accepted, fullPath.toStdString()}; }

    void accept() override;
    void reject() override;

    QString directory;
    QString fileName;
    QString extension;
    QString fullPath;
    bool accepted = false;

private:
    // true: read the form into the members; false: write the members to the form.
    void updateData(bool save);

    QLineEdit* pathEdit_;
    QLineEdit* nameEdit_;
    QComboBox* extensionList_;
    DirectoryChooser chooser_;
};

} // namespace kqvdr
