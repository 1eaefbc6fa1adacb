#include "CMaskEdit.h"
#include "CNumEdit.h"
#include "CSaveMethodAsDlg.h"
#include "DialogTesting.h"
#include "ScriptedMessageBoxes.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

const QString kTitle = QStringLiteral("KQ-VDR1000 Control");

using test::button;
using test::control;
using test::showActive;

void typeOver(CMaskEdit* edit, const QString& keys) {
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClicks(edit, keys);
}

TEST(SaveMethodAsDlg, OpensWithTheEditorsMethodAndItsCaption) {
    test::ScriptedMessageBoxes boxes;
    CSaveMethodAsDlg dialog(kTitle, boxes, {false, "4", "Sugars", "HILIC\r\nAmide column"});
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("KQ- VDR 1000 Control - Save Method As"));
    EXPECT_EQ(control<CMaskEdit>(dialog, CSaveMethodAsDlg::MethodIdEdit)->text(),
              QStringLiteral("4 "));
    EXPECT_EQ(control<CNumEdit>(dialog, CSaveMethodAsDlg::MethodIdSpin)->value(), 4);
    EXPECT_EQ(control<QLineEdit>(dialog, CSaveMethodAsDlg::MethodNameEdit)->text(),
              QStringLiteral("Sugars"));
    EXPECT_EQ(
        control<QPlainTextEdit>(dialog, CSaveMethodAsDlg::MethodDescriptionEdit)->toPlainText(),
        QStringLiteral("HILIC\nAmide column"));
    EXPECT_TRUE(button(dialog, "save")->isDefault());
}

TEST(SaveMethodAsDlg, NumberOutsideOneToTenIsClampedWithItsMessageWhenTheFieldLosesFocus) {
    struct Case {
        const char* typed;
        const char* shown;
        int spinner;
        bool message;
    };
    const Case cases[] = {
        {"12", "10", 10, true}, {"0", "1 ", 1, true}, {"00", "1 ", 1, true}, {"7", "7 ", 7, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        test::ScriptedMessageBoxes boxes;
        CSaveMethodAsDlg dialog(kTitle, boxes, {false, "3", "Name", ""});
        showActive(dialog);
        auto* edit = control<CMaskEdit>(dialog, CSaveMethodAsDlg::MethodIdEdit);
        typeOver(edit, QString::fromLatin1(c.typed));
        control<QLineEdit>(dialog, CSaveMethodAsDlg::MethodNameEdit)->setFocus(Qt::TabFocusReason);

        EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(control<CNumEdit>(dialog, CSaveMethodAsDlg::MethodIdSpin)->value(), c.spinner);
        EXPECT_EQ(dialog.methodId.toInt(), c.spinner);
        ASSERT_EQ(boxes.shown.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(boxes.shown[0].text, "Method ID must be in the range 1 to 10");
            EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
            EXPECT_EQ(boxes.shown[0].caption, kTitle.toStdString());
        }
    }
}

TEST(SaveMethodAsDlg, ReturnInTheNumberFieldChecksItBeforeSaving) {
    test::ScriptedMessageBoxes boxes;
    CSaveMethodAsDlg dialog(kTitle, boxes, {false, "3", "Name", ""});
    showActive(dialog);
    auto* edit = control<CMaskEdit>(dialog, CSaveMethodAsDlg::MethodIdEdit);
    typeOver(edit, QStringLiteral("99"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible()) << "the clamped number is shown before it is saved";
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(edit->text(), QStringLiteral("10"));
    EXPECT_EQ(dialog.accepted, 0);

    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.accepted, 1);
    EXPECT_EQ(dialog.choice().methodId, "10");
}

TEST(SaveMethodAsDlg, SaveTakesTheTypedNameAndDescriptionAndCancelSavesNothing) {
    test::ScriptedMessageBoxes boxes;
    CSaveMethodAsDlg dialog(kTitle, boxes, {false, "1", "", ""});
    showActive(dialog);
    auto* name = control<QLineEdit>(dialog, CSaveMethodAsDlg::MethodNameEdit);
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("Gradient"));
    control<CNumEdit>(dialog, CSaveMethodAsDlg::MethodIdSpin)->setValue(6);
    EXPECT_EQ(name->text(), QStringLiteral("Gradient")) << "the spinner keeps typed text";
    auto* description = control<QPlainTextEdit>(dialog, CSaveMethodAsDlg::MethodDescriptionEdit);
    description->setPlainText(QStringLiteral("Water\nMethanol"));
    QTest::mouseClick(button(dialog, "save"), Qt::LeftButton);

    const SaveMethodAsChoice choice = dialog.choice();
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.methodId, "6");
    EXPECT_EQ(choice.methodName, "Gradient");
    EXPECT_EQ(choice.methodDescription, "Water\r\nMethanol");

    CSaveMethodAsDlg cancelled(kTitle, boxes, {false, "2", "", ""});
    showActive(cancelled);
    QTest::mouseClick(button(cancelled, "cancel"), Qt::LeftButton);
    EXPECT_EQ(cancelled.accepted, 0);
    EXPECT_FALSE(cancelled.choice().accepted);
}

} // namespace
} // namespace kqvdr
