#include "CAutomationDlg.h"

#include "AutomationChecks.h"
#include "AutomationFile.h"
#include "CMaskEdit.h"
#include "CNumEdit.h"
#include "MessageBoxes.h"
#include "NumberText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace kqvdr {
namespace {

constexpr const char* kFirstEventNotSet = "The first event has not been configured correctly";
// A file that is there but cannot be read is not written over: it may be the real timetable.
constexpr const char* kKeptFile =
    "\n\nThe timetable in it is not shown, and Ok does not save over it, so no automation can "
    "be started until the file can be read.";

QString toQ(const std::string& text) {
    return QString::fromStdString(text);
}

template <typename W> W* named(W* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

QComboBox* list(const std::array<const char*, 7>& days) {
    auto* box = new QComboBox;
    for (const char* day : days) {
        box->addItem(QString::fromLatin1(day));
    }
    return box;
}

QComboBox* list(const std::array<const char*, 4>& modes) {
    auto* box = new QComboBox;
    for (const char* mode : modes) {
        box->addItem(QString::fromLatin1(mode));
    }
    return box;
}

// The first item whose text begins with `text`, as a list box finds it; -1 for none.
int itemStartingWith(const QComboBox* box, const QString& text) {
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i).startsWith(text)) {
            return i;
        }
    }
    return -1;
}

} // namespace

const std::array<CAutomationDlg::RowIds, kAutomationEventCount> CAutomationDlg::kRowIds = {{
    {1345, 1306, 1308, 1307, 1312},
    {1346, 1133, 1142, 1311, 1321},
    {1348, 1149, 1158, 1315, 1322},
    {1349, 1165, 1174, 1319, 1331},
    {1350, 1181, 1190, 1323, 1325},
    {1352, 1197, 1206, 1347, 1326},
    {1353, 1213, 1222, 1351, 1327},
    {1354, 1229, 1238, 1355, 1328},
    {1356, 1245, 1254, 1359, 1329},
    {1357, 1261, 1270, 1363, 1330},
}};

CAutomationDlg::CAutomationDlg(const QString& appTitle, MessageBoxes& messages,
                               std::filesystem::path programDir, std::function<std::string()> today,
                               std::function<void(const Timetable&)> accepted, QWidget* parent)
    : QDialog(parent), messages_(messages), appTitle_(appTitle), programDir_(std::move(programDir)),
      today_(std::move(today)), accepted_(std::move(accepted)) {
    setObjectName(QString::number(TemplateId));
    setAttribute(Qt::WA_DeleteOnClose);
    buildRows();
    loadFile();
    updateData(false);
    setWindowTitle(appTitle_ + QStringLiteral(" - Automation"));
}

