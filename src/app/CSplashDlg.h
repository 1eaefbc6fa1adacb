#pragma once

#include <QDialog>

namespace kqvdr {

class MessageBoxes;

// The borderless start-up picture; it closes itself (result 1) after its period.
class CSplashDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int periodMs = 1500;
    static constexpr QSize pictureSize{480, 300};

    CSplashDlg(MessageBoxes& messageBoxes, const QString& appTitle, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

    // Returns the timer's id, 0 when it could not be started.
    virtual int startCloseTimer(int periodMs);

private:
    void closeOnceShown(int loopLevelWhenShown);

    MessageBoxes& messageBoxes_;
    QString appTitle_;
    int timerId_ = 0;
    bool started_ = false;
};

} // namespace kqvdr
