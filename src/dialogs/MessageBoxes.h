#pragma once

#include "Message.h"

class QWidget;

namespace kqvdr {

// Every message box of the widgets goes through this, so that tests can answer them.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(QWidget* parent, const MessageRequest& request) = 0;
};

// Shows a modal QMessageBox.
class QtMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(QWidget* parent, const MessageRequest& request) override;
};

} // namespace kqvdr
