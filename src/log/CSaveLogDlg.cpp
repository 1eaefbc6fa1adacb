#include "CSaveLogDlg.h"

#include "DialogButtons.h"
#include "SaveLogPath.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace kqvdr {

CSaveLogDlg::CSaveLogDlg(const QString& appTitle, const QString& startDirectory, QWidget* parent)
    : QDialog(parent), directory(startDirectory),
      fileName(QString::fromUtf8(kSaveLogDefaultName.data(),
                                 static_cast<qsizetype>(kSaveLogDefaultName.size()))),
      pathEdit_(new QLineEdit(this)), nameEdit_(new QLineEdit(this)),
      extensionList_(new QComboBox(this)), chooser_([](QWidget* owner, const QString& start) {
          return QFileDialog::getExistingDirectory(owner, tr("Choose a Directory"), start);
      }) {
    setObjectName(QStringLiteral("173"));
    setWindowTitle(appTitle + QStringLiteral(" - Save Operational Log"));

    auto* prompt = new QLabel(QStringLiteral("Please specify the path and file name that you wish "
                                             "to\nsave the current operational log to :- "),
                              this);
    prompt->setTextFormat(Qt::PlainText);

    pathEdit_->setObjectName(QString::number(PathEdit));
    nameEdit_->setObjectName(QString::number(FileNameEdit));
    extensionList_->setObjectName(QString::number(ExtensionList));
    for (const std::string_view item : kSaveLogExtensions) {
        extensionList_->addItem(
            QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    }
    extensionList_->setCurrentIndex(0);

    auto* browseButton = new QToolButton(this);
    browseButton->setObjectName(QStringLiteral("browse"));
    browseButton->setText(QStringLiteral("..."));
    browseButton->setToolTip(tr("Choose a directory"));
    connect(browseButton, &QToolButton::clicked, this, &CSaveLogDlg::browse);

    QDialogButtonBox* buttons = acceptCancelButtons(*this, tr("Save"), QStringLiteral("save"));

    auto* path = new QHBoxLayout;
    path->setSpacing(2);
    path->addWidget(pathEdit_);
    path->addWidget(browseButton);

    auto* name = new QHBoxLayout;
    name->addWidget(nameEdit_, 1);
    name->addWidget(extensionList_);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setVerticalSpacing(8);
    grid->addWidget(prompt, 0, 0, 1, 2);
    grid->addWidget(new QLabel(tr("Path:"), this), 1, 0);
    grid->addLayout(path, 1, 1);
    grid->addWidget(new QLabel(tr("File Name:"), this), 2, 0);
    grid->addLayout(name, 2, 1);
    grid->addWidget(buttons, 3, 0, 1, 2);
    grid->setColumnMinimumWidth(1, pathEdit_->fontMetrics().averageCharWidth() * 48);

    updateData(false);
    nameEdit_->setFocus();
}

void CSaveLogDlg::updateData(bool save) {
    if (save) {
        directory = pathEdit_->text();
        fileName = nameEdit_->text();
        extension = extensionList_->currentText();
    } else {
        pathEdit_->setText(directory);
        nameEdit_->setText(fileName);
    }
}

void CSaveLogDlg::browse() {
    updateData(true);
    const QString chosen = chooser_(this, directory);
    if (chosen.isEmpty()) {
        return;
    }
    directory = QDir::toNativeSeparators(chosen);
    updateData(false);
}

void CSaveLogDlg::accept() {
    updateData(true);
    fullPath = QString::fromStdString(
        saveLogFullPath(directory.toStdString(), fileName.toStdString(), extension.toStdString()));
    accepted = true;
    QDialog::accept();
}

void CSaveLogDlg::reject() {
    accepted = false;
    QDialog::reject();
}

} // namespace kqvdr
