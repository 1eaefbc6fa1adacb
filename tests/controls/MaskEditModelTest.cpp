#include "MaskEditModel.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace kqvdr {
namespace {

std::string narrow(const std::u16string& text) {
    return {text.begin(), text.end()};
}
std::u16string widen(std::string_view text) {
    return {text.begin(), text.end()};
}

// Plays keys on the model. Plain characters are typed; <...> names a key or action:
// BS DEL HOME END LEFT RIGHT, S-HOME S-END S-LEFT S-RIGHT (with Shift), INS, UNDO, CUT,
// CLICK (settle the caret as after a mouse click) and PASTE:text.
int play(MaskEditModel& model, std::string_view script, std::string* clipboard) {
    int refusals = 0;
    auto count = [&refusals](MaskEditResult result) {
        refusals += result == MaskEditResult::Refused ? 1 : 0;
    };
    while (!script.empty()) {
        if (script.front() != '<') {
            count(model.type(static_cast<char16_t>(script.front())));
            script.remove_prefix(1);
            continue;
        }
        const auto close = script.find('>');
        const std::string_view key = script.substr(1, close - 1);
        script.remove_prefix(close + 1);
        if (key.starts_with("PASTE:")) {
            count(model.paste(widen(key.substr(6))));
        } else if (key == "CUT") {
            std::u16string copied;
            count(model.cut(copied));
            *clipboard = narrow(copied);
        } else if (key == "BS") {
            count(model.backspace());
        } else if (key == "DEL") {
            count(model.deleteForward());
        } else if (key == "UNDO") {
            count(model.undo());
        } else if (key == "INS") {
            model.toggleInsertMode();
        } else if (key == "CLICK") {
            model.settleCaret();
        } else {
            const bool shift = key.starts_with("S-");
            const std::string_view name = shift ? key.substr(2) : key;
            if (name == "HOME") {
                model.home(shift);
            } else if (name == "END") {
                model.end(shift);
            } else if (name == "LEFT") {
                model.left(shift);
            } else if (name == "RIGHT") {
                model.right(shift);
            } else {
                ADD_FAILURE() << "unknown key " << key;
            }
        }
    }
    return refusals;
}

struct EditCase {
    const char* name;
    const char* mask;
    const char* text; // written by the program first; nullptr leaves the fresh mask
    int anchor;       // -1 keeps the caret the mask or text left
    int caret;
    const char* keys;
    const char* expectedText;
    int expectedAnchor;
    int expectedCaret;
    int expectedRefusals = 0;
    MaskCase style = MaskCase::Normal;
    bool readOnly = false;
    const char* expectedClipboard = "";
};

std::ostream& operator<<(std::ostream& out, const EditCase& c) {
    return out << c.name;
}

class MaskEditing : public testing::TestWithParam<EditCase> {};

TEST_P(MaskEditing, KeysGiveTheExpectedTextCaretAndSelection) {
    const EditCase& c = GetParam();
    MaskEditModel model;
    model.setCaseStyle(c.style);
    model.setMask(widen(c.mask));
    if (c.text != nullptr) {
        model.setText(widen(c.text));
    }
    if (c.anchor >= 0) {
        model.setSelection(static_cast<std::size_t>(c.anchor), static_cast<std::size_t>(c.caret));
    }
    model.setReadOnly(c.readOnly);
    std::string clipboard;
    const int refusals = play(model, c.keys, &clipboard);
    EXPECT_EQ(narrow(model.text()), c.expectedText);
    EXPECT_EQ(model.anchor(), static_cast<std::size_t>(c.expectedAnchor));
    EXPECT_EQ(model.caret(), static_cast<std::size_t>(c.expectedCaret));
    EXPECT_EQ(refusals, c.expectedRefusals);
    EXPECT_EQ(clipboard, c.expectedClipboard);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, MaskEditing, testing::Values(
    // name, mask, text, anchor, caret, keys, text, anchor, caret, refusals, style, read-only, clip
    EditCase{"TimeDigitsSkipTheColon", "##:##", nullptr, -1, 0, "1230", "12:30", 5, 5},
    EditCase{"LetterInDigitFieldRefused", "#", nullptr, -1, 0, "a", " ", 0, 0, 1},
    EditCase{"PortStartsAfterLiterals", "COM #", nullptr, -1, 0, "3", "COM 3", 5, 5},
    EditCase{"PortTakesOnlyOneDigit", "COM #", "COM 3", 4, 4, "C4", "COM 4", 5, 5, 1},
    EditCase{"TypingPastTheLastPositionRefused", "##", "12", 2, 2, "3", "12", 2, 2, 1},
    EditCase{"BackspaceFreesPositionAfterColon", "##:##", "12:3 ", 4, 4, "<BS>", "12:  ", 3, 3},
    EditCase{"BackspaceClosesGapAcrossColon", "##:##", "12:30", 3, 3, "<BS>", "13:0 ", 1, 1},
    EditCase{"BackspaceAtFirstPositionDoesNothing", "COM #", "COM 2", 4, 4, "<BS>", "COM 2", 4, 4},
    EditCase{"DeleteOnColonTakesNextDigit", "##:##", "12:30", 2, 2, "<DEL>", "12:0 ", 2, 2},
    EditCase{"DeleteAtEndDoesNothing", "##:##", "12:30", 5, 5, "<DEL>", "12:30", 5, 5},
    EditCase{"EscapedMaskCharIsLiteral", "\\##", nullptr, -1, 0, "#5", "#5", 2, 2, 1},
    EditCase{"EscapedBackslashIsLiteral", "\\\\#", nullptr, -1, 0, "7", "\\7", 2, 2},
    EditCase{"TrailingBackslashDropped", "#\\", nullptr, -1, 0, "7", "7", 1, 1},
    EditCase{"UpperMaskRaisesLetters", "UU", nullptr, -1, 0, "aB", "AB", 2, 2},
    EditCase{"LowerMaskLowersLetters", "LL?", nullptr, -1, 0, "Ab1", "ab ", 2, 2, 1},
    EditCase{"UpperStyleWinsOverLowerMask", "L&", nullptr, -1, 0, "ab", "AB", 2, 2, 0,
             MaskCase::Upper},
    EditCase{"LowerStyleWinsOverUpperMask", "U", nullptr, -1, 0, "Q", "q", 1, 1, 0,
             MaskCase::Lower},
    EditCase{"LetterOrDigitRefusesPunctuation", "AA", nullptr, -1, 0, "a.1", "a1", 2, 2, 1},
    EditCase{"InsertShiftsAcrossColon", "##:##", "12:3 ", 0, 0, "<INS>9", "91:23", 1, 1},
    EditCase{"InsertIntoFullFieldRefused", "###", "123", 1, 1, "<INS>9", "123", 1, 1, 1},
    EditCase{"InsertOverSelectionMakesRoom", "###", "123", 0, 2, "<INS>9", "93 ", 1, 1},
    EditCase{"TypingOverSelectionReplacesIt", "##:##", "12:30", 1, 4, "5", "15:0 ", 3, 3},
    EditCase{"TypingOverLiteralsOnlyRefused", "COM #", "COM 2", 0, 4, "3", "COM 2", 0, 4, 1},
    EditCase{"TypingOverAllReplacesDigit", "COM #", "COM 2", 0, 5, "3", "COM 3", 5, 5},
    EditCase{"DeleteSelectionClosesGap", "##:##", "12:30", 4, 1, "<DEL>", "10:  ", 1, 1},
    EditCase{"HomeGoesToFirstMaskPosition", "003-###", "003-001", 7, 7, "<HOME>", "003-001", 4, 4},
    EditCase{"EndGoesAfterLastEntry", "##:##", "12:  ", 0, 0, "<END>", "12:  ", 3, 3},
    EditCase{"EndOfEmptyFieldIsFirstPosition", "COM #", nullptr, -1, 0, "<END>", "COM  ", 4, 4},
    EditCase{"ShiftHomeSelectsToTextStart", "##:##", "12:30", 4, 4, "<S-HOME>", "12:30", 4, 0},
    EditCase{"ShiftEndSelectsToTextEnd", "##:##", "12:  ", 1, 1, "<S-END>", "12:  ", 1, 5},
    EditCase{"ShiftArrowsMoveOneCharacter", "##:##", "12:30", 3, 3, "<S-LEFT><S-LEFT><S-RIGHT>",
             "12:30", 3, 2},
    EditCase{"ShiftSelectionThenTyping", "##:##", "12:30", 3, 3, "<S-LEFT><S-LEFT>9", "19:30", 3, 3},
    EditCase{"ArrowsSkipTheColon", "##:##", "12:30", 3, 3, "<LEFT>", "12:30", 1, 1},
    EditCase{"RightSkipsTheColon", "##:##", "12:30", 1, 1, "<RIGHT>", "12:30", 3, 3},
    EditCase{"RightStopsAfterLastEntry", "##:##", "12:3 ", 3, 3, "<RIGHT><RIGHT>", "12:3 ", 4, 4},
    EditCase{"ArrowCollapsesSelection", "##:##", "12:30", 1, 4, "<LEFT>", "12:30", 1, 1},
    EditCase{"ClickOnPrefixMovesToDigit", "003-###", "003-001", 1, 1, "<CLICK>", "003-001", 4, 4},
    EditCase{"ClickInEmptyPortMovesToDigit", "COM #", nullptr, 0, 0, "<CLICK>", "COM  ", 4, 4},
    EditCase{"ClickBeyondEntryMovesBack", "##:##", "12:  ", 5, 5, "<CLICK>", "12:  ", 3, 3},
    EditCase{"ClickKeepsSelection", "##:##", "12:30", 0, 5, "<CLICK>", "12:30", 0, 5},
    EditCase{"UndoRevertsLastChangeAndToggles", "###", nullptr, -1, 0, "12<UNDO>", "1  ", 1, 1},
    EditCase{"SecondUndoRedoes", "###", nullptr, -1, 0, "12<UNDO><UNDO>", "12 ", 2, 2},
    EditCase{"ProgramTextIsNotUndone", "###", "30", 0, 0, "<UNDO>", "30 ", 0, 0},
    EditCase{"PasteSkipsCharactersThatDoNotFit", "##:##", nullptr, -1, 0, "<PASTE:12:30>",
             "12:30", 0, 0},
    EditCase{"PasteIntoFullFieldChangesNothing", "##:##", "12:30", 0, 0, "<PASTE:4>", "12:30", 0, 0},
    EditCase{"PasteInsertsAndStopsWhenFull", "###", "12 ", 0, 0, "<PASTE:987>", "912", 0, 0},
    EditCase{"PasteReplacesSelection", "##:##", "12:30", 0, 5, "<PASTE:9>", "9 :  ", 0, 0},
    EditCase{"PastedPortTextKeepsOnlyDigit", "COM #", nullptr, -1, 0, "<PASTE:COM 3>", "COM 3", 4, 4},
    EditCase{"PasteDropsLineBreaks", "&&&", nullptr, -1, 0, "<PASTE:1\n\t2>", "12 ", 0, 0},
    EditCase{"PasteAtLiteralLandsOnNextPosition", "003-###", nullptr, 1, 1, "<PASTE:7>", "003-7  ",
             4, 4},
    EditCase{"CutCopiesDataWithoutLiterals", "##:##", "12:30", 0, 4, "<CUT>", "0 :  ", 0, 0, 0,
             MaskCase::Normal, false, "123"},
    EditCase{"ReadOnlyIgnoresEditing", "##:##", "12:30", 5, 5, "<BS>9<PASTE:1><CUT><UNDO>",
             "12:30", 5, 5, 0, MaskCase::Normal, true}),
    [](const testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });
// clang-format on

struct FitCase {
    const char* mask;
    const char* written;
    const char* shown;
};

std::ostream& operator<<(std::ostream& out, const FitCase& c) {
    return out << '"' << c.written << "\" into \"" << c.mask << '"';
}

class ProgramText : public testing::TestWithParam<FitCase> {};

TEST_P(ProgramText, IsFittedToTheMask) {
    MaskEditModel model;
    model.setMask(widen(GetParam().mask));
    model.setText(widen(GetParam().written));
    EXPECT_EQ(narrow(model.text()), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgramText,
    testing::Values(FitCase{"###", "0", "0  "}, FitCase{"#&##", "1.0", "1.0 "},
                    FitCase{"COM #", "COM 2", "COM 2"}, FitCase{"COM #", "4", "COM 4"},
                    FitCase{"##:##", "##:##", "##:##"}, FitCase{"003-###", "003-001", "003-001"},
                    FitCase{"###", "1234", "123"}, FitCase{"##", "", "  "},
                    FitCase{"###", "1\n2", "12 "}, FitCase{"003-###", "003-12", "003-12 "}));

TEST(MaskEditModel, DataLeavesOutLiteralsAndShowsPromptsAsBlanks) {
    MaskEditModel model;
    model.setMask(u"##:##");
    model.setPromptChar(u'_');
    model.type(u'1');
    model.setCaret(3);
    model.type(u'3');
    EXPECT_EQ(narrow(model.text()), "1_:3_");
    EXPECT_EQ(narrow(model.data()), "1 3 ");
    EXPECT_EQ(narrow(model.data(true)), "1 3");
    EXPECT_EQ(narrow(model.initialText()), "__:__");
}

TEST(MaskEditModel, PromptChangeLeavesEntriesAndLiteralsAlone) {
    MaskEditModel model;
    model.setMask(u"\\_#_#");
    model.setData(0, u"x5", false);
    model.setPromptChar(u'*');
    EXPECT_EQ(narrow(model.text()), "_5_*");
    model.setPromptChar(u'\n');
    EXPECT_EQ(model.promptChar(), u'*');
}

} // namespace
} // namespace kqvdr
