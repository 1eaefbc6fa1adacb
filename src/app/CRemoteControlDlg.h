#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;

namespace kqvdr {

class MessageBoxes;

// Tools > "Remote control (SiLA 2)": whether the server runs, where, under which identity and
// certificate, and whether it is announced. Refreshed once a second while open.
class CRemoteControlDlg : public QDialog {
    Q_OBJECT
public:
    using Rows = std::vector<std::pair<std::string, std::string>>;

    CRemoteControlDlg(const QString& title, std::function<Rows()> rows, QWidget* parent = nullptr);

    QString text() const;

    // While a client holds the server's lock, a button releases it after the person confirms.
    struct LockRelease {
        std::function<std::optional<std::string>()> holder;
        std::function<bool()> release;
    };
    void offerLockRelease(LockRelease release, MessageBoxes& messages);

private:
    void refresh();
    void releaseLock();

    std::function<Rows()> rows_;
    QLabel* table_;
    QPushButton* releaseButton_ = nullptr;
    LockRelease lockRelease_;
    MessageBoxes* messages_ = nullptr;
};

} // namespace kqvdr
