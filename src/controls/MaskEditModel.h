#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kqvdr {

// Case conversion applied to every typed or pasted character before it is tested.
enum class MaskCase { Normal, Upper, Lower };

// What an operator action did: the widget beeps on Refused.
enum class MaskEditResult { Changed, Unchanged, Refused };

// The editing rules of a masked field, free of any widget: the text, the caret and the selection.
// Every position of the text is either a mask position, which takes one character of its kind, or
// a literal, which never changes. Text is UTF-16 so that positions match the line edit's.
class MaskEditModel {
public:
    // Resolves backslash escapes, fills every mask position with the prompt and puts the caret
    // on the first mask position. An empty mask means an unmasked field.
    void setMask(std::u16string_view mask);
    bool hasMask() const { return !cells_.empty(); }

    // Content as the program writes it. A text laid out like the mask (same length, same
    // literals) is taken as it is, so placeholders such as "##:##" survive; anything else is
    // fitted in from the left, stepping over matching literals and skipping misfits.
    void setText(std::u16string_view text);
    const std::u16string& text() const { return text_; }
    const std::u16string& previousText() const { return previousText_; }
    const std::u16string& initialText() const { return initialText_; }

    // The characters of the mask positions only, prompts as blanks.
    std::u16string data(bool trimTrailingBlanks = false) const;
    // The same for the positions in [from, to): what Copy puts on the clipboard.
    std::u16string dataIn(std::size_t from, std::size_t to) const;
    // Places the characters of data into successive mask positions from position on; a
    // character that does not fit is skipped and the next one tried at the same position.
    MaskEditResult setData(std::size_t position, std::u16string_view data, bool insert);

    char16_t promptChar() const { return prompt_; }
    void setPromptChar(char16_t prompt);
    bool insertMode() const { return insertMode_; }
    void setInsertMode(bool on) { insertMode_ = on; }
    MaskCase caseStyle() const { return caseStyle_; }
    void setCaseStyle(MaskCase style) { caseStyle_ = style; }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on) { readOnly_ = on; }

    // Caret and selection: the selection runs between anchor and caret.
    std::size_t caret() const { return caret_; }
    std::size_t anchor() const { return anchor_; }
    bool hasSelection() const { return anchor_ != caret_; }
    std::size_t selectionStart() const { return std::min(anchor_, caret_); }
    std::size_t selectionEnd() const { return std::max(anchor_, caret_); }
    void setSelection(std::size_t anchor, std::size_t caret);
    void setCaret(std::size_t caret) { setSelection(caret, caret); }

    // Operator actions.
    MaskEditResult type(char16_t ch);
    MaskEditResult backspace();
    MaskEditResult deleteForward();
    void home(bool shift);
    void end(bool shift);
    void left(bool shift);
    void right(bool shift);
    void toggleInsertMode() { insertMode_ = !insertMode_; }
    // After a mouse click or focus: keeps the caret off literals and within the entered text.
    void settleCaret();
    MaskEditResult undo();
    bool canUndo() const { return !readOnly_ && previousText_ != text_; }

    // Clipboard: cut hands back the selection's data and deletes it; paste inserts at the
    // selection's start, skipping characters that do not fit, and keeps the caret there.
    MaskEditResult cut(std::u16string& copied);
    MaskEditResult paste(std::u16string_view clipboard);

    // Deletes the mask positions of the selection, closing the gap from the right.
    MaskEditResult deleteSelection();

private:
    enum class Kind { Literal, Digit, Any, Letter, LetterOrDigit, Lower, Upper };
    struct Cell {
        char16_t ch;
        Kind kind;
    };

    bool isMask(std::size_t position) const {
        return position < cells_.size() && cells_[position].kind != Kind::Literal;
    }
    std::size_t firstMaskAtOrAfter(std::size_t position) const;
    std::size_t lastMaskBefore(std::size_t position) const;
    std::size_t afterLastMask() const;
    std::size_t snapForward(std::size_t position) const;
    std::size_t entryEnd() const;
    bool fitsAndConvert(std::size_t position, char16_t& ch) const;
    std::u16string emptyText() const;
    void fitText(std::u16string_view text);
    void placeData(std::size_t position, std::u16string_view data, bool insert);
    void removeMaskPositions(std::size_t from, std::size_t to);
    bool insertAt(std::size_t position, char16_t ch);
    MaskEditResult commit(const std::u16string& before);
    bool laidOutLikeMask(std::u16string_view text) const;

    std::vector<Cell> cells_;
    std::u16string text_;
    std::u16string previousText_;
    std::u16string initialText_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    char16_t prompt_ = u' ';
    bool insertMode_ = false;
    bool readOnly_ = false;
    MaskCase caseStyle_ = MaskCase::Normal;
};

} // namespace kqvdr
