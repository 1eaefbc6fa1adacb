#include "CommandLine.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(CommandLine, ReadsOurOptionsAndLeavesQtOptionsAlone) {
    const auto line = parseCommandLine({"-platform", "offscreen", "--dir", "/tmp/x", "--device",
                                        "/dev/pts/3", "--simulate", "--fine"});
    EXPECT_TRUE(line.error.empty());
    EXPECT_EQ(line.programDir, "/tmp/x");
    EXPECT_EQ(line.device, "/dev/pts/3");
    EXPECT_TRUE(line.simulate);
    EXPECT_TRUE(line.fineGas);
}

TEST(CommandLine, RejectsAMissingValueAndFineWithoutSimulate) {
    EXPECT_FALSE(parseCommandLine({"--dir"}).error.empty());
    EXPECT_FALSE(parseCommandLine({"--fine"}).error.empty());
}

} // namespace
} // namespace kqvdr
