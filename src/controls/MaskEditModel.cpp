#include "MaskEditModel.h"

namespace kqvdr {
namespace {

constexpr std::size_t npos = std::u16string::npos;

bool isAsciiLetter(char16_t ch) {
    return (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z');
}
bool isAsciiDigit(char16_t ch) {
    return ch >= u'0' && ch <= u'9';
}
char16_t toUpper(char16_t ch) {
    return (ch >= u'a' && ch <= u'z') ? char16_t(ch - u'a' + u'A') : ch;
}
char16_t toLower(char16_t ch) {
    return (ch >= u'A' && ch <= u'Z') ? char16_t(ch - u'A' + u'a') : ch;
}

// Control characters, line breaks and lone surrogate halves would break a one-line field, so
// not even "&" takes them.
bool isDisplayable(char16_t ch) {
    if (ch < 0x20 || (ch >= 0x7F && ch <= 0x9F)) {
        return false;
    }
    if (ch >= 0xD800 && ch <= 0xDFFF) {
        return false;
    }
    return ch != 0x2028 && ch != 0x2029;
}

} // namespace

void MaskEditModel::setMask(std::u16string_view mask) {
    cells_.clear();
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char16_t ch = mask[i];
        if (ch == u'\\') {
            // A trailing backslash escapes nothing and is dropped like any other.
            if (i + 1 < mask.size()) {
                cells_.push_back({mask[++i], Kind::Literal});
            }
            continue;
        }
        Kind kind = Kind::Literal;
        switch (ch) {
        case u'#':
            kind = Kind::Digit;
            break;
        case u'&':
            kind = Kind::Any;
            break;
        case u'?':
            kind = Kind::Letter;
            break;
        case u'A':
            kind = Kind::LetterOrDigit;
            break;
        case u'L':
            kind = Kind::Lower;
            break;
        case u'U':
            kind = Kind::Upper;
            break;
        default:
            break;
        }
        cells_.push_back({ch, kind});
    }
    if (cells_.empty()) {
        return;
    }
    text_ = emptyText();
    previousText_ = text_;
    initialText_ = text_;
    setCaret(snapForward(0));
}

void MaskEditModel::setText(std::u16string_view text) {
    if (!hasMask()) {
        text_ = text;
    } else if (laidOutLikeMask(text)) {
        text_ = text;
    } else {
        text_ = emptyText();
        fitText(text);
    }
    // A value written by the program is a fresh start, not an operator change to undo.
    previousText_ = text_;
    setCaret(snapForward(0));
}

std::u16string MaskEditModel::emptyText() const {
    std::u16string text;
    for (const Cell& cell : cells_) {
        text.push_back(cell.kind == Kind::Literal ? cell.ch : prompt_);
    }
    return text;
}

// Left to right: a character equal to the literal it meets steps over it, so that a partial
// "003-12" keeps its prefix; others go into the next mask position that takes them.
void MaskEditModel::fitText(std::u16string_view text) {
    std::size_t position = 0;
    for (char16_t ch : text) {
        if (position < cells_.size() && !isMask(position) && cells_[position].ch == ch) {
            ++position;
            continue;
        }
        const std::size_t target = firstMaskAtOrAfter(position);
        if (target == npos) {
            break;
        }
        if (fitsAndConvert(target, ch)) {
            text_[target] = ch;
            position = target + 1;
        }
    }
}

bool MaskEditModel::laidOutLikeMask(std::u16string_view text) const {
    if (text.size() != cells_.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool literal = cells_[i].kind == Kind::Literal;
        if (literal ? text[i] != cells_[i].ch : !isDisplayable(text[i])) {
            return false;
        }
    }
    return true;
}

std::u16string MaskEditModel::data(bool trimTrailingBlanks) const {
    std::u16string out = dataIn(0, text_.size());
    if (trimTrailingBlanks) {
        out.erase(out.find_last_not_of(u' ') + 1);
    }
    return out;
}

std::u16string MaskEditModel::dataIn(std::size_t from, std::size_t to) const {
    std::u16string out;
    for (std::size_t i = from; i < std::min(to, text_.size()); ++i) {
        if (isMask(i)) {
            out.push_back(text_[i] == prompt_ ? u' ' : text_[i]);
        }
    }
    return out;
}

MaskEditResult MaskEditModel::setData(std::size_t position, std::u16string_view data, bool insert) {
    const std::u16string before = text_;
    placeData(position, data, insert);
    return commit(before);
}

void MaskEditModel::placeData(std::size_t position, std::u16string_view data, bool insert) {
    std::size_t target = firstMaskAtOrAfter(position);
    for (char16_t ch : data) {
        if (target == npos) {
            break;
        }
        if (!fitsAndConvert(target, ch)) {
            continue;
        }
        if (insert) {
            if (!insertAt(target, ch)) {
                break;
            }
        } else {
            text_[target] = ch;
        }
        target = firstMaskAtOrAfter(target + 1);
    }
}

void MaskEditModel::setPromptChar(char16_t prompt) {
    if (!isDisplayable(prompt)) {
        return;
    }
    for (std::u16string* text : {&text_, &previousText_, &initialText_}) {
        for (std::size_t i = 0; i < text->size(); ++i) {
            if (isMask(i) && (*text)[i] == prompt_) {
                (*text)[i] = prompt;
            }
        }
    }
    prompt_ = prompt;
}

void MaskEditModel::setSelection(std::size_t anchor, std::size_t caret) {
    anchor_ = std::min(anchor, text_.size());
    caret_ = std::min(caret, text_.size());
}

MaskEditResult MaskEditModel::type(char16_t ch) {
    if (readOnly_ || !hasMask()) {
        return MaskEditResult::Unchanged;
    }
    const std::size_t start = hasSelection() ? selectionStart() : caret_;
    const std::size_t target = firstMaskAtOrAfter(start);
    if (target == npos || (hasSelection() && target >= selectionEnd())) {
        return MaskEditResult::Refused;
    }
    if (!fitsAndConvert(target, ch)) {
        return MaskEditResult::Refused;
    }
    const std::u16string before = text_;
    if (insertMode_) {
        if (hasSelection()) {
            removeMaskPositions(target, selectionEnd());
        }
        if (!insertAt(target, ch)) {
            text_ = before;
            return MaskEditResult::Refused;
        }
    } else {
        if (hasSelection()) {
            removeMaskPositions(target + 1, selectionEnd());
        }
        text_[target] = ch;
    }
    setCaret(snapForward(target + 1));
    return commit(before);
}

MaskEditResult MaskEditModel::backspace() {
    if (readOnly_ || hasSelection()) {
        return deleteSelection();
    }
    const std::size_t position = lastMaskBefore(caret_);
    if (position == npos) {
        return MaskEditResult::Unchanged;
    }
    const std::u16string before = text_;
    removeMaskPositions(position, position + 1);
    setCaret(position);
    return commit(before);
}

MaskEditResult MaskEditModel::deleteForward() {
    if (readOnly_ || hasSelection()) {
        return deleteSelection();
    }
    const std::size_t position = firstMaskAtOrAfter(caret_);
    if (position == npos) {
        return MaskEditResult::Unchanged;
    }
    const std::u16string before = text_;
    removeMaskPositions(position, position + 1);
    setCaret(caret_);
    return commit(before);
}

MaskEditResult MaskEditModel::deleteSelection() {
    if (readOnly_ || !hasSelection()) {
        return MaskEditResult::Unchanged;
    }
    const std::u16string before = text_;
    removeMaskPositions(selectionStart(), selectionEnd());
    setCaret(snapForward(selectionStart()));
    return commit(before);
}

void MaskEditModel::home(bool shift) {
    if (shift) {
        setSelection(anchor_, 0);
    } else {
        setCaret(snapForward(0));
    }
}

void MaskEditModel::end(bool shift) {
    if (shift) {
        setSelection(anchor_, text_.size());
    } else {
        setCaret(entryEnd());
    }
}

void MaskEditModel::left(bool shift) {
    if (shift) {
        setSelection(anchor_, caret_ > 0 ? caret_ - 1 : 0);
    } else if (hasSelection()) {
        setCaret(selectionStart());
        settleCaret();
    } else if (const std::size_t previous = lastMaskBefore(caret_); previous != npos) {
        setCaret(previous);
    }
}

void MaskEditModel::right(bool shift) {
    if (shift) {
        setSelection(anchor_, caret_ + 1);
    } else if (hasSelection()) {
        setCaret(selectionEnd());
        settleCaret();
    } else {
        std::size_t next = firstMaskAtOrAfter(caret_ + 1);
        next = std::min(next == npos ? afterLastMask() : next, entryEnd());
        if (next > caret_) {
            setCaret(next);
        }
    }
}

void MaskEditModel::settleCaret() {
    if (!hasMask() || hasSelection()) {
        return;
    }
    setCaret(snapForward(std::min(caret_, entryEnd())));
}

MaskEditResult MaskEditModel::undo() {
    if (!canUndo()) {
        return MaskEditResult::Unchanged;
    }
    // One level that toggles, so a second undo brings the change back.
    std::swap(text_, previousText_);
    setCaret(entryEnd());
    return MaskEditResult::Changed;
}

MaskEditResult MaskEditModel::cut(std::u16string& copied) {
    copied.clear();
    if (readOnly_ || !hasSelection()) {
        return MaskEditResult::Unchanged;
    }
    copied = dataIn(selectionStart(), selectionEnd());
    return deleteSelection();
}

MaskEditResult MaskEditModel::paste(std::u16string_view clipboard) {
    // Nothing to paste leaves the selection alone rather than deleting it.
    if (readOnly_ || !hasMask() || clipboard.empty()) {
        return MaskEditResult::Unchanged;
    }
    const std::u16string before = text_;
    const std::size_t start = selectionStart();
    removeMaskPositions(start, selectionEnd());
    placeData(start, clipboard, true);
    setCaret(snapForward(start));
    return commit(before);
}

std::size_t MaskEditModel::firstMaskAtOrAfter(std::size_t position) const {
    for (std::size_t i = position; i < cells_.size(); ++i) {
        if (isMask(i)) {
            return i;
        }
    }
    return npos;
}

std::size_t MaskEditModel::lastMaskBefore(std::size_t position) const {
    for (std::size_t i = std::min(position, cells_.size()); i > 0; --i) {
        if (isMask(i - 1)) {
            return i - 1;
        }
    }
    return npos;
}

std::size_t MaskEditModel::afterLastMask() const {
    const std::size_t last = lastMaskBefore(cells_.size());
    return last == npos ? 0 : last + 1;
}

// A caret on a literal belongs on the mask position after it.
std::size_t MaskEditModel::snapForward(std::size_t position) const {
    if (position < afterLastMask() && !isMask(position)) {
        return firstMaskAtOrAfter(position);
    }
    return position;
}

// Just after the last entered character, or the first mask position when nothing is entered.
std::size_t MaskEditModel::entryEnd() const {
    for (std::size_t i = std::min(text_.size(), cells_.size()); i > 0; --i) {
        if (isMask(i - 1) && text_[i - 1] != prompt_) {
            return snapForward(i);
        }
    }
    return snapForward(0);
}

bool MaskEditModel::fitsAndConvert(std::size_t position, char16_t& ch) const {
    if (caseStyle_ == MaskCase::Upper) {
        ch = toUpper(ch);
    } else if (caseStyle_ == MaskCase::Lower) {
        ch = toLower(ch);
    }
    if (!isMask(position) || !isDisplayable(ch)) {
        return false;
    }
    switch (cells_[position].kind) {
    case Kind::Digit:
        return isAsciiDigit(ch);
    case Kind::Any:
        return true;
    case Kind::Letter:
        return isAsciiLetter(ch);
    case Kind::LetterOrDigit:
        return isAsciiLetter(ch) || isAsciiDigit(ch);
    case Kind::Lower:
        if (caseStyle_ != MaskCase::Upper) {
            ch = toLower(ch);
        }
        return isAsciiLetter(ch);
    case Kind::Upper:
        if (caseStyle_ != MaskCase::Lower) {
            ch = toUpper(ch);
        }
        return isAsciiLetter(ch);
    case Kind::Literal:
        break;
    }
    return false;
}

// Removes the mask positions in [from, to); later mask positions move left to close the gap
// and the prompt fills in at the end.
void MaskEditModel::removeMaskPositions(std::size_t from, std::size_t to) {
    std::vector<std::size_t> positions;
    std::size_t removed = 0;
    for (std::size_t i = firstMaskAtOrAfter(from); i != npos; i = firstMaskAtOrAfter(i + 1)) {
        positions.push_back(i);
        if (i < to) {
            ++removed;
        }
    }
    for (std::size_t k = 0; k < positions.size(); ++k) {
        text_[positions[k]] =
            k + removed < positions.size() ? text_[positions[k + removed]] : prompt_;
    }
}

// Inserts at a mask position, moving later mask positions right. Refuses rather than push an
// entered character off the end.
bool MaskEditModel::insertAt(std::size_t position, char16_t ch) {
    std::vector<std::size_t> positions;
    for (std::size_t i = position; i != npos; i = firstMaskAtOrAfter(i + 1)) {
        positions.push_back(i);
    }
    if (text_[positions.back()] != prompt_) {
        return false;
    }
    for (std::size_t k = positions.size() - 1; k > 0; --k) {
        text_[positions[k]] = text_[positions[k - 1]];
    }
    text_[position] = ch;
    return true;
}

MaskEditResult MaskEditModel::commit(const std::u16string& before) {
    if (text_ == before) {
        return MaskEditResult::Unchanged;
    }
    previousText_ = before;
    return MaskEditResult::Changed;
}

} // namespace kqvdr
