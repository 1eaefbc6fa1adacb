#pragma once

#include "MaskEditModel.h"

#include <QClipboard>
#include <QLineEdit>

namespace kqvdr {

// A line edit that takes input only where and as its mask allows and never lets the mask's
// literals change. The editing rules live in MaskEditModel; this class feeds it keys, mouse,
// focus and clipboard and shows the result. Without a mask it is a plain QLineEdit.
//
// Write the field through CMaskEdit::setText. QLineEdit::setText, insert() or clear() called
// through a base pointer still work, but the text is fitted to the mask only after the fact.
class CMaskEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CMaskEdit(QWidget* parent = nullptr);

    // Set once at start-up. "#" digit, "&" any character, "?" letter, "A" letter or digit, "L"
    // and "U" a letter kept in lower or upper case, "\" makes the next character a literal; all
    // other characters are literals. Fills the mask positions with the prompt.
    void setMask(const QString& mask);
    QString editMask() const { return mask_; }

    // The whole text, literals included ("COM 2"). A text shorter than the mask ("0" in "###")
    // fills the mask positions from the left.
    void setText(const QString& text);
    // Only the mask positions' characters, prompts as blanks ("2" for "COM 2").
    QString data(bool trimTrailingBlanks = false) const;
    void setData(int position, const QString& data);

    QChar promptChar() const { return QChar(model_.promptChar()); }
    void setPromptChar(QChar prompt);
    bool insertMode() const { return model_.insertMode(); }
    void setInsertMode(bool on) { model_.setInsertMode(on); }
    MaskCase caseStyle() const { return model_.caseStyle(); }
    void setCaseStyle(MaskCase style) { model_.setCaseStyle(style); }
    QString initialText() const { return QString::fromStdU16String(model_.initialText()); }

public slots:
    void copy() const;
    void cut();
    void paste();
    void undo();
    void deleteSelected();

signals:
    // The operator moved on to another control of the window; a popup or another window taking
    // the focus for a while does not count. Check the field's value here.
    void focusLost();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool handleKey(QKeyEvent* event);
    void typeText(const QString& text);
    void pullSelection();
    void present(MaskEditResult result, bool byOperator);
    void settleCaret();
    void pasteFrom(QClipboard::Mode mode);
    void fitForeignText(const QString& text);

    MaskEditModel model_;
    QString mask_;
    bool writing_ = false;
};

} // namespace kqvdr
