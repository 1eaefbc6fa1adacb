#include "ReportContent.h"

#include "PageGeometry.h"
#include "ReportRows.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

using test::passingRow;

TEST(ReportPages, OnePageThenThreeMethodsToAPage) {
    const std::pair<std::size_t, int> cases[] = {{0, 1}, {1, 2}, {3, 2}, {4, 3},
                                                 {6, 3}, {7, 4}, {10, 5}};
    for (const auto& [rows, pages] : cases) {
        EXPECT_EQ(reportPageCount(rows), pages) << rows << " rows";
    }
    EXPECT_EQ(rowsOnPage(2, 10), (std::pair<std::size_t, std::size_t>{0, 3}));
    EXPECT_EQ(rowsOnPage(5, 10), (std::pair<std::size_t, std::size_t>{9, 10}));
    EXPECT_EQ(rowsOnPage(3, 4), (std::pair<std::size_t, std::size_t>{3, 4}));
}

TEST(ReportFirstPage, AFailedMethodFailsOnlyItsTestWithItsSentence) {
    std::vector<TestResult> rows = {passingRow(1), passingRow(2), passingRow(3)};
    rows[1].baselinePass = false;
    const auto tests = reportTests(rows);
    EXPECT_EQ(tests[0].verdict, "PASSED");
    EXPECT_EQ(tests[1].verdict, "PASSED");
    EXPECT_EQ(tests[2].label, "Baseline Stability :");
    EXPECT_EQ(tests[2].verdict, "FAILED");
    EXPECT_EQ(tests[2].sentence,
              "The detector output was recorded outside the range in which the system can "
              "effectively perform a autozero or the baseline stability was analysed to be out of "
              "tolerence.");
    EXPECT_EQ(tests[3].verdict, "PASSED");
    EXPECT_EQ(tests[3].sentence, "The mass flow controller was successfully reaching and "
                                 "maintaining the desired gas flow rates set.");

    rows[2].nebRsdPass = false;
    EXPECT_EQ(reportTests(rows)[1].verdict, "FAILED") << "any of the four stability verdicts";
}

TEST(ReportFirstPage, ALogWithoutMethodsCertifiesNothing) {
    for (const ReportTest& test : reportTests({})) {
        EXPECT_EQ(test.verdict, "NOT TESTED") << test.label;
    }
}

TEST(ReportMethodBlock, ShowsLimitsResultsAndStatusAsPrinted) {
    TestResult row = passingRow(7);
    row.evapRsdPass = false;
    const MethodBlockTexts block = methodBlockTexts(row);
    EXPECT_EQ(block.title, "Method 7");
    EXPECT_EQ(block.nebuliser, "40 C");
    EXPECT_EQ(block.gas, "1.20 SLM");
    using Row = std::array<std::string, 4>;
    EXPECT_EQ(block.cells[0],
              (Row{"1. Temperature Response (hh:mm:ss)", "  0:12:30", "  0:10:05", "Pass"}));
    EXPECT_EQ(block.cells[1][3], "Fail") << "one of the four stability rows failed";
    EXPECT_EQ(block.cells[2],
              (Row{"    2.1. Nebuliser (Average Offset C)", "  \u00b1 0.50", "  0.12", "Pass"}));
    EXPECT_EQ(block.cells[3][2], "  -0.30");
    EXPECT_EQ(block.cells[4], (Row{"    2.3. Nebuliser (RSD %)", "  1.00", "  0.18", "Pass"}));
    EXPECT_EQ(block.cells[5][3], "Fail");
    EXPECT_EQ(block.cells[6],
              (Row{"3. Baseline Stability (Photo Output V)", "  0.150", "  0.042", "Pass"}));
    EXPECT_EQ(block.cells[7], (Row{"4. Mass Flow Response (sec)", "  270", "  35", "Pass"}));

    row.stabEvaluated = false;
    const MethodBlockTexts unstable = methodBlockTexts(row);
    for (std::size_t r = 2; r <= 5; ++r) {
        EXPECT_EQ(unstable.cells[r][1], "  -") << r;
        EXPECT_EQ(unstable.cells[r][2], "  -") << r;
    }
}

TEST(ReportMethodBlock, ARowWithoutDataShowsDashesAndNoVerdict) {
    TestResult row; // a block that began in ERROR
    row.method = 4;
    row.unreadableLines = 2;
    const MethodBlockTexts block = methodBlockTexts(row);
    EXPECT_EQ(block.title, "Method 4 (2 lines unreadable)");
    EXPECT_EQ(block.nebuliser, "-");
    EXPECT_EQ(block.gas, "-");
    for (std::size_t r = 0; r < block.cells.size(); ++r) {
        EXPECT_EQ(block.cells[r][3], "-") << r;
        if (r != 1) {
            EXPECT_EQ(block.cells[r][2], "  -") << r;
        }
    }
    EXPECT_EQ(block.cells[7][0], "4. Mass Flow Response (sec)");
}

TEST(ReportFirstPage, OnlyALogWithNoRecordInRunIsNotTestedAndItsRowsSayNeither) {
    TestResult standbyOnly = passingRow(1);
    standbyOnly.respEvaluated = standbyOnly.stabEvaluated = false;
    for (const ReportTest& test : reportTests({standbyOnly})) {
        EXPECT_EQ(test.verdict, "NOT TESTED");
        EXPECT_EQ(test.sentence,
                  "No record in the test log shows this test, so it was not carried out.");
    }
    for (const auto& cell : methodBlockTexts(standbyOnly).cells) {
        EXPECT_EQ(cell[3], "-") << cell[0];
    }
    // Hot from the start: no heating segment, but the instrument was in Run and ready at once.
    TestResult stableOnly = passingRow(2);
    stableOnly.respEvaluated = false;
    EXPECT_EQ(reportTests({stableOnly})[0].verdict, "PASSED");
    stableOnly.nebRsdPass = false;
    EXPECT_EQ(reportTests({stableOnly})[1].verdict, "FAILED");
    EXPECT_EQ(methodBlockTexts(stableOnly).cells[1][3], "Fail");
}

TEST(ReportPageGeometry, AColumnLandsNineTenthsAcrossAndARowExactlyDown) {
    const struct {
        double widthPixels, heightPixels, dpi;
    } devices[] = {{4800, 6300, 600}, {578, 781, 72}, {7650, 10500, 1200}};
    for (const auto& d : devices) {
        const PageGeometry page(d.widthPixels, d.heightPixels, d.dpi, d.dpi);
        EXPECT_NEAR(page.deviceX(page.columnUnits(1.0)) / d.dpi, 0.9, 1e-9);
        EXPECT_NEAR(page.deviceY(page.rowUnits(1.0)) / d.dpi, 1.0, 1e-9);
        EXPECT_NEAR(page.unitsToRow(page.rowUnits(3.25)), 3.25, 1e-9);
        EXPECT_NEAR(page.deviceX(PageGeometry::kPageWidthUnits), 0.9 * d.widthPixels, 1e-9);
    }
}

} // namespace
} // namespace kqvdr
