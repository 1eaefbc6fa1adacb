#include "CVapErrDlg.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace kqvdr {
namespace {

QString controlName(int id) {
    return QString::number(id);
}

} // namespace

CVapErrDlg::CVapErrDlg(QWidget* parent) : CGeneralErrDlg(RunReminder::Absent, parent) {
    leak_ = {
        addHeading(4, controlName(LeakHeading)),
        addLine(QStringLiteral("A solvent leak has been detected either internal or\n"
                               "external to the instrument."),
                controlName(LeakDescription)),
        addLine(QStringLiteral("-  Identify the location of the leak, and correct before\n"
                               "   clearing the error."),
                controlName(LeakAdvice)),
    };
    device_ = {
        addHeading(12, controlName(DeviceHeading)),
        addLine(QStringLiteral("A device error has been detected concerning the\n"
                               "vapour sensor mounted within the instrument."),
                controlName(DeviceDescription)),
        addLine(QStringLiteral("-  Reset the instrument and attempt to use it again, if the"
                               "        error persists you should contact a service engineer."),
                controlName(DeviceAdvice)),
    };

    // The device advice has no line break of its own; it wraps within the width that the
    // other texts of the dialog take, as the blanks in it expect.
    QLabel* wrapped = device_[2];
    int width = 0;
    const QFontMetrics metrics = wrapped->fontMetrics();
    for (const QString& text : {leak_[1]->text(), leak_[2]->text(), device_[1]->text(), note()}) {
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            width = std::max(width, metrics.horizontalAdvance(line));
        }
    }
    wrapped->setWordWrap(true);
    wrapped->setFixedWidth(width);

    for (QLabel* label : device_) {
        label->hide();
    }
}

void CVapErrDlg::setVisible(bool visible) {
    if (visible) {
        for (QLabel* label : leak_) {
            label->setVisible(!deviceError);
        }
        for (QLabel* label : device_) {
            label->setVisible(deviceError);
        }
        clearButton()->setFocus();
    }
    CGeneralErrDlg::setVisible(visible);
}

} // namespace kqvdr
