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

// "COM 1" to "COM 4" are read as they always were; other ports are their own text.
TEST(InstrumentLinkStartUp, PortFileChoosesThePort) {
    const std::pair<std::string, const char*> cases[] = {
        {std::string("\x05") + "COM 3", "COM 3"},
        {std::string("\x05") + "COM 9", "COM 9"},
        {std::string("\x06") + "COM 12", "COM 12"},
#ifndef _WIN32
        {std::string("\x0c") + "/dev/ttyUSB0", "/dev/ttyUSB0"},
#endif
    };
    for (const auto& [content, port] : cases) {
        SCOPED_TRACE(port);
        LinkWorld world;
        test::writeBytes(world.dir.file(kPortFile), content);
        EXPECT_TRUE(world.link.openLink());
        EXPECT_EQ(world.driver.openedPort, port);
        EXPECT_EQ(world.state.activePort, port);
        EXPECT_TRUE(world.person.portDialogs.empty());
        EXPECT_TRUE(world.person.messages.empty());
        EXPECT_EQ(world.driver.calls,
                  (std::vector<std::string>{"OpenPort", "SetPortCharacteristics"}));
    }
}

// A damaged file, or one naming no port, is said and the port asked for; a Cancel goes on with
// the first port, as such a file always meant, and ends nothing.
TEST(InstrumentLinkStartUp, DamagedPortFileIsReportedAndThePortAskedFor) {
    const std::string contents[] = {std::string("\x03") + "abc", std::string("\x09") + "COM",
                                    std::string("\x05") + "COM 0", std::string("\x06") + "COM 1x",
                                    ""};
    for (const std::string& content : contents) {
        for (const bool accepted : {true, false}) {
            SCOPED_TRACE(content + (accepted ? " accepted" : " cancelled"));
            LinkWorld world;
            test::writeBytes(world.dir.file(kPortFile), content);
            if (accepted) {
                world.person.portChoices.push_back({true, "COM 12"});
            }
            EXPECT_TRUE(world.link.openLink());
            ASSERT_EQ(world.person.messages.size(), 1u);
            EXPECT_EQ(world.person.messages[0].text.rfind(
                          "\nThe file \"KQ-VDR 1000.ini\", which keeps the communications port, is "
                          "damaged",
                          0),
                      0u);
            EXPECT_EQ(world.person.portDialogs, std::vector<std::string>{"COM 1"});
            EXPECT_EQ(world.driver.openedPort, accepted ? "COM 12" : "COM 1");
            EXPECT_TRUE(world.person.exitCodes.empty());
            EXPECT_EQ(test::readBytes(world.dir.file(kPortFile)),
                      accepted ? std::string("\x06") + "COM 12" : content);
        }
    }
}

