#include "CVerdictPicture.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace kqvdr {

CVerdictPicture::CVerdictPicture(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
    setVerdict(Verdict::NotTested);
}

void CVerdictPicture::setVerdict(Verdict verdict) {
    verdict_ = verdict;
    setAccessibleName(QString::fromLatin1(verdictWord(verdict)));
    update();
}

void CVerdictPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(2, 2, -2, -2);
    const QColor colour = verdict_ == Verdict::Passed   ? QColor(0, 150, 60)
                          : verdict_ == Verdict::Failed ? QColor(200, 30, 30)
                                                        : QColor(150, 150, 150);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(box);
    QPen mark(Qt::white, box.width() / 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(mark);
    const auto at = [&box](double x, double y) {
        return QPointF(box.left() + x * box.width(), box.top() + y * box.height());
    };
    switch (verdict_) {
    case Verdict::Passed: {
        QPainterPath tick;
        tick.moveTo(at(0.27, 0.52));
        tick.lineTo(at(0.44, 0.70));
        tick.lineTo(at(0.74, 0.32));
        painter.drawPath(tick);
        break;
    }
    case Verdict::Failed:
        painter.drawLine(at(0.32, 0.32), at(0.68, 0.68));
        painter.drawLine(at(0.68, 0.32), at(0.32, 0.68));
        break;
    case Verdict::NotTested:
        painter.drawLine(at(0.30, 0.5), at(0.70, 0.5));
        break;
    }
}

QWidget* verdictBanner(Verdict verdict, QWidget* parent) {
    auto* banner = new QWidget(parent);
    banner->setObjectName(QStringLiteral("banner"));
    auto* layout = new QHBoxLayout(banner);
    auto* picture = new CVerdictPicture;
    picture->setVerdict(verdict);
    auto* text = new QLabel(QString::fromLatin1(verdictWord(verdict)).toUpper());
    QFont big = text->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    text->setFont(big);
    layout->addStretch();
    layout->addWidget(picture);
    layout->addWidget(text);
    layout->addStretch();
    banner->setAccessibleName(QString::fromLatin1(verdictWord(verdict)));
    return banner;
}

} // namespace kqvdr
