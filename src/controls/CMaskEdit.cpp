#include "CMaskEdit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScopedValueRollback>

namespace kqvdr {
namespace {

std::u16string toU16(const QString& text) {
    return text.toStdU16String();
}
QString fromU16(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

// Ctrl and Ctrl+Shift make shortcuts; AltGr (Ctrl+Alt on Windows) still types.
bool isTyping(const QKeyEvent* event) {
    const QString text = event->text();
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (text.isEmpty() || modifiers == Qt::ControlModifier ||
        modifiers == (Qt::ShiftModifier | Qt::ControlModifier)) {
        return false;
    }
    return text.front().isPrint() || text.front().isSurrogate();
}

} // namespace

CMaskEdit::CMaskEdit(QWidget* parent) : QLineEdit(parent) {
    // A drop would bypass the mask; paste is the way in.
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, &CMaskEdit::fitForeignText);
}

void CMaskEdit::setMask(const QString& mask) {
    mask_ = mask;
    model_.setMask(toU16(mask));
    if (!model_.hasMask()) {
        return;
    }
    present(MaskEditResult::Changed, false);
    setModified(false);
}

void CMaskEdit::setText(const QString& text) {
    if (!model_.hasMask()) {
        QLineEdit::setText(text);
        return;
    }
    model_.setText(toU16(text));
    present(MaskEditResult::Changed, false);
    setModified(false);
}

QString CMaskEdit::data(bool trimTrailingBlanks) const {
    if (!model_.hasMask()) {
        return text();
    }
    return fromU16(model_.data(trimTrailingBlanks));
}

void CMaskEdit::setData(int position, const QString& data) {
    if (!model_.hasMask()) {
        return;
    }
    pullSelection();
    present(model_.setData(static_cast<std::size_t>(std::max(position, 0)), toU16(data),
                           model_.insertMode()),
            false);
}

void CMaskEdit::setPromptChar(QChar prompt) {
    model_.setPromptChar(prompt.unicode());
    if (model_.hasMask()) {
        pullSelection();
        present(MaskEditResult::Unchanged, false);
    }
}

void CMaskEdit::copy() const {
    if (!model_.hasMask()) {
        QLineEdit::copy();
        return;
    }
    if (!hasSelectedText()) {
        return;
    }
    const auto start = static_cast<std::size_t>(selectionStart());
    const auto data = model_.dataIn(start, start + static_cast<std::size_t>(selectionLength()));
    if (!data.empty()) {
        QGuiApplication::clipboard()->setText(fromU16(data));
    }
}

void CMaskEdit::cut() {
    if (!model_.hasMask()) {
        QLineEdit::cut();
        return;
    }
    pullSelection();
    std::u16string copied;
    const MaskEditResult result = model_.cut(copied);
    if (!copied.empty()) {
        QGuiApplication::clipboard()->setText(fromU16(copied));
    }
    present(result, true);
}

void CMaskEdit::paste() {
    pasteFrom(QClipboard::Clipboard);
}

void CMaskEdit::pasteFrom(QClipboard::Mode mode) {
    if (!model_.hasMask()) {
        QLineEdit::paste();
        return;
    }
    pullSelection();
    present(model_.paste(toU16(QGuiApplication::clipboard()->text(mode))), true);
}

void CMaskEdit::undo() {
    if (!model_.hasMask()) {
        QLineEdit::undo();
        return;
    }
    pullSelection();
    present(model_.undo(), true);
}

void CMaskEdit::deleteSelected() {
    if (!model_.hasMask()) {
        del();
        return;
    }
    pullSelection();
    present(model_.deleteSelection(), true);
}

void CMaskEdit::keyPressEvent(QKeyEvent* event) {
    if (!model_.hasMask()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (handleKey(event)) {
        event->accept();
    } else {
        QLineEdit::keyPressEvent(event);
    }
}

bool CMaskEdit::handleKey(QKeyEvent* event) {
    pullSelection();
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return true;
    }
    if (event->matches(QKeySequence::Cut)) {
        cut();
        return true;
    }
    if (event->matches(QKeySequence::Paste)) {
        paste();
        return true;
    }
    if (event->matches(QKeySequence::Undo)) {
        undo();
        return true;
    }
    // The line edit's own versions of these would edit the text behind the mask's back.
    for (const auto key :
         {QKeySequence::Redo, QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
          QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine}) {
        if (event->matches(key)) {
            return true;
        }
    }
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    switch (event->key()) {
    case Qt::Key_Backspace:
        present(model_.backspace(), true);
        return true;
    case Qt::Key_Delete:
        present(model_.deleteForward(), true);
        return true;
    case Qt::Key_Home:
        model_.home(shift);
        present(MaskEditResult::Unchanged, true);
        return true;
    case Qt::Key_End:
        model_.end(shift);
        present(MaskEditResult::Unchanged, true);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (control) {
            return false;
        }
        if (event->key() == Qt::Key_Left) {
            model_.left(shift);
        } else {
            model_.right(shift);
        }
        present(MaskEditResult::Unchanged, true);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    case Qt::Key_Insert:
        if (event->modifiers() == Qt::NoModifier) {
            model_.toggleInsertMode();
        }
        return true;
    default:
        break;
    }
    if (isTyping(event)) {
        typeText(event->text());
        return true;
    }
    return false;
}

void CMaskEdit::typeText(const QString& text) {
    pullSelection();
    MaskEditResult result = MaskEditResult::Unchanged;
    for (const QChar ch : text) {
        const MaskEditResult one = model_.type(ch.unicode());
        if (one == MaskEditResult::Refused) {
            result = one;
            break;
        }
        if (one == MaskEditResult::Changed) {
            result = one;
        }
    }
    present(result, true);
}

void CMaskEdit::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    settleCaret();
}

void CMaskEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The X11 middle-button paste inserts raw text; route it through the mask instead.
    if (model_.hasMask() && event->button() == Qt::MiddleButton &&
        QGuiApplication::clipboard()->supportsSelection()) {
        if (!isReadOnly()) {
            setCursorPosition(cursorPositionAt(event->position().toPoint()));
            settleCaret();
            pasteFrom(QClipboard::Selection);
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
    settleCaret();
}

void CMaskEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    settleCaret();
}

void CMaskEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    settleCaret();
}

void CMaskEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason) {
        emit focusLost();
    }
}

void CMaskEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (!model_.hasMask()) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    // The standard menu calls QLineEdit's own slots, which know nothing of the mask.
    pullSelection();
    const bool writable = !isReadOnly();
    const bool selected = model_.hasSelection();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(tr("&Undo"), this, &CMaskEdit::undo)->setEnabled(model_.canUndo());
    menu->addSeparator();
    menu->addAction(tr("Cu&t"), this, &CMaskEdit::cut)->setEnabled(writable && selected);
    menu->addAction(tr("&Copy"), this, &CMaskEdit::copy)->setEnabled(selected);
    menu->addAction(tr("&Paste"), this, &CMaskEdit::paste)
        ->setEnabled(writable && !QGuiApplication::clipboard()->text().isEmpty());
    menu->addAction(tr("Delete"), this, &CMaskEdit::deleteSelected)
        ->setEnabled(writable && selected);
    menu->addSeparator();
    menu->addAction(tr("Select All"), this, &QLineEdit::selectAll);
    menu->popup(event->globalPos());
    event->accept();
}

void CMaskEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!model_.hasMask()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // Composed text arrives whole; a half-composed preview has no place in a mask.
    if (!event->commitString().isEmpty()) {
        typeText(event->commitString());
    }
    event->accept();
}

void CMaskEdit::pullSelection() {
    model_.setReadOnly(isReadOnly());
    const auto caret = static_cast<std::size_t>(cursorPosition());
    if (!hasSelectedText()) {
        model_.setCaret(caret);
        return;
    }
    const auto start = static_cast<std::size_t>(selectionStart());
    const auto end = start + static_cast<std::size_t>(selectionLength());
    model_.setSelection(caret == start ? end : start, caret);
}

void CMaskEdit::present(MaskEditResult result, bool byOperator) {
    if (result == MaskEditResult::Refused) {
        QApplication::beep();
        emit inputRejected();
    }
    const QString shown = fromU16(model_.text());
    const bool changed = shown != text();
    if (changed) {
        const QScopedValueRollback guard(writing_, true);
        QLineEdit::setText(shown);
    }
    const int anchor = static_cast<int>(model_.anchor());
    const int caret = static_cast<int>(model_.caret());
    if (anchor == caret) {
        setCursorPosition(caret);
    } else {
        setSelection(anchor, caret - anchor);
    }
    if (changed && byOperator) {
        setModified(true);
        emit textEdited(shown);
    }
}

void CMaskEdit::settleCaret() {
    if (!model_.hasMask() || hasSelectedText()) {
        return;
    }
    pullSelection();
    model_.settleCaret();
    present(MaskEditResult::Unchanged, false);
}

// Someone wrote the text past the mask, through a QLineEdit pointer or the line edit's own
// handling; fit it back in so that the literals stay put.
void CMaskEdit::fitForeignText(const QString& text) {
    if (writing_ || !model_.hasMask() || toU16(text) == model_.text()) {
        return;
    }
    const bool modified = isModified();
    model_.setText(toU16(text));
    present(MaskEditResult::Changed, false);
    setModified(modified);
}

} // namespace kqvdr
