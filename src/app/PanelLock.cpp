#include "PanelLock.h"

#include "MessageBoxes.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QStatusBar>
#include <QWidget>
#include <algorithm>

namespace kqvdr {
namespace {

// The input that would act; moving the mouse over a control or focusing it stays allowed.
bool acts(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

// Each attempt is told once, not once for the press and again for the release.
bool tells(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::KeyPress ||
           type == QEvent::ContextMenu || type == QEvent::MouseButtonDblClick;
}

} // namespace

PanelLock::PanelLock(MessageBoxes& messages, std::function<QString()> title, QWidget* dialogParent)
    : messages_(messages), title_(std::move(title)), dialogParent_(dialogParent) {}

void PanelLock::setHolder(std::optional<std::string> holder) {
    if (holder == holder_) {
        return;
    }
    holder_ = std::move(holder);
    if (label_ != nullptr) {
        label_->setText(statusText());
        label_->setVisible(holder_.has_value());
    }
}

QString PanelLock::statusText() const {
    if (!holder_) {
        return {};
    }
    return QStringLiteral("Locked by remote control (%1)").arg(QString::fromStdString(*holder_));
}

bool PanelLock::refuses() {
    if (!holder_) {
        return false;
    }
    messages_.show(dialogParent_,
                   {title_().toStdString(),
                    "\nRemote control (" + *holder_ +
                        ") has locked the instrument for laboratory automation.\n\nMode, method "
                        "and test changes at the panel are refused until it unlocks. To take "
                        "the instrument back, release the lock under Tools > Remote control "
                        "(SiLA 2).\n",
                    MessageIcon::Exclamation, MessageButtons::Ok});
    return true;
}

void PanelLock::guard(QWidget* widget) {
    if (widget != nullptr) {
        widget->installEventFilter(this);
    }
}

void PanelLock::guardContextMenu(QWidget* widget) {
    contextMenuOnly_.push_back(widget);
    guard(widget);
}

void PanelLock::showIn(QStatusBar* bar) {
    label_ = new QLabel(bar);
    label_->setObjectName(QStringLiteral("remoteLock"));
    label_->setText(statusText());
    label_->setVisible(holder_.has_value());
    bar->addPermanentWidget(label_);
}

bool PanelLock::eventFilter(QObject* watched, QEvent* event) {
    const bool contextMenuOnly = std::find(contextMenuOnly_.begin(), contextMenuOnly_.end(),
                                           watched) != contextMenuOnly_.end();
    if (!holder_ || !acts(event->type()) ||
        (contextMenuOnly && event->type() != QEvent::ContextMenu)) {
        return QObject::eventFilter(watched, event);
    }
    // A button pressed just before the lock came must not act on its release, nor stay down.
    if (auto* button = qobject_cast<QAbstractButton*>(watched); button && button->isDown()) {
        button->setDown(false);
    }
    if (tells(event->type())) {
        refuses();
    }
    return true;
}

} // namespace kqvdr
