#include "MethodFile.h"
#include "MethodFileCheck.h"
#include "MethodLimits.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace kqvdr {
namespace {

// The files the build made beside the program.
const std::filesystem::path kProgramDir = KQVDR_SUPPLIED_METHODS_DIR;

struct Supplied {
    const char* file;
    bool fine;
};
const Supplied kSupplied[] = {
    {"Default.mtd", false}, {"mDefault.mtd", true}, {"Test.mtd", false}, {"mTest.mtd", true}};

TEST(SuppliedMethodFiles, HoldTenNamedMethodsWithEverySetpointInRange) {
    for (const Supplied& supplied : kSupplied) {
        SCOPED_TRACE(supplied.file);
        const MethodFile file = readMethodFile(kProgramDir / supplied.file);
        ASSERT_EQ(file.status, ArchiveReadStatus::Ok);
        EXPECT_EQ(file.strings.size(), 90u);
        for (int n = 1; n <= 10; ++n) {
            const MethodRecord r = file.record(n);
            EXPECT_EQ(file.text(n, MethodFileField::Number), std::to_string(n));
            EXPECT_FALSE(r.name.empty());
            EXPECT_FALSE(r.description.empty());
        }
        // The check every load makes.
        const auto problem = methodFileProblem(file, supplied.fine);
        EXPECT_FALSE(problem) << problem.value_or("");
    }
}

TEST(SuppliedMethodFiles, FineFilesHoldTheGasFlowInHundredths) {
    for (const char* name : {"mDefault.mtd", "mTest.mtd"}) {
        SCOPED_TRACE(name);
        const MethodFile file = readMethodFile(kProgramDir / name);
        ASSERT_EQ(file.status, ArchiveReadStatus::Ok);
        bool beyondTenths = false;
        for (int n = 1; n <= 10; ++n) {
            beyondTenths = beyondTenths || file.record(n).gasFlow > kGasFlowTenthsRange.maximum;
        }
        EXPECT_TRUE(beyondTenths) << "a gas flow above 20 shows the unit is hundredths";
    }
}

TEST(SuppliedMethodFiles, TestMethodsDifferInTemperatureAndBothHeatAndCool) {
    for (const char* name : {"Test.mtd", "mTest.mtd"}) {
        SCOPED_TRACE(name);
        const MethodFile file = readMethodFile(kProgramDir / name);
        ASSERT_EQ(file.status, ArchiveReadStatus::Ok);
        std::set<std::pair<int, int>> temperatures;
        std::set<int> gasFlows;
        bool heats = false;
        bool cools = false;
        for (int n = 1; n <= 10; ++n) {
            const MethodRecord r = file.record(n);
            temperatures.insert({r.nebuliserTemp, r.evaporatorTemp});
            gasFlows.insert(r.gasFlow);
            if (n > 1) {
                const MethodRecord before = file.record(n - 1);
                heats = heats || (r.nebuliserTemp > before.nebuliserTemp &&
                                  r.evaporatorTemp > before.evaporatorTemp);
                cools = cools || (r.nebuliserTemp < before.nebuliserTemp &&
                                  r.evaporatorTemp < before.evaporatorTemp);
            }
        }
        EXPECT_EQ(temperatures.size(), 10u);
        EXPECT_GE(gasFlows.size(), 4u) << "the mass-flow response needs gas-flow steps";
        EXPECT_TRUE(heats);
        EXPECT_TRUE(cools);
    }
}

} // namespace
} // namespace kqvdr
