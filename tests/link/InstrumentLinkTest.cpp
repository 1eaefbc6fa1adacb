#include "PollWorld.h"
#include "PortFile.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace kqvdr {
namespace {

using test::PollWorld;

using LinkWorld = PollWorld;

TEST(InstrumentLinkStartUp, PortFileChoosesThePort) {
    struct Case {
        std::string content;
        int port;
    };
    const Case cases[] = {{std::string("\x05") + "COM 3", 2},
                          {std::string("\x05") + "COM 9", 0},
                          {std::string("\x03") + "abc", 0},
                          {std::string("\x09") + "COM", 0}}; // damaged: garbage opens COM 1
    for (const auto& c : cases) {
        LinkWorld world;
        test::writeBytes(world.dir.file(kPortFile), c.content);
        EXPECT_TRUE(world.link.openLink());
        EXPECT_EQ(world.driver.openedPort, c.port);
        EXPECT_TRUE(world.person.portDialogs.empty());
        EXPECT_EQ(world.driver.calls,
                  (std::vector<std::string>{"OpenPort", "SetPortCharacteristics"}));
    }
}

TEST(InstrumentLinkStartUp, MissingPortFileAsksAndWritesTheChoice) {
    LinkWorld world;
    world.person.portChoices.push_back({true, "COM 2"});
    EXPECT_TRUE(world.link.openLink());
    EXPECT_EQ(world.driver.openedPort, 1);
    EXPECT_EQ(test::readBytes(world.dir.file(kPortFile)), std::string("\x05") + "COM 2");
}

// A port file that is no plain file: a named pipe must not hang the start, and a directory in
// its place is reported instead of the port being asked for again at every start unexplained.
TEST(InstrumentLinkStartUp, PortFileThatIsNoPlainFileIsAskedForAndAFailedWriteIsReported) {
    const struct {
        const char* kind;
        bool (*make)(const std::filesystem::path&);
        bool reported;
    } cases[] = {
#ifndef _WIN32
        {"named pipe",
         [](const std::filesystem::path& p) { return ::mkfifo(p.c_str(), 0644) == 0; }, false},
#endif
        {"directory",
         [](const std::filesystem::path& p) { return std::filesystem::create_directory(p); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        LinkWorld world;
        ASSERT_TRUE(c.make(world.dir.file(kPortFile)));
        world.person.portChoices.push_back({true, "COM 3"});
        EXPECT_TRUE(world.link.openLink());
        EXPECT_EQ(world.person.portDialogs.size(), 1u);
        EXPECT_EQ(world.driver.openedPort, 2);
        if (c.reported) {
            ASSERT_EQ(world.person.messages.size(), 1u);
            EXPECT_EQ(world.person.messages[0].text.rfind("\nThe file \"KQ-VDR 1000.ini\" cannot "
                                                          "be written in the program directory (",
                                                          0),
                      0u);
            EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Exclamation);
        } else {
            EXPECT_TRUE(world.person.messages.empty());
            EXPECT_EQ(test::readBytes(world.dir.file(kPortFile)), std::string("\x05") + "COM 3");
        }
    }
}

TEST(InstrumentLinkStartUp, MissingPortFileAndCancelEndsWithoutMessage) {
    LinkWorld world;
    EXPECT_FALSE(world.link.openLink());
    EXPECT_EQ(world.person.exitCodes, std::vector<int>{1});
    EXPECT_TRUE(world.person.messages.empty());
    EXPECT_TRUE(world.driver.calls.empty());
}

TEST(InstrumentLinkStartUp, FailedOpenGetsOneSecondChanceThenM1) {
    LinkWorld world;
    test::writeBytes(world.dir.file(kPortFile), std::string("\x05") + "COM 1");
    world.driver.openResult = -1;
    world.person.portChoices.push_back({true, "COM 4"});
    EXPECT_FALSE(world.link.openLink());
    EXPECT_EQ(world.driver.calls, (std::vector<std::string>{"OpenPort", "OpenPort"}));
    ASSERT_EQ(world.person.messages.size(), 1u);
    EXPECT_EQ(world.person.messages[0].text, InstrumentLink::kMessageM1);
    EXPECT_EQ(world.person.exitCodes, std::vector<int>{1});
    EXPECT_EQ(test::readBytes(world.dir.file(kPortFile)), std::string("\x05") + "COM 4");
}

TEST(InstrumentLinkStartUp, DeclinedSecondChanceGoesOnToTheLineSetUp) {
    LinkWorld world;
    test::writeBytes(world.dir.file(kPortFile), std::string("\x05") + "COM 1");
    world.driver.openResult = -1;
    world.driver.setupResult = -1;
    EXPECT_FALSE(world.link.openLink());
    EXPECT_EQ(world.driver.calls, (std::vector<std::string>{"OpenPort", "SetPortCharacteristics"}));
    EXPECT_EQ(world.person.messages.at(0).text, InstrumentLink::kMessageM2);
    EXPECT_EQ(world.person.messages.at(0).icon, MessageIcon::Stop);
}

TEST(InstrumentLinkStartUp, AsksForMethodsVapourAndGasResolutionInOrder) {
    LinkWorld world;
    world.link.requestInstrumentSettings();
    EXPECT_EQ(world.sentCodes(), (std::vector<int>{30, 33, 35}));
    EXPECT_TRUE(world.state.notCapable);
}

TEST(InstrumentLinkCommands, ModeIsSentOnlyWhenItDiffersFromTheReportedMode) {
    LinkWorld world;
    world.state.parameters[ParameterIndex::OperatingMode].measured = 1;
    world.link.requestMode(1);
    EXPECT_TRUE(world.driver.written.empty());
    world.state.editorOpen = true;
    world.link.requestMode(3);
    ASSERT_EQ(world.driver.written.size(), 1u);
    EXPECT_EQ(world.driver.written[0], "\x02"
                                       "00000323"
                                       "\x03");
    EXPECT_FALSE(world.state.editorOpen);
    EXPECT_EQ(world.state.mode(), 1) << "the panel follows only the instrument";
}

TEST(InstrumentLinkCommands, AutozeroIsRefusedInStandbyAndWhileBusy) {
    struct Case {
        int mode;
        bool busy;
        const char* message;
    };
    const Case cases[] = {{0, true, "Cannot Autozero when the KQ- VDR 1000 is in Standby mode."},
                          {1, true, "Cannot Autozero while the KQ- VDR 1000 is busy."},
                          {1, false, nullptr}};
    for (const auto& c : cases) {
        LinkWorld world;
        world.state.parameters[ParameterIndex::OperatingMode].measured = c.mode;
        world.state.busyFlag = c.busy;
        world.link.autozero();
        if (c.message) {
            ASSERT_EQ(world.person.messages.size(), 1u);
            EXPECT_EQ(world.person.messages[0].text, c.message);
            EXPECT_TRUE(world.driver.written.empty());
        } else {
            EXPECT_EQ(world.sentCodes(), std::vector<int>{8});
        }
    }
}

TEST(InstrumentLinkCommands, HeaterButtonFollowsTheLamp) {
    LinkWorld world;
    world.link.toggleTransferLineHeater();
    world.panel.lamps[Lamp::TransferLine] = true;
    world.link.toggleTransferLineHeater();
    EXPECT_EQ(world.sentCodes(), (std::vector<int>{14, 15}));
}

TEST(InstrumentLinkCommands, ARemoteModeIsDecidedFromTheModeLastCommanded) {
    LinkWorld world;
    world.state.parameters[ParameterIndex::OperatingMode].measured = 1; // reported: Run
    world.link.commandMode(0);
    world.link.commandMode(1); // before the instrument has reported Standby
    world.link.commandMode(1);
    EXPECT_EQ(world.sentCodes(), (std::vector<int>{0, 0}));
    EXPECT_EQ(world.state.expectedMode(), 1);
}

// A remote client names the state it wants; a lamp that has not caught up with an earlier
// command must not swallow the next one.
TEST(InstrumentLinkCommands, AnExplicitHeaterStateIsSentWhateverTheLampShows) {
    LinkWorld world;
    world.link.setTransferLineHeater(true);
    world.link.setTransferLineHeater(false);
    world.panel.lamps[Lamp::TransferLine] = true;
    world.link.setTransferLineHeater(true);
    EXPECT_EQ(world.sentCodes(), (std::vector<int>{14, 15, 14}));
}

TEST(InstrumentLinkCommands, DeviceIdentificationGoesToAddressZeroAndChangesNothingLocally) {
    LinkWorld world;
    world.state.parameters[ParameterIndex::DeviceId].measured = 9;
    world.person.deviceIdChoice = {true, 12};
    world.link.changeDeviceIdentification();
    ASSERT_EQ(world.driver.written.size(), 2u);
    EXPECT_EQ(world.driver.written[0].substr(1, 6), "00070C");
    EXPECT_EQ(world.driver.written[1].substr(1, 4), "0018");
    EXPECT_EQ(world.state.deviceId(), 9);
}

TEST(InstrumentLinkCommands, VapourDialogGetsTenAndNotCapableWithoutAnAnswer) {
    LinkWorld world;
    world.link.requestInstrumentSettings();
    world.driver.written.clear();
    world.person.vapourChoice = {true, 4};
    world.link.setVapourSensor();
    EXPECT_EQ(world.person.vapourDialogs.at(0), (std::pair<int, bool>{10, true}));
    EXPECT_EQ(world.driver.written.at(0).substr(1, 6), "002204");
}

TEST(InstrumentLinkCommands, PortChangeClosesReopensAndAsksForTheGasResolution) {
    LinkWorld world;
    world.state.activePortIndex = 2;
    world.person.portChoices.push_back({true, "COM 7"}); // not a port: keep COM 3
    world.link.communicationSettings();
    EXPECT_EQ(world.person.portDialogs, std::vector<int>{2});
    EXPECT_EQ(world.driver.calls,
              (std::vector<std::string>{"ClosePort", "OpenPort", "SetPortCharacteristics"}));
    EXPECT_EQ(world.driver.openedPort, 2);
    EXPECT_EQ(world.sentCodes(), std::vector<int>{35});
}

TEST(InstrumentLinkCommands, PortChangeFailuresEndTheProgramWithTheirMessage) {
    struct Case {
        int close, open, setup;
        const char* message;
    };
    const Case cases[] = {{-1, 0, 0, "\nError Cannot Un-Initialising Communications Port."},
                          {0, -1, 0, InstrumentLink::kMessageM3},
                          {0, 0, -1, InstrumentLink::kMessageM4}};
    for (const auto& c : cases) {
        LinkWorld world;
        world.driver.closeResult = c.close;
        world.driver.openResult = c.open;
        world.driver.setupResult = c.setup;
        world.person.portChoices.push_back({true, "COM 1"});
        world.link.communicationSettings();
        EXPECT_EQ(world.person.messages.at(0).text, c.message);
        EXPECT_EQ(world.person.exitCodes, std::vector<int>{1});
        EXPECT_TRUE(world.driver.written.empty());
    }
}

} // namespace
} // namespace kqvdr
