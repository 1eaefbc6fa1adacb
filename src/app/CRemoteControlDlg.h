#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QLabel;

namespace kqvdr {

// Tools > "Remote control (SiLA 2)": whether the server runs, where, under which identity and
// certificate, and whether it is announced. Refreshed once a second while open.
class CRemoteControlDlg : public QDialog {
    Q_OBJECT
public:
    using Rows = std::vector<std::pair<std::string, std::string>>;

    CRemoteControlDlg(const QString& title, std::function<Rows()> rows, QWidget* parent = nullptr);

    QString text() const;

private:
    void refresh();

    std::function<Rows()> rows_;
    QLabel* table_;
};

} // namespace kqvdr
