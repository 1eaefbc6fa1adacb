#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include "MessageBoxes.h"

namespace kqvdr {
namespace {

// Answers the message box that is about to open by pressing one of its buttons.
void pressWhenShown(QMessageBox::StandardButton button, QString* seenText) {
    QTimer::singleShot(0, [button, seenText] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        *seenText = box->text();
        box->button(button)->click();
    });
}

TEST(QtMessageBoxes, YesNoReportsTheButtonPressedAndKeepsTheTextAsGiven) {
    QtMessageBoxes boxes;
    QString seen;
    pressWhenShown(QMessageBox::No, &seen);
    const auto answer = boxes.show(nullptr, {"KQ-VDR1000 Control", "\nAre you sure?\n",
                                             MessageIcon::Question, MessageButtons::YesNo});
    EXPECT_EQ(answer, MessageAnswer::No);
    EXPECT_EQ(seen, QStringLiteral("\nAre you sure?\n"));
}

} // namespace
} // namespace kqvdr
