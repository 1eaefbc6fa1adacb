#include "CMaskEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kqvdr {
namespace {

struct KeyCase {
    const char* name;
    const char* mask;
    const char* text;
    std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
    const char* expectedText;
    int expectedCursor;
    const char* expectedSelection;
};

std::ostream& operator<<(std::ostream& out, const KeyCase& c) {
    return out << c.name;
}

class MaskEditKeys : public testing::TestWithParam<KeyCase> {};

TEST_P(MaskEditKeys, ReachTheMaskRules) {
    const KeyCase& c = GetParam();
    CMaskEdit edit;
    edit.setMask(c.mask);
    edit.setText(c.text);
    QTest::keyClick(&edit, Qt::Key_End);
    for (const auto& [key, modifiers] : c.keys) {
        QTest::keyClick(&edit, key, modifiers);
    }
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.expectedText));
    EXPECT_EQ(edit.cursorPosition(), c.expectedCursor);
    EXPECT_EQ(edit.selectedText(), QString::fromLatin1(c.expectedSelection));
}

const auto shift = Qt::ShiftModifier;
const auto none = Qt::NoModifier;

// Each case starts with End pressed, the caret just after the entered text.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, MaskEditKeys, testing::Values(
    KeyCase{"BackspaceKeepsColon", "##:##", "12:3", {{Qt::Key_Backspace, none}}, "12:  ", 3, ""},
    KeyCase{"ShiftHomeSelectsFromStart", "003-###", "003-12", {{Qt::Key_Home, shift}}, "003-12 ",
            0, "003-12"},
    KeyCase{"ShiftHomeThenDigitReplaces", "003-###", "003-123",
            {{Qt::Key_Home, shift}, {Qt::Key_9, none}}, "003-9  ", 5, ""},
    KeyCase{"HomeThenRightSkipsLiterals", "##:##", "12:30",
            {{Qt::Key_Home, none}, {Qt::Key_Right, none}, {Qt::Key_Right, none}}, "12:30", 3, ""},
    KeyCase{"ShiftLeftSelectsOneCharacter", "##:##", "12:30", {{Qt::Key_Left, shift}}, "12:30", 4,
            "0"},
    KeyCase{"InsertKeyTogglesInsertMode", "###", "12",
            {{Qt::Key_Home, none}, {Qt::Key_Insert, none}, {Qt::Key_7, none}}, "712", 1, ""},
    KeyCase{"UpAndDownIgnored", "##", "12", {{Qt::Key_Up, none}, {Qt::Key_Down, none}}, "12", 2,
            ""},
    KeyCase{"WordDeletionCannotEatLiterals", "003-###", "003-123",
            {{Qt::Key_Backspace, Qt::ControlModifier}}, "003-123", 7, ""}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(CMaskEdit, TypingBeepsOnMisfitsAndReportsOperatorEdits) {
    CMaskEdit edit;
    edit.setMask("##:##");
    QSignalSpy edited(&edit, &QLineEdit::textEdited);
    QSignalSpy rejected(&edit, &QLineEdit::inputRejected);
    QTest::keyClicks(&edit, "12x30");
    EXPECT_EQ(edit.text(), "12:30");
    EXPECT_EQ(edited.count(), 4);
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_TRUE(edit.isModified());
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "12:3 ");
}

TEST(CMaskEdit, ProgramTextIsFittedAndClearsTheModifiedFlag) {
    CMaskEdit edit;
    edit.setMask("###");
    QTest::keyClicks(&edit, "5");
    edit.setText("0");
    EXPECT_EQ(edit.text(), "0  ");
    EXPECT_FALSE(edit.isModified());
    EXPECT_EQ(edit.data(true), "0");
    // Dialogs that exchange data through a QLineEdit pointer still get a fitted field.
    static_cast<QLineEdit&>(edit).setText("1234");
    EXPECT_EQ(edit.text(), "123");
    static_cast<QLineEdit&>(edit).clear();
    EXPECT_EQ(edit.text(), "   ");
}

TEST(CMaskEdit, ClickAndFocusKeepTheCaretOffTheLiterals) {
    CMaskEdit edit;
    edit.setMask("COM #");
    edit.resize(120, 24);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(2, edit.height() / 2));
    EXPECT_EQ(edit.cursorPosition(), 4);

    edit.setText("COM 2");
    edit.setCursorPosition(1);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(&edit, &focusIn);
    EXPECT_EQ(edit.cursorPosition(), 4);
    QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(edit.width() - 2, edit.height() / 2));
    EXPECT_EQ(edit.cursorPosition(), 5);
}

TEST(CMaskEdit, LeavingTheFieldIsReportedButAPopupIsNot) {
    QWidget window;
    auto* edit = new CMaskEdit(&window);
    auto* other = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(other);
    edit->setMask("##:##");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy lost(edit, &CMaskEdit::focusLost);
    QSignalSpy finished(edit, &QLineEdit::editingFinished);

    edit->setFocus(Qt::MouseFocusReason);
    other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(lost.count(), 1);
    EXPECT_EQ(finished.count(), 1);

    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(edit, &popup);
    EXPECT_EQ(lost.count(), 1);
}

TEST(CMaskEdit, ClipboardKeysCarryDataWithoutLiterals) {
    CMaskEdit edit;
    edit.setMask("##:##");
    edit.setText("12:30");
    QClipboard* clipboard = QGuiApplication::clipboard();

    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "1230");

    clipboard->setText("9x8");
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "98:  ");
    EXPECT_EQ(edit.cursorPosition(), 0);

    edit.setSelection(0, 2);
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "98");
    EXPECT_EQ(edit.text(), "  :  ");

    edit.setReadOnly(true);
    clipboard->setText("11");
    edit.paste();
    EXPECT_EQ(edit.text(), "  :  ");
}

} // namespace
} // namespace kqvdr
