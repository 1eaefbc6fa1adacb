#include "SettingsChecks.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(SettingsChecks, DeviceIdentificationIsClampedToZeroTo127AndFlaggedWhenOutside) {
    struct Case {
        const char* text;
        int deviceId;
        bool outOfRange;
    };
    const Case cases[] = {
        {"0  ", 0, false},  {"127", 127, false}, {"45 ", 45, false},
        {"   ", 0, false},  {"128", 127, true},  {"200", 127, true},
        {"999", 127, true}, {"-5", 0, true},     {"99999999999", 127, true},
    };
    for (const Case& c : cases) {
        const DeviceIdEntry entry = deviceIdFromText(c.text);
        EXPECT_EQ(entry.deviceId, c.deviceId) << c.text;
        EXPECT_EQ(entry.outOfRange, c.outOfRange) << c.text;
    }
}

TEST(SettingsChecks, ZeroSensitivityNeedsAYesEveryOtherValueGoesWithoutAsking) {
    struct Case {
        int sensitivity;
        MessageAnswer answer;
        bool confirmed;
        bool asked;
    };
    const Case cases[] = {
        {5, MessageAnswer::No, true, false}, {10, MessageAnswer::No, true, false},
        {0, MessageAnswer::Yes, true, true}, {0, MessageAnswer::No, false, true},
        {0, MessageAnswer::Ok, false, true},
    };
    for (const Case& c : cases) {
        std::vector<MessageRequest> asked;
        const bool confirmed = vapourSensitivityConfirmed(
            c.sensitivity,
            [&](const MessageRequest& request) {
                asked.push_back(request);
                return c.answer;
            },
            "KQ-VDR1000 Control");
        EXPECT_EQ(confirmed, c.confirmed) << c.sensitivity;
        ASSERT_EQ(asked.size(), c.asked ? 1u : 0u) << c.sensitivity;
        if (c.asked) {
            EXPECT_EQ(asked[0].buttons, MessageButtons::YesNo);
            EXPECT_EQ(asked[0].icon, MessageIcon::Exclamation);
            EXPECT_EQ(asked[0].caption, "KQ-VDR1000 Control");
        }
    }
}

} // namespace
} // namespace kqvdr
