#include "CRemoteControlDlg.h"

#include <QLabel>
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

} // namespace
} // namespace kqvdr
