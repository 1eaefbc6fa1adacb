#include "AppTexts.h"

#include "CKQVDR1000ControlApp.h"
#include "CurrentSettings.h"
#include "ProgramDir.h"

#include <QSignalSpy>
#include <filesystem>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

struct ProgramDirCase {
    std::optional<std::string> dirOption;
    std::string executableDir;
    std::string expected;
};

TEST(AppProgramDir, DirOptionWinsOverTheExecutableDirAndAlwaysEndsInOneSeparator) {
    const std::string cwd = std::filesystem::current_path().generic_string();
    const std::vector<ProgramDirCase> cases{
        {std::nullopt, "/opt/kq/bin", "/opt/kq/bin/"},
        {std::nullopt, "/opt/kq/bin/", "/opt/kq/bin/"},
        {"/data/lab", "/opt/kq/bin", "/data/lab/"},
        {"/data/./lab/../lab/", "/opt/kq/bin", "/data/lab/"},
        {"", "/opt/kq/bin", "/opt/kq/bin/"},
        {"lab", "/opt/kq/bin", cwd + "/lab/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(resolveProgramDir(c.dirOption, c.executableDir), c.expected)
            << c.dirOption.value_or("(none)") << " / " << c.executableDir;
    }
}

TEST(AppProgramDir, ApplicationObjectTakesItsDirectoryFromTheCommandLine) {
    CommandLine line;
    line.programDir = "/srv/vdr";
    const CKQVDR1000ControlApp app(line, "/usr/bin");
    EXPECT_EQ(app.programDir(), "/srv/vdr/");
    EXPECT_EQ(app.dataFilePath("Auto.seq"), "/srv/vdr/Auto.seq");
}

TEST(AppTitle, StartsWithTheStartupTitleAndAnnouncesEachRealChangeOnce) {
    CKQVDR1000ControlApp app(CommandLine{}, "/usr/bin");
    EXPECT_EQ(app.title(), QStringLiteral("KQ VDR 1000 Control"));
    QSignalSpy spy(&app, &CKQVDR1000ControlApp::titleChanged);
    app.setTitle(QString::fromStdString(titleForGasRange(true)));
    app.setTitle(QString::fromStdString(titleForGasRange(true)));
    app.setTitle(QString::fromStdString(titleForGasRange(false)));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("KQ-VDR1000\u00B5 Control"));
    EXPECT_EQ(spy.at(1).at(0).toString(), QStringLiteral("KQ-VDR1000 Control"));
}

struct SettingsCase {
    std::string title;
    CurrentSettings settings;
    std::string expected;
};

TEST(CurrentSettings, MessageTextMatchesByteForByte) {
    const std::vector<SettingsCase> cases{
        {"KQ-VDR1000 Control",
         {"COM 3", 127},
         "KQ-VDR1000 Control Software is currently using the following settings :-\n\n\n"
         "Communications Port    -    COM 3\n\n"
         "Device Identification     -    127"},
        {"KQ VDR 1000 Control",
         {"COM 1", 0},
         "KQ VDR 1000 Control Software is currently using the following settings :-\n\n\n"
         "Communications Port    -    COM 1\n\n"
         "Device Identification     -    0"},
        {"KQ-VDR1000 Control",
         {"COM 12", 5},
         "KQ-VDR1000 Control Software is currently using the following settings :-\n\n\n"
         "Communications Port    -    COM 12\n\n"
         "Device Identification     -    5"},
        {"KQ-VDR1000 Control",
         {"/dev/ttyUSB0", 5},
         "KQ-VDR1000 Control Software is currently using the following settings :-\n\n\n"
         "Communications Port    -    /dev/ttyUSB0\n\n"
         "Device Identification     -    5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(currentSettingsText(c.title, c.settings), c.expected);
        const MessageRequest request = currentSettingsMessage(c.title, c.settings);
        EXPECT_EQ(request.text, c.expected);
        EXPECT_EQ(request.caption, c.title);
        EXPECT_EQ(request.icon, MessageIcon::Information);
        EXPECT_EQ(request.buttons, MessageButtons::Ok);
    }
}

} // namespace
} // namespace kqvdr