TEST(InstrumentLinkStartUp, MissingPortFileAsksAndWritesTheChoice) {
    const std::pair<const char*, std::string> cases[] = {
        {"COM 2", std::string("\x05") + "COM 2"},
        {"COM 12", std::string("\x06") + "COM 12"},
#ifndef _WIN32
        {"/dev/serial/by-id/usb-X-if00", std::string("\x1c") + "/dev/serial/by-id/usb-X-if00"},
#endif
    };
    for (const auto& [port, bytes] : cases) {
        SCOPED_TRACE(port);
        LinkWorld world;
        world.person.portChoices.push_back({true, port});
        EXPECT_TRUE(world.link.openLink());
        EXPECT_EQ(world.person.portDialogs, std::vector<std::string>{"COM 1"});
        EXPECT_EQ(world.driver.openedPort, port);
        EXPECT_EQ(test::readBytes(world.dir.file(kPortFile)), bytes);
    }
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
        EXPECT_EQ(world.driver.openedPort, "COM 3");
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

// An adapter that is not plugged in: each failed open says why and asks again, until a port
// opens; nothing ends the program.
TEST(InstrumentLinkStartUp, PortThatCannotBeOpenedIsReportedAndAskedForUntilOneOpens) {
    LinkWorld world;
    test::writeBytes(world.dir.file(kPortFile), std::string("\x05") + "COM 7");
    world.driver.openResults = {kPortNotPresent, kPortInUse, 0};
    world.person.portChoices.push_back({true, "COM 8"});
    world.person.portChoices.push_back({true, "COM 9"});
    EXPECT_TRUE(world.link.openLink());
    EXPECT_EQ(world.driver.openAttempts, (std::vector<std::string>{"COM 7", "COM 8", "COM 9"}));
    EXPECT_EQ(world.person.portDialogs, (std::vector<std::string>{"COM 7", "COM 8"}));
    EXPECT_EQ(world.person.messageTexts(),
              (std::vector<std::string>{
                  "\nThe communications port COM 7 cannot be opened.\n\nIt is not present on this "
                  "computer. A USB adapter may be unplugged: plug it in, and the port is opened as "
                  "soon as it appears.\n\nChoose the port again, or Cancel to go on waiting for "
                  "this one.\n ",
                  "\nThe communications port COM 8 cannot be opened.\n\nAnother program is using "
                  "it.\n\nChoose the port again, or Cancel to go on waiting for this one.\n "}));
    EXPECT_EQ(world.person.messages.at(0).icon, MessageIcon::Exclamation);
    EXPECT_EQ(world.driver.calls.back(), "SetPortCharacteristics");
    EXPECT_EQ(world.state.activePort, "COM 9");
    EXPECT_EQ(test::readBytes(world.dir.file(kPortFile)), std::string("\x05") + "COM 9");
    EXPECT_TRUE(world.person.exitCodes.empty());
}

// Cancel leaves the port chosen for the driver to keep trying; the line is set up when it
// opens, so there is nothing to set up now.
TEST(InstrumentLinkStartUp, CancelAfterAFailedOpenGoesOnWithoutEnding) {
    LinkWorld world;
    test::writeBytes(world.dir.file(kPortFile), std::string("\x05") + "COM 1");
    world.driver.openResult = kPortNotSerial;
    EXPECT_TRUE(world.link.openLink());
    EXPECT_EQ(world.driver.calls, std::vector<std::string>{"OpenPort"});
    EXPECT_EQ(world.person.messages.size(), 1u);
    EXPECT_NE(world.person.messages[0].text.find("It is not a serial port."), std::string::npos);
    EXPECT_TRUE(world.person.exitCodes.empty());
    EXPECT_EQ(world.state.activePort, "COM 1");
}

TEST(InstrumentLinkStartUp, FailedLineSetUpEndsWithM2) {
    LinkWorld world;
    test::writeBytes(world.dir.file(kPortFile), std::string("\x05") + "COM 1");
    world.driver.setupResult = -1;
    EXPECT_FALSE(world.link.openLink());
    EXPECT_EQ(world.person.messages.at(0).text, InstrumentLink::kMessageM2);
    EXPECT_EQ(world.person.messages.at(0).icon, MessageIcon::Stop);
    EXPECT_EQ(world.person.exitCodes, std::vector<int>{1});
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
    world.state.activePort = "COM 3";
    world.person.portChoices.push_back({true, "COM 12"});
    world.link.communicationSettings();
    EXPECT_EQ(world.person.portDialogs, std::vector<std::string>{"COM 3"});
    EXPECT_EQ(world.driver.calls,
              (std::vector<std::string>{"ClosePort", "OpenPort", "SetPortCharacteristics"}));
    EXPECT_EQ(world.driver.openedPort, "COM 12");
    EXPECT_EQ(test::readBytes(world.dir.file(kPortFile)), std::string("\x06") + "COM 12");
    EXPECT_EQ(world.sentCodes(), std::vector<int>{35});
}

TEST(InstrumentLinkCommands, PortChangeFailuresOfCloseAndLineSetUpEndTheProgram) {
    struct Case {
        int close, setup;
        const char* message;
    };
    const Case cases[] = {{-1, 0, "\nError Cannot Un-Initialising Communications Port."},
                          {0, -1, InstrumentLink::kMessageM4}};
    for (const auto& c : cases) {
        LinkWorld world;
        world.driver.closeResult = c.close;
        world.driver.setupResult = c.setup;
        world.person.portChoices.push_back({true, "COM 1"});
        world.link.communicationSettings();
        EXPECT_EQ(world.person.messages.at(0).text, c.message);
        EXPECT_EQ(world.person.exitCodes, std::vector<int>{1});
        EXPECT_TRUE(world.driver.written.empty());
    }
}

// Connect pressed while the adapter is still out: the message, then the dialog again; a
// Cancel there leaves the program running, waiting for the port.
TEST(InstrumentLinkCommands, ConnectWhileTheAdapterIsMissingSaysSoAndAsksAgain) {
    for (const bool thenPlugged : {true, false}) {
        SCOPED_TRACE(thenPlugged);
        LinkWorld world;
        world.driver.openResults = {kPortNotPresent};
        world.person.portChoices.push_back({true, "COM 7"});
        if (thenPlugged) {
            world.person.portChoices.push_back({true, "COM 7"});
        }
        world.link.communicationSettings();
        EXPECT_EQ(world.person.portDialogs, (std::vector<std::string>{"COM 1", "COM 7"}));
        ASSERT_EQ(world.person.messages.size(), 1u);
        EXPECT_EQ(world.person.messages[0].text.rfind(
                      "\nThe communications port COM 7 cannot be opened.", 0),
                  0u);
        EXPECT_TRUE(world.person.exitCodes.empty());
        EXPECT_EQ(world.state.activePort, "COM 7");
        EXPECT_EQ(world.sentCodes(), thenPlugged ? std::vector<int>{35} : std::vector<int>{});
    }
}

} // namespace
} // namespace kqvdr
