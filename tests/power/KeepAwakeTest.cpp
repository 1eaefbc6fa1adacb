#include "KeepAwake.h"

#include "RecordingSleepInhibitor.h"
#include "TickHandoffs.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kqvdr::test {
namespace {

class SwitchedLog final : public OperationalLogChannel {
public:
    bool active = false;
    bool loggingActive() const override { return active; }
    void writeLineNow() override {}
    void stopLogging(const std::string&) override { active = false; }
    void tick() override {}
};

class SwitchedRunner final : public TickRunner {
public:
    bool active = false;
    bool running() const override { return active; }
    void tick() override {}
};

// One moment of the program: the link, and what runs.
struct Moment {
    bool link;
    bool log;
    bool automation;
    bool systemTest;
};

struct Story {
    const char* name;
    std::vector<Moment> moments;
    std::vector<bool> calls; // true for a hold
};

// Named in test listings by its name alone.
void PrintTo(const Story& c, std::ostream* out) {
    *out << c.name;
}

class KeepAwakeStory : public testing::TestWithParam<Story> {};

TEST_P(KeepAwakeStory, HoldsOnceWhileAnythingRunsOnTheOpenLinkAndReleasesWhenTheLastEnds) {
    SwitchedLog log;
    SwitchedRunner automation;
    SwitchedRunner systemTest;
    RecordingSleepInhibitor inhibitor;
    KeepAwake keepAwake({log, automation, systemTest}, inhibitor);
    bool linkOpen = false;
    for (const Moment& moment : GetParam().moments) {
        log.active = moment.log;
        automation.active = moment.automation;
        systemTest.active = moment.systemTest;
        if (moment.link && !linkOpen) {
            keepAwake.linkOpened();
        } else if (!moment.link && linkOpen) {
            keepAwake.linkClosed();
        }
        linkOpen = moment.link;
        keepAwake.tick();
        keepAwake.tick(); // a tick that changes nothing asks for nothing
    }
    EXPECT_EQ(inhibitor.calls, GetParam().calls);
}

const Story kStories[] = {
    {"NothingRunsNothingHeld", {{true, false, false, false}, {false, false, false, false}}, {}},
    {"ALogStartedAndStopped",
     {{true, false, false, false}, {true, true, false, false}, {true, false, false, false}},
     {true, false}},
    {"TheLogHandedToAnAutomationIsOneHold",
     {{true, true, false, false},
      {true, true, true, false},
      {true, false, true, false},
      {true, false, false, false}},
     {true, false}},
    {"ASystemTestAloneIsHeld",
     {{true, false, false, true}, {true, false, false, false}, {true, false, false, true}},
     {true, false, true}},
    {"NoLinkNoHoldWhateverRuns", {{false, true, true, true}}, {}},
    {"TheLinkClosingReleasesARunningLog",
     {{true, true, false, false}, {false, true, false, false}},
     {true, false}},
    {"ALinkOpenedDuringARunHolds",
     {{false, true, false, false}, {true, true, false, false}},
     {true}},
};

INSTANTIATE_TEST_SUITE_P(Stories, KeepAwakeStory, testing::ValuesIn(kStories),
                         [](const testing::TestParamInfo<Story>& info) {
                             return std::string(info.param.name);
                         });

TEST(KeepAwake, GoingAwayWhileHoldingReleases) {
    SwitchedLog log;
    SwitchedRunner automation;
    SwitchedRunner systemTest;
    RecordingSleepInhibitor inhibitor;
    {
        KeepAwake keepAwake({log, automation, systemTest}, inhibitor);
        keepAwake.linkOpened();
        automation.active = true;
        keepAwake.tick();
        EXPECT_TRUE(keepAwake.holding());
    }
    EXPECT_EQ(inhibitor.calls, (std::vector<bool>{true, false}));
}

} // namespace
} // namespace kqvdr::test
