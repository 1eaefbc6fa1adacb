#include "AppResources.h"
#include "AppTexts.h"
#include "CAboutDlg.h"
#include "CSplashDlg.h"
#include "MenuCommands.h"
#include "ScriptedMessageBoxes.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(AboutDlg, CaptionFollowsTheTitleAndTheVersionLineIsExact) {
    for (const char* title : {"KQ VDR 1000 Control", "KQ-VDR1000 Control", "KQ-VDR1000µ Control"}) {
        const CAboutDlg about(QString::fromUtf8(title));
        EXPECT_EQ(about.windowTitle(), QStringLiteral("About ") + QString::fromUtf8(title));
        const auto* version = about.findChild<QLabel*>(QStringLiteral("versionLabel"));
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(version->text(), QStringLiteral("KQ-VDR1000 Control Version 4.10"));
        const auto* copyright = about.findChild<QLabel*>(QStringLiteral("copyrightLabel"));
        ASSERT_NE(copyright, nullptr);
        EXPECT_TRUE(copyright->text().startsWith(QStringLiteral("Copyright \u00A9 ")));
        const auto* icon = about.findChild<QLabel*>(QStringLiteral("iconLabel"));
        ASSERT_NE(icon, nullptr);
        EXPECT_FALSE(icon->pixmap().isNull());
        const QList<QPushButton*> buttons = about.findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 1);
        EXPECT_EQ(buttons[0]->text().remove(QLatin1Char('&')), QStringLiteral("OK"));
    }
}

TEST(SplashDlg, IsBorderlessAndClosesItselfWithResultOneAfterItsPeriod) {
    test::ScriptedMessageBoxes boxes;
    CSplashDlg splash(boxes, QStringLiteral("KQ VDR 1000 Control"));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(splash.exec(), 1);
    EXPECT_GE(clock.elapsed(), 1450);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(boxes.shown.empty());
}

class SplashWithoutTimer : public CSplashDlg {
public:
    using CSplashDlg::CSplashDlg;

protected:
    int startCloseTimer(int) override { return 0; }
};

TEST(SplashDlg, ReportsATimerThatCannotStartAndDoesNotHang) {
    test::ScriptedMessageBoxes boxes;
    SplashWithoutTimer splash(boxes, QStringLiteral("KQ VDR 1000 Control"));
    splash.exec();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, "Cannot install Splash Timer");
}

// A picture that fails to load renders fully transparent.
bool hasVisiblePixels(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                return true;
            }
        }
    }
    return false;
}

TEST(AppResources, EveryIconAndPictureIsCompiledInAndDraws) {
    std::vector<QString> resources{appIconResource, splashResource};
    for (const CommandInfo& info : allCommands()) {
        if (!info.icon.empty()) {
            resources.push_back(
                QString::fromUtf8(info.icon.data(), static_cast<qsizetype>(info.icon.size())));
        }
    }
    for (const QString& resource : resources) {
        EXPECT_TRUE(hasVisiblePixels(svgPixmap(resource, QSize(24, 24)))) << resource.toStdString();
    }
}

} // namespace
} // namespace kqvdr
