#include "CComSettingsDlg.h"

#include "CMaskEdit.h"
#include "CNumEdit.h"
#include "DialogButtons.h"
#include "MessageBoxes.h"
#include "PortName.h"
#include "SettingsChecks.h"
#include "SettingsPictures.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace kqvdr {

CComSettingsDlg::CComSettingsDlg(const QString& appTitle, const QString& port,
                                 const std::vector<PresentPort>& present, MessageBoxes& messages,
                                 QWidget* parent)
    : QDialog(parent), messages_(messages), appTitle_(appTitle), edit_(new CMaskEdit(this)),
      spin_(new CNumEdit(this)), list_(new QListWidget(this)) {
    setWindowTitle(appTitle + QStringLiteral(" - Communications Settings"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(serialPortPicture(48, devicePixelRatioF()));

    auto* prompt = new QLabel(QStringLiteral("Please select the communications port that you\n"
                                             "wish to connect the Control Software to."),
                              this);
    prompt->setTextFormat(Qt::PlainText);

    // No mask: "COM 12" and device paths do not fit "COM #".
    edit_->setObjectName(QString::number(PortEdit));
    edit_->setFixedWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("COM 256")) * 2);
    spin_->setObjectName(QString::number(PortSpin));
    spin_->setEditAreaVisible(false);
    spin_->setRange(1, kHighestComPort);
    spin_->setIncrement(1);
    spin_->setDecimals(0);

    // What the computer has now; a port that is not there can still be typed, for an adapter
    // plugged in later.
    auto* listLabel = new QLabel(QStringLiteral("&Ports on this computer:"), this);
    listLabel->setBuddy(list_);
    list_->setObjectName(QStringLiteral("ports"));
    for (const PresentPort& each : present) {
        auto* item = new QListWidgetItem(QString::fromStdString(presentPortLabel(each)), list_);
        item->setData(Qt::UserRole, QString::fromStdString(each.port));
    }
    if (present.empty()) {
        auto* none = new QListWidgetItem(QStringLiteral("No serial port found"), list_);
        none->setFlags(Qt::NoItemFlags);
    }
    list_->setFixedHeight(list_->fontMetrics().height() * 5 + 2 * list_->frameWidth() + 4);
    list_->setMinimumWidth(list_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 44);

    QDialogButtonBox* buttons = acceptCancelButtons(*this, tr("Connect"), QStringLiteral("ok"));

    auto* field = new QHBoxLayout;
    field->setSpacing(2);
    field->addWidget(edit_);
    field->addWidget(spin_);
    field->addStretch();

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(12);
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(prompt, 0, 1);
    grid->addLayout(field, 1, 1);
    grid->addWidget(listLabel, 2, 1);
    grid->addWidget(list_, 3, 1);
    grid->addWidget(buttons, 4, 0, 1, 2);
    grid->setRowMinimumHeight(2, 0);

    showPort(QString::fromStdString(portFromText(port.toStdString()).value_or(kFirstPort)));

    connect(spin_, &CNumEdit::valueChanged, this, &CComSettingsDlg::spinChanged);
    connect(edit_, &CMaskEdit::focusLost, this, &CComSettingsDlg::checkPortField);
    connect(list_, &QListWidget::itemClicked, this, &CComSettingsDlg::portPicked);
    connect(list_, &QListWidget::itemActivated, this, &CComSettingsDlg::portPicked);
    // Arrow keys and typing a port's name in the list choose it too.
    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item != nullptr && list_->hasFocus()) {
            portPicked(item);
        }
    });
    edit_->setFocus();
    // Typing replaces the whole port, as typing a digit replaced the one digit of "COM #".
    edit_->selectAll();
}

// Text and spinner are set together, so that the two never disagree; a device path leaves the
// spinner where it was.
void CComSettingsDlg::showPort(const QString& port) {
    portText_ = port;
    if (const int number = comPortNumber(port.toStdString()); number > 0) {
        const QSignalBlocker quiet(spin_);
        spin_->setValue(number);
    }
    updateData(false);
}

void CComSettingsDlg::updateData(bool save) {
    if (save) {
        portText_ = edit_->text();
    } else {
        edit_->setText(portText_);
    }
}

bool CComSettingsDlg::checkPortField() {
    const QString before = portText_;
    updateData(true);
    const std::optional<std::string> port = portFromText(portText_.toStdString());
    if (!port) {
        messages_.show(this, invalidPortMessage(appTitle_.toStdString()));
        // Taking the text over would hand back a port text no port answers to.
        showPort(before);
        return false;
    }
    showPort(QString::fromStdString(*port));
    return true;
}

void CComSettingsDlg::spinChanged(double value) {
    portText_ = QStringLiteral("COM ") + QString::number(static_cast<int>(value));
    updateData(false);
}

void CComSettingsDlg::portPicked(QListWidgetItem* item) {
    const QString port = item->data(Qt::UserRole).toString();
    if (!port.isEmpty()) {
        showPort(port);
    }
}

void CComSettingsDlg::accept() {
    // Return can press "Connect" without the field losing focus first.
    if (checkPortField()) {
        QDialog::accept();
    }
}

} // namespace kqvdr
