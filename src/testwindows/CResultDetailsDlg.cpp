#include "CResultDetailsDlg.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kqvdr {
namespace {

void addOk(QDialog& dialog, QVBoxLayout& layout) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout.addWidget(buttons);
}

} // namespace

CResultDetailsDlg::CResultDetailsDlg(const QString& caption,
                                     const CResultListPage::Content& content, QWidget* parent)
    : QDialog(parent), page_(new CResultListPage(content)) {
    setWindowTitle(caption);
    resize(560, 420);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(page_);
    addOk(*this, *layout);
}

CTempStabSheet::CTempStabSheet(const QString& caption, const CResultListPage::Content& nebuliser,
                               const CResultListPage::Content& evaporator, QWidget* parent)
    : QDialog(parent), nebuliser_(new CResultListPage(nebuliser)),
      evaporator_(new CResultListPage(evaporator)) {
    setWindowTitle(caption);
    resize(600, 460);
    auto* tabs = new QTabWidget;
    tabs->addTab(nebuliser_, QStringLiteral("Nebuliser"));
    tabs->addTab(evaporator_, QStringLiteral("Evaporator"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    addOk(*this, *layout);
}

} // namespace kqvdr
