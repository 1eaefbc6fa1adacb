#include "CKQVDR1000ControlApp.h"
#include "CMainFrame.h"
#include "ControlSession.h"
#include "ScriptedMessageBoxes.h"
#include "SessionWiring.h"
#include "TemporaryDirectory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

// 1366 x 768 at 125 % is 1093 x 614 of the program's pixels; a Windows taskbar takes 40 of them
// and a fixed window's caption and borders these.
const QRect kLaptop(0, 0, 1093, 574);
const QMargins kWindowsFrame(8, 31, 8, 8);

// The main window with the real control view in it, as the program shows it.
struct FrameWorld {
    test::TemporaryDirectory dir;
    CKQVDR1000ControlApp app{CommandLine{}, dir.path().string()};
    test::ScriptedMessageBoxes messages;
    CMainFrame frame{app, messages};
    std::unique_ptr<ControlSession> session;

    FrameWorld() {
        session = std::make_unique<ControlSession>(
            ControlSession::Settings{dir.path(), std::nullopt}, messages,
            [this] { return app.title(); }, &frame);
        wireControlSession(*session, frame, messages);
        frame.show();
        QApplication::processEvents();
    }
};

// The controls a person works with: buttons, fields, and the painted instruments (leaves).
std::vector<QWidget*> controlsOf(QWidget* form) {
    std::vector<QWidget*> out;
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        const bool leaf = widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty();
        if (widget->isVisibleTo(form) &&
            (leaf || qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget))) {
            out.push_back(widget);
        }
    }
    return out;
}

TEST(MainFrameFit, OnA1366By768ScreenAt125PercentTheWindowFitsAndEveryControlCanBeScrolledTo) {
    FrameWorld world;
    CMainFrame& frame = world.frame;
    frame.fitInto(kLaptop, kWindowsFrame);
    QApplication::processEvents();

    const QRect outer = frame.geometry().marginsAdded(kWindowsFrame);
    EXPECT_LE(outer.width(), kLaptop.width());
    EXPECT_LE(outer.height(), kLaptop.height());

    QScrollArea* area = frame.formArea();
    EXPECT_TRUE(area->verticalScrollBar()->isVisible());
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible()) << "the scroll bar is beside the form";
    EXPECT_EQ(frame.formWidget()->width(), 800);

    QWidget* form = frame.formWidget();
    ASSERT_EQ(form->parentWidget(), area->viewport());
    const std::vector<QWidget*> controls = controlsOf(form);
    ASSERT_GT(controls.size(), 20u);
    for (QWidget* control : controls) {
        area->ensureWidgetVisible(control, 0, 0);
        const QRect shown(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
        EXPECT_TRUE(area->viewport()->rect().contains(shown))
            << control->metaObject()->className() << " " << control->objectName().toStdString()
            << " at " << shown.y() << ".." << shown.bottom() << " in "
            << area->viewport()->height();
    }
}

// A screen with room for the window: the fixed size, and the form fills it as it always has.
TEST(MainFrameFit, WhereTheFixedSizeFitsNothingScrolls) {
    FrameWorld world;
    CMainFrame& frame = world.frame;
    for (const QRect& available : {QRect(0, 0, 1920, 1040), QRect(0, 0, 1366, 728)}) {
        frame.fitInto(available, kWindowsFrame);
        QApplication::processEvents();
        EXPECT_EQ(frame.size(), CMainFrame::fixedSize);
        EXPECT_EQ(frame.minimumSize(), CMainFrame::fixedSize);
        EXPECT_EQ(frame.maximumSize(), CMainFrame::fixedSize);
        QScrollArea* area = frame.formArea();
        EXPECT_FALSE(area->verticalScrollBar()->isVisible());
        EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
        EXPECT_EQ(frame.formWidget()->size(), area->size());
    }
}

// Shrunk where it stood, the window moves up so its bottom stays on the screen.
TEST(MainFrameFit, AWindowShrunkNearTheBottomKeepsItsTitleBarAndBottomOnTheScreen) {
    FrameWorld world;
    CMainFrame& frame = world.frame;
    frame.move(100, 300);
    QApplication::processEvents();
    frame.fitInto(kLaptop, kWindowsFrame);
    QApplication::processEvents();
    const QRect outer(frame.pos(), frame.size().grownBy(kWindowsFrame));
    EXPECT_TRUE(kLaptop.contains(outer)) << outer.y() << ".." << outer.bottom();
}

} // namespace
} // namespace kqvdr
