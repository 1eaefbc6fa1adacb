#pragma once

#include <QDialog>

namespace kqvdr {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(const QString& appTitle, QWidget* parent = nullptr);
};

} // namespace kqvdr
