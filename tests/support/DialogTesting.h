#pragma once

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kqvdr::test {

// Widgets carry their control number as object name.
template <typename T> T* control(QWidget& dialog, int id) {
    auto* widget = dialog.findChild<T*>(QString::number(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
}

inline QPushButton* button(QWidget& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
}

// Shows a dialog modelessly and waits until it has the focus, so that focus-loss checks fire.
inline void showActive(QDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

} // namespace kqvdr::test
