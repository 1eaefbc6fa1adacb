#include "CAboutDlg.h"

#include "AppResources.h"
#include "AppTexts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kqvdr {

CAboutDlg::CAboutDlg(const QString& appTitle, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About ") + appTitle);

    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("iconLabel"));
    icon->setPixmap(svgPixmap(appIconResource, QSize(48, 48), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* version = new QLabel(toQString(versionLine));
    version->setObjectName(QStringLiteral("versionLabel"));
    QFont versionFont = version->font();
    versionFont.setBold(true);
    version->setFont(versionFont);
    auto* copyright = new QLabel(toQString(copyrightLine));
    copyright->setObjectName(QStringLiteral("copyrightLabel"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Vertical);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addWidget(copyright);
    texts->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addWidget(icon);
    layout->addLayout(texts, 1);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace kqvdr
