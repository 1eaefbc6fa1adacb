#include "CResultListPage.h"

#include "CVerdictPicture.h"

#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace kqvdr {

CResultListPage::CResultListPage(const Content& content, QWidget* parent)
    : QWidget(parent), list_(new QListWidget) {
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    list_->setObjectName(QString::number(List));
    list_->setFont(fixed);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    for (const std::string& line : content.lines) {
        // The list has no tab stops of its own: a tab is eight columns of the fixed font.
        QString text = QString::fromStdString(line);
        QString expanded;
        for (const QChar c : text) {
            if (c == QLatin1Char('\t')) {
                expanded += QString(8 - expanded.size() % 8, QLatin1Char(' '));
            } else {
                expanded += c;
            }
        }
        auto* item = new QListWidgetItem(expanded, list_);
        item->setData(Qt::UserRole, text);
    }

    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(content.explanation);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    if (!content.groupHeading.isEmpty()) {
        auto* group = new QLabel(content.groupHeading);
        group->setAlignment(Qt::AlignHCenter);
        layout->addWidget(group);
    }
    QString headings;
    for (const Heading& heading : content.headings) {
        const int gap = std::max<int>(headings.isEmpty() ? 0 : 1,
                                      heading.column - static_cast<int>(headings.size()));
        headings += QString(gap, QLatin1Char(' ')) + heading.text;
    }
    auto* headingLabel = new QLabel(headings);
    headingLabel->setFont(fixed);
    layout->addWidget(headingLabel);
    layout->addWidget(list_, 1);
    layout->addWidget(verdictBanner(content.verdict));
}

} // namespace kqvdr
