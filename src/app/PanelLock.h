#pragma once

#include "PanelGate.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QStatusBar;
class QWidget;

namespace kqvdr {

class MessageBoxes;

// While a remote client holds the server's lock, a scheduler runs the instrument: the panel's
// mode, method and test actions are refused with a message box, so nobody changes the run by
// accident, and the status bar says who holds the lock. Lives on the program's thread; remote
// control tells it the holder at every tick.
class PanelLock final : public QObject, public PanelGate {
    Q_OBJECT
public:
    PanelLock(MessageBoxes& messages, std::function<QString()> title, QWidget* dialogParent);

    void setHolder(std::optional<std::string> holder);
    const std::optional<std::string>& holder() const { return holder_; }
    // "Locked by remote control (name)" while locked; empty otherwise.
    QString statusText() const;

    bool refuses() override;

    // Clicks, keys and context menus of these widgets are refused while locked.
    void guard(QWidget* widget);
    // Only the context menu of this one: clicks on a form's background stay harmless.
    void guardContextMenu(QWidget* widget);
    // Keeps the status text in the bar while locked.
    void showIn(QStatusBar* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MessageBoxes& messages_;
    std::function<QString()> title_;
    QWidget* dialogParent_;
    std::optional<std::string> holder_;
    QLabel* label_ = nullptr;
    std::vector<const QObject*> contextMenuOnly_;
};

} // namespace kqvdr
