#pragma once

#include <QDialog>
#include <QTimer>
#include <string>

class QListWidget;

namespace kqvdr {

class MessageBoxes;
class RecentLines;

// View Operational Log: the recent log lines under their column headings, oldest first, with the
// newest line appended every five seconds. Modeless; it deletes itself when closed.
class CViewLogDlg : public QDialog {
    Q_OBJECT

public:
    enum Control : int { LineList = 1341 };

    static constexpr int kRefreshMs = 5000;
    // The list keeps at most this many lines (about two weeks of half-minute lines); the oldest
    // go first.
    static constexpr int kMaxLines = 40000;

    CViewLogDlg(const RecentLines& lines, const QString& appTitle, MessageBoxes& messages,
                QWidget* parent = nullptr, int maxLines = kMaxLines);

    // One refresh: appends the newest line when it is not the one shown last.
    void refresh();

    QListWidget* list() const { return list_; }
    bool refreshing() const { return timer_.isActive(); }

private:
    void append(const std::string& line);

    const RecentLines& lines_;
    QListWidget* list_;
    QTimer timer_;
    std::string shownLast_;
    int maxLines_;
};

} // namespace kqvdr
