#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <filesystem>

class QLabel;
class QLineEdit;
class QTableWidget;

namespace kqvdr {

// View > Audit Trail: the newest lines of audit.log, newest first, narrowed by a search text,
// under the state of the whole chain. It follows the file while open.
class CAuditTrailDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr std::size_t kTailBytes = 1024 * 1024;
    static constexpr int kShownLines = 2000;

    CAuditTrailDlg(std::filesystem::path file, const QString& title, QWidget* parent = nullptr);

    // Reads the file again when it has changed since it was last shown.
    void refresh();

private:
    void reload();
    void applySearch();

    std::filesystem::path file_;
    QLineEdit* search_;
    QLabel* chainStatus_;
    QTableWidget* lines_;
    QTimer follow_;
    // What the file was when last shown: an edit of the same length changes only its time.
    std::uintmax_t shownSize_ = static_cast<std::uintmax_t>(-1);
    std::filesystem::file_time_type shownTime_;
};

} // namespace kqvdr