void CAutomationDlg::buildRows() {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    const char* headings[] = {"Event", "Day", "Time", "Mode", "Method"};
    for (int column = 0; column < 5; ++column) {
        grid->addWidget(new QLabel(QString::fromLatin1(headings[column])), 0, column);
    }
    for (int i = 0; i < kAutomationEventCount; ++i) {
        const RowIds& ids = kRowIds[static_cast<std::size_t>(i)];
        Row& row = rows_[static_cast<std::size_t>(i)];
        row.day = named(list(kEventDays), ids.day);
        row.time = named(new CMaskEdit, ids.time);
        row.time->setMask(QStringLiteral("##:##"));
        row.time->setFixedWidth(row.time->fontMetrics().horizontalAdvance(QStringLiteral("88:88")) +
                                24);
        row.mode = named(list(kEventModes), ids.mode);
        row.method = named(new CMaskEdit, ids.methodEdit);
        row.method->setMask(QStringLiteral("##"));
        row.method->setFixedWidth(
            row.method->fontMetrics().horizontalAdvance(QStringLiteral("88")) + 16);
        row.spin = named(new CNumEdit, ids.methodSpin);
        row.spin->setEditAreaVisible(false);
        row.spin->setRange(1, 10);
        row.spin->setIncrement(1);
        row.spin->setDecimals(0);

        auto* method = new QHBoxLayout;
        method->setSpacing(2);
        method->addWidget(row.method);
        method->addWidget(row.spin);
        method->addStretch();
        const int line = i + 1;
        grid->addWidget(new QLabel(QString::number(line) + QLatin1Char('.')), line, 0);
        grid->addWidget(row.day, line, 1);
        grid->addWidget(row.time, line, 2);
        grid->addWidget(row.mode, line, 3);
        grid->addLayout(method, line, 4);

        connect(row.time, &CMaskEdit::focusLost, this, [this, &row] { checkTime(row); });
        connect(row.method, &CMaskEdit::focusLost, this, [this, &row] { checkMethod(row); });
        connect(row.spin, &CNumEdit::valueChanged, this,
                [&row] { row.method->setText(row.spin->text()); });
    }

    auto* ok = named(new QPushButton(tr("Ok")), OkButton);
    ok->setDefault(true);
    auto* clearButton = named(new QPushButton(tr("Clear")), ClearButton);
    auto* cancel = named(new QPushButton(tr("Cancel")), CancelButton);
    connect(ok, &QPushButton::clicked, this, &CAutomationDlg::accept);
    connect(clearButton, &QPushButton::clicked, this, &CAutomationDlg::clear);
    connect(cancel, &QPushButton::clicked, this, &CAutomationDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(clearButton);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    column->addLayout(grid);
    column->addSpacing(8);
    column->addLayout(buttons);
}

void CAutomationDlg::loadFile() {
    const TimetableRead read = readAutomationFile(programDir_);
    events = read.events;
    keepFile_ = read.status == ArchiveReadStatus::Unreadable;
    readError_ = read.error;
    if (keepFile_) {
        message(unreadableFileText(kAutomationFile, read.error) + kKeptFile);
    }
    if (read.status == ArchiveReadStatus::Damaged) {
        message("\nThe automation file \"" + std::string(kAutomationFile) +
                "\" is damaged and cannot be read.\n\nThe timetable has been cleared.");
    }
}

void CAutomationDlg::updateData(bool save) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        AutomationEvent& event = events[i];
        if (save) {
            event = {row.day->currentText().toStdString(), row.time->text().toStdString(),
                     row.mode->currentText().toStdString(),
                     row.method->text().trimmed().toStdString()};
            continue;
        }
        // A day not yet chosen shows today, so Ok stores today's name.
        const int day =
            event.eventDay.empty() ? -1 : itemStartingWith(row.day, toQ(event.eventDay));
        row.day->setCurrentIndex(day >= 0 ? day : itemStartingWith(row.day, toQ(today_())));
        const int mode = itemStartingWith(row.mode, toQ(event.eventMode));
        if (mode >= 0) {
            row.mode->setCurrentIndex(mode);
        }
        row.time->setText(toQ(event.eventTime));
        row.method->setText(toQ(event.eventMethod));
        const QSignalBlocker quiet(row.spin);
        row.spin->setValue(parseLeadingInt(event.eventMethod));
    }
}

bool CAutomationDlg::checkTime(Row& row) {
    const auto checked = checkedEventTime(row.time->text().toStdString());
    if (!checked) {
        message(kInvalidTimeMessage, kInvalidTimeCaption);
        row.time->setText(toQ(kUnsetEventTime));
        return false;
    }
    row.time->setText(toQ(*checked));
    return true;
}

void CAutomationDlg::checkMethod(Row& row) {
    const CheckedMethod checked = checkedEventMethod(row.method->text().toStdString());
    if (checked.outOfRange) {
        message(kEventMethodRangeMessage);
    }
    {
        const QSignalBlocker quiet(row.spin);
        row.spin->setValue(checked.method);
    }
    row.method->setText(row.spin->text());
}

bool CAutomationDlg::checkFocusedField() {
    for (Row& row : rows_) {
        if (row.time->hasFocus()) {
            return checkTime(row);
        }
        if (row.method->hasFocus()) {
            checkMethod(row);
        }
    }
    return true;
}

void CAutomationDlg::clear() {
    events = defaultTimetable();
    updateData(false);
}

void CAutomationDlg::accept() {
    if (!checkFocusedField()) {
        return;
    }
    updateData(true);
    if (events[0].eventTime == kUnsetEventTime) {
        message(kFirstEventNotSet);
        return;
    }
    if (keepFile_) {
        message(unreadableFileText(kAutomationFile, readError_) + kKeptFile);
        return;
    }
    if (const auto error = writeAutomationFile(programDir_, events)) {
        message("\nThe file \"" + std::string(kAutomationFile) +
                "\" cannot be written in the program directory (" + error.message() +
                ").\n\nThe automation has not been started.");
        return;
    }
    const Timetable accepted = events;
    const auto start = accepted_;
    QDialog::accept();
    if (start) {
        start(accepted);
    }
}

void CAutomationDlg::message(const std::string& text, const std::string& caption) {
    MessageRequest request;
    request.caption = caption.empty() ? appTitle_.toStdString() : caption;
    request.text = text;
    request.icon = MessageIcon::Exclamation;
    messages_.show(this, request);
}

} // namespace kqvdr
