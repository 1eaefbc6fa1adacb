#include "CGeneralErrDlg.h"

#include "FaultKind.h"
#include "WarningPicture.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kqvdr {
namespace {

constexpr int kPictureSide = 40;

// Plain text always: "<FUNC>" and "<SEND>" would otherwise be taken for markup and vanish.
QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

QString CGeneralErrDlg::caption() {
    return QStringLiteral("KQ- VDR 1000 Control - General Error");
}

QString CGeneralErrDlg::note() {
    return QStringLiteral("N.b.  If this error has been cleared by the handset control,\n"
                          "        select 'Clear Error' to cancel this error message.");
}

QString CGeneralErrDlg::runReminder() {
    return QStringLiteral("Don't forget to select RUN once the error is cleared.");
}

QString CGeneralErrDlg::persistsAdvice() {
    return QStringLiteral("-  If this problem persists consult Brackwater Ltd.\n"
                          "   or your local agent for further advice.");
}

QString CGeneralErrDlg::coolDownAdvice() {
    return QStringLiteral("-  Please turn off the KQ-VDR 1000 and allow the instrument\n"
                          "   to cool, if necessary, before rebooting.");
}

CGeneralErrDlg::CGeneralErrDlg(RunReminder reminder, QWidget* parent) : QDialog(parent) {
    setWindowTitle(caption());
    setWindowFlags(windowFlags() | Qt::MSWindowsFixedSizeDialogHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setContentsMargins(14, 12, 14, 12);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("warningPicture"));
    picture->setPixmap(warningPicture(kPictureSide, devicePixelRatioF()));
    picture->setFixedSize(kPictureSide, kPictureSide);
    grid->addWidget(picture, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    // Keeps the heading centred on the dialog rather than on the space beside the picture.
    grid->setColumnMinimumWidth(2, kPictureSide);

    headings_ = new QVBoxLayout;
    grid->addLayout(headings_, 0, 1, Qt::AlignCenter);
    grid->setColumnStretch(1, 1);

    lines_ = new QVBoxLayout;
    lines_->setSpacing(8);
    grid->addLayout(lines_, 1, 0, 1, 3);

    clearButton_ = new QPushButton(tr("Clear Error"), this);
    clearButton_->setObjectName(QStringLiteral("clearError"));
    clearButton_->setDefault(true);
    clearButton_->setMinimumWidth(clearButton_->fontMetrics().averageCharWidth() * 50 / 4);
    connect(clearButton_, &QPushButton::clicked, this, &CGeneralErrDlg::clearError);
    grid->addWidget(clearButton_, 2, 0, 1, 3, Qt::AlignHCenter);

    auto* noteLabel = plainLabel(note(), this);
    noteLabel->setObjectName(QStringLiteral("note"));
    grid->addWidget(noteLabel, 3, 0, 1, 3);

    if (reminder == RunReminder::Shown) {
        auto* runLabel = plainLabel(runReminder(), this);
        runLabel->setObjectName(QStringLiteral("runReminder"));
        grid->addWidget(runLabel, 4, 0, 1, 3, Qt::AlignHCenter);
    }
}

QLabel* CGeneralErrDlg::addHeading(int faultIndex, const QString& objectName) {
    const std::string_view heading = faultKind(faultIndex)->heading;
    auto* label = plainLabel(
        QString::fromLatin1(heading.data(), static_cast<qsizetype>(heading.size())), this);
    label->setObjectName(objectName);
    QFont bold = label->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    label->setFont(bold);
    label->setAlignment(Qt::AlignCenter);
    headings_->addWidget(label);
    return label;
}

QLabel* CGeneralErrDlg::addLine(const QString& text, const QString& objectName) {
    auto* label = plainLabel(text, this);
    label->setObjectName(objectName);
    lines_->addWidget(label);
    return label;
}

void CGeneralErrDlg::clearError() {
    cleared = true;
    accept();
}

} // namespace kqvdr
