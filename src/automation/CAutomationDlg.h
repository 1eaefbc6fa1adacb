#pragma once

#include "AutomationEvent.h"

#include <QDialog>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

class QComboBox;

namespace kqvdr {

class CMaskEdit;
class CNumEdit;
class MessageBoxes;

// The automation editor: ten rows of day, time, mode and method. It opens on the timetable in
// "Auto.seq" and, on Ok, stores the timetable there and hands it on to start the automation.
// Modeless; it deletes itself when it closes.
class CAutomationDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int {
        TemplateId = 178,
        ClearButton = 1,
        OkButton = 2,
        CancelButton = 3,
    };
    struct RowIds {
        int day, time, mode, methodEdit, methodSpin;
    };
    static const std::array<RowIds, kAutomationEventCount> kRowIds;

    // `today` gives the day name the day lists show after Clear, asked each time since an
    // editor may stay open past midnight; `accepted` starts the automation with the stored
    // timetable.
    CAutomationDlg(const QString& appTitle, MessageBoxes& messages,
                   std::filesystem::path programDir, std::function<std::string()> today,
                   std::function<void(const Timetable&)> accepted, QWidget* parent = nullptr);

    // The members the form is read into and written from.
    Timetable events;

    void accept() override; // Ok
    void clear();

private:
    struct Row {
        QComboBox* day;
        CMaskEdit* time;
        QComboBox* mode;
        CMaskEdit* method;
        CNumEdit* spin;
    };

    void buildRows();
    void loadFile();
    // true: read the form into the members; false: write the members to the form.
    void updateData(bool save);
    bool checkTime(Row& row);
    void checkMethod(Row& row);
    // The field the operator is in gets its check before Ok acts, as Return skips leaving it.
    bool checkFocusedField();
    void message(const std::string& text, const std::string& caption = {});

    MessageBoxes& messages_;
    QString appTitle_;
    std::filesystem::path programDir_;
    bool keepFile_ = false; // Auto.seq is there but cannot be read
    std::error_code readError_;
    std::function<std::string()> today_;
    std::function<void(const Timetable&)> accepted_;
    std::array<Row, kAutomationEventCount> rows_{};
};

} // namespace kqvdr
