#include "PanelLock.h"

#include "CKQVDR1000ControlApp.h"
#include "CMainFrame.h"
#include "ControlSession.h"
#include "ScriptedMessageBoxes.h"
#include "SessionWiring.h"
#include "TemporaryDirectory.h"
#include "ViewControl.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

// The main window as the program wires it, with the panel lock in place.
struct LockedPanel {
    test::TemporaryDirectory dir;
    CKQVDR1000ControlApp app{CommandLine{}, dir.path().string()};
    test::ScriptedMessageBoxes messages;
    CMainFrame frame{app, messages};
    PanelLock lock{messages, [this] { return app.title(); }, &frame};
    std::unique_ptr<ControlSession> session;

    LockedPanel() {
        session = std::make_unique<ControlSession>(
            ControlSession::Settings{dir.path(), std::nullopt}, messages,
            [this] { return app.title(); }, &frame);
        lock.showIn(frame.statusBar());
        wireControlSession(*session, frame, messages, &lock);
        frame.show();
        QApplication::processEvents();
    }

    QWidget* control(int id) const {
        return frame.formWidget()->findChild<QWidget*>(QString::number(id));
    }

    // How many of the message boxes shown were the lock's refusal.
    int refusals() const {
        int count = 0;
        for (const MessageRequest& shown : messages.shown) {
            if (shown.text.find("has locked the instrument") != std::string::npos) {
                ++count;
            }
        }
        return count;
    }
};

TEST(PanelLock, WhileAClientHoldsTheLockTheStatusBarNamesItAndSaysNothingOtherwise) {
    LockedPanel panel;
    auto* label = panel.frame.statusBar()->findChild<QLabel*>(QStringLiteral("remoteLock"));
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->isVisible());
    panel.lock.setHolder("alice@10.0.0.7");
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), QStringLiteral("Locked by remote control (alice@10.0.0.7)"));
    panel.lock.setHolder("10.0.0.9");
    EXPECT_EQ(label->text(), QStringLiteral("Locked by remote control (10.0.0.9)"));
    panel.lock.setHolder(std::nullopt);
    EXPECT_FALSE(label->isVisible());
}

TEST(PanelLock, RefusesThePanelsModeMethodAndTestActionsWithAMessageWhileLocked) {
    LockedPanel panel;
    panel.lock.setHolder("alice@10.0.0.7");
    const struct {
        const char* what;
        std::function<void()> attempt;
    } attempts[] = {
        {"Standby", [&] { QTest::mouseClick(panel.control(StandbyButton), Qt::LeftButton); }},
        {"Run", [&] { QTest::mouseClick(panel.control(RunButton), Qt::LeftButton); }},
        {"Sleep", [&] { QTest::mouseClick(panel.control(SleepButton), Qt::LeftButton); }},
        {"Sleep by keyboard", [&] { QTest::keyClick(panel.control(SleepButton), Qt::Key_Space); }},
        {"Autozero", [&] { QTest::mouseClick(panel.control(AutozeroButton), Qt::LeftButton); }},
        {"Heater", [&] { QTest::mouseClick(panel.control(HeaterButton), Qt::LeftButton); }},
        {"Load / Edit Method",
         [&] { QTest::mouseClick(panel.control(LoadEditMethodButton), Qt::LeftButton); }},
        {"mode menu of the form",
         [&] {
             QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
             QApplication::sendEvent(panel.frame.formWidget(), &event);
         }},
        {"Automation", [&] { panel.frame.action(CommandId::Automation)->trigger(); }},
        {"Run System Test", [&] { panel.frame.action(CommandId::RunSystemTest)->trigger(); }},
        {"Load Methods", [&] { panel.frame.action(CommandId::LoadMethods)->trigger(); }},
        {"Reset Factory Settings",
         [&] { panel.frame.action(CommandId::ResetFactorySettings)->trigger(); }},
        {"Device Identification",
         [&] { panel.frame.action(CommandId::DeviceIdentification)->trigger(); }},
    };
    for (const auto& attempt : attempts) {
        const std::size_t before = panel.messages.shown.size();
        const int refusedBefore = panel.refusals();
        attempt.attempt();
        QApplication::processEvents();
        // Exactly the refusal: nothing the action itself would have asked or opened.
        EXPECT_EQ(panel.messages.shown.size(), before + 1) << attempt.what;
        EXPECT_EQ(panel.refusals(), refusedBefore + 1) << attempt.what;
    }
    ASSERT_FALSE(panel.messages.shown.empty());
    EXPECT_NE(panel.messages.shown.back().text.find("Remote control (alice@10.0.0.7)"),
              std::string::npos);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(window != &panel.frame && window->isVisible())
            << window->windowTitle().toStdString() << " opened although the panel is locked";
    }
}

TEST(PanelLock, LetsThePanelActAgainOnceTheLockEndsAndNeverRefusesTheFormsBackground) {
    LockedPanel panel;
    panel.lock.setHolder("alice@10.0.0.7");
    QTest::mouseClick(panel.frame.formWidget(), Qt::LeftButton);
    EXPECT_EQ(panel.refusals(), 0);
    QTest::mouseClick(panel.control(StandbyButton), Qt::LeftButton);
    ASSERT_EQ(panel.refusals(), 1);
    // Pressed before the lock came, released after: no click, and the button comes back up.
    panel.lock.setHolder(std::nullopt);
    auto* run = qobject_cast<QAbstractButton*>(panel.control(RunButton));
    ASSERT_NE(run, nullptr);
    int clicks = 0;
    QObject::connect(run, &QAbstractButton::clicked, [&clicks] { ++clicks; });
    QTest::mousePress(run, Qt::LeftButton);
    ASSERT_TRUE(run->isDown());
    panel.lock.setHolder("alice@10.0.0.7");
    QTest::mouseRelease(run, Qt::LeftButton);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(run->isDown());
    panel.lock.setHolder(std::nullopt);
    QTest::mouseClick(panel.control(StandbyButton), Qt::LeftButton);
    EXPECT_EQ(panel.refusals(), 1);
    EXPECT_FALSE(panel.lock.refuses());
}

} // namespace
} // namespace kqvdr
