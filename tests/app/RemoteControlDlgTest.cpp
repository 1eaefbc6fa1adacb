#include "CRemoteControlDlg.h"
#include "ScriptedMessageBoxes.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(RemoteControlDlg, ShowsTheServersRowsAsTextAndFollowsThemWhileOpen) {
    CRemoteControlDlg::Rows rows{{"State", "serving"}, {"Address", "127.0.0.1:50052"}};
    CRemoteControlDlg dialog(QStringLiteral("KQ-VDR1000 Control"), [&rows] { return rows; });
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("KQ-VDR1000 Control - Remote control (SiLA 2)"));
    auto* status = dialog.findChild<QLabel*>(QStringLiteral("status"));
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->text().contains(QStringLiteral("127.0.0.1:50052")));

    // A server name is the client's to choose: markup in it is shown, never obeyed.
    rows = {{"State", "serving"}, {"Server name", "<b>Bench</b> & 3"}};
    EXPECT_TRUE(QTest::qWaitFor([&] { return status->text().contains("&lt;b&gt;Bench"); }, 3000));
    EXPECT_FALSE(status->text().contains(QStringLiteral("<b>Bench")));
    EXPECT_EQ(dialog.text(), QStringLiteral("State: serving\nServer name: <b>Bench</b> & 3\n"));
}

TEST(RemoteControlDlg, ReleasesAClientsLockOnlyAfterThePersonConfirms) {
    std::optional<std::string> holder = "alice@10.0.0.7";
    int releases = 0;
    test::ScriptedMessageBoxes messages;
    CRemoteControlDlg dialog(QStringLiteral("KQ-VDR1000 Control"), [] {
        return CRemoteControlDlg::Rows{{"State", "serving"}};
    });
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    auto* release = dialog.findChild<QPushButton*>(QStringLiteral("releaseLock"));
    ASSERT_NE(release, nullptr);
    dialog.show();
    EXPECT_FALSE(release->isVisible()) << "no lock to release before one is offered";
    dialog.offerLockRelease({[&] { return holder; },
                             [&] {
                                 ++releases;
                                 holder.reset();
                                 return true;
                             }},
                            messages);
    ASSERT_TRUE(release->isVisible());

    messages.answers = {MessageAnswer::No};
    release->click();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_NE(messages.shown[0].text.find("(alice@10.0.0.7)"), std::string::npos);
    EXPECT_EQ(releases, 0);
    EXPECT_TRUE(release->isVisible());

    release->click();
    EXPECT_EQ(releases, 1);
    EXPECT_FALSE(release->isVisible()) << "nothing left to release";
}

} // namespace
} // namespace kqvdr
