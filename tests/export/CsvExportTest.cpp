#include "CsvWriter.h"
#include "LogCsv.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kqvdr {
namespace {

TEST(CsvWriter, QuotesOnlyFieldsThatNeedItAndDoublesTheirQuotes) {
    struct Case {
        const char* value;
        const char* field;
    };
    for (const Case c :
         {Case{"plain", "plain"}, Case{"", ""}, Case{"a,b", "\"a,b\""},
          Case{"say \"hi\"", "\"say \"\"hi\"\"\""}, Case{"two\nlines", "\"two\nlines\""},
          Case{"cr\rhere", "\"cr\rhere\""}, Case{" padded ", " padded "}}) {
        EXPECT_EQ(CsvWriter::field(c.value), c.field) << c.value;
    }
}

TEST(CsvWriter, RecordsEndInCrLf) {
    CsvWriter csv;
    csv.record(std::vector<std::string>{"a", "b,c"});
    csv.record(std::vector<std::string>{"1"});
    EXPECT_EQ(csv.text(), "a,\"b,c\"\r\n1\r\n");
    EXPECT_EQ(CsvWriter::number(25.456, 1), "25.5");
    EXPECT_EQ(CsvWriter::number(-0.004, 2), "-0.00");
}

constexpr LocalTime kWritten{2026, 12, 8, 10, 0, 20, 2, 60};

const char* const kHeader =
    "Date,Time,Nebuliser setpoint (C),Evaporator setpoint (C),Transfer line setpoint (C),Gas flow "
    "setpoint (SLM),Nebuliser (C),Evaporator (C),Gas flow (SLM),Detector output (V),Exhaust "
    "(C),Mode,Ready,Busy,Heater,Method,Error\r\n";

TEST(LogCsv, EachLogLineBecomesARowUnderTheHeader) {
    const LogCsv csv =
        logToCsv("10:00:15 40 60 50 1.5 39.8 60.1 1.5 0.02 35.2 RUN T F T 3  -  \r\n", kWritten);
    EXPECT_EQ(csv.text,
              std::string(kHeader) +
                  "2026-12-08,10:00:15,40,60,50,1.5,39.8,60.1,1.5,0.02,35.2,RUN,T,F,T,3,\r\n");
    EXPECT_EQ(csv.rows, 1u);
    EXPECT_EQ(csv.skipped, 0u);
}

TEST(LogCsv, KeepsAnEmptyModeAndTheErrorCodeWithoutItsBlanks) {
    const LogCsv csv = logToCsv("10:00:15 40 60 50 1.5 39.8 60.1 1.5 0.02 35.2  T F T 3 OT  \n"
                                "10:00:16 40 60 50 1.5 39.8 60.1 1.5 0.02 35.2 GAS_SAVE T F T 3 "
                                "VDEV \n",
                                kWritten);
    EXPECT_NE(csv.text.find(",35.2,,T,F,T,3,OT\r\n"), std::string::npos) << csv.text;
    EXPECT_NE(csv.text.find(",GAS_SAVE,T,F,T,3,VDEV\r\n"), std::string::npos) << csv.text;
}

TEST(LogCsv, DatesGoBackADayWhereTheTimesCrossMidnight) {
    const LogCsv csv = logToCsv("23:59:15 1 1 1 1 1 1 1 1 1 RUN T F T 3  -  \n"
                                "23:59:45 1 1 1 1 1 1 1 1 1 RUN T F T 3  -  \n"
                                "00:00:15 1 1 1 1 1 1 1 1 1 RUN T F T 3  -  \n",
                                LocalTime{2027, 1, 1, 0, 0, 16, 5, 0});
    const std::string rows = csv.text.substr(std::string(kHeader).size());
    EXPECT_EQ(rows.substr(0, 19), "2026-12-31,23:59:15");
    EXPECT_NE(rows.find("2026-12-31,23:59:45"), std::string::npos);
    EXPECT_NE(rows.find("2027-01-01,00:00:15"), std::string::npos);
}

// The clock goes back from 02:59:59 to 02:00:00 at the end of summer time; that is no midnight.
TEST(LogCsv, TheAutumnClockChangeKeepsTheDay) {
    const LogCsv csv = logToCsv("02:59:15 1 1 1 1 1 1 1 1 1 RUN T F T 3  -  \n"
                                "02:59:45 1 1 1 1 1 1 1 1 1 RUN T F T 3  -  \n"
                                "02:00:15 1 1 1 1 1 1 1 1 1 RUN T F T 3  -  \n"
                                "02:00:45 1 1 1 1 1 1 1 1 1 RUN T F T 3  -  \n",
                                LocalTime{2026, 10, 25, 2, 0, 50, 0, 0});
    const std::string rows = csv.text.substr(std::string(kHeader).size());
    EXPECT_EQ(rows.substr(0, 19), "2026-10-25,02:59:15") << rows;
    EXPECT_NE(rows.find("2026-10-25,02:59:45"), std::string::npos) << rows;
    EXPECT_EQ(rows.find("2026-10-24"), std::string::npos) << rows;
}

TEST(LogCsv, ALastLineAfterTheFileTimeBelongsToTheDayBefore) {
    const LogCsv csv = logToCsv("23:59:45 1 1 1 1 1 1 1 1 1 RUN T F T 3  -  \n",
                                LocalTime{2026, 3, 1, 0, 0, 2, 0, 0});
    EXPECT_NE(csv.text.find("2026-02-28,23:59:45"), std::string::npos) << csv.text;
}

TEST(LogCsv, LinesThatAreNotLogLinesAreCountedAndLeftOut) {
    const LogCsv csv = logToCsv("garbage\n"
                                "10:00:15 40 60 50 1.5 39.8 60.1 1.5 0.02 35.2 RUN T F T 3  -  \n"
                                "25:00:15 40 60 50 1.5 39.8 60.1 1.5 0.02 35.2 RUN T F T 3  -  \n"
                                "10:00:45 40 60 50 x 39.8 60.1 1.5 0.02 35.2 RUN T F T 3  -  \n"
                                "10:01:15 40 60\n"
                                "\n",
                                kWritten);
    EXPECT_EQ(csv.rows, 1u);
    EXPECT_EQ(csv.skipped, 4u);
}

TEST(LogCsv, CommaDecimalsFromAnotherLocaleBecomePoints) {
    const LogCsv csv =
        logToCsv("10:00:15 40 60 50 1,5 39,8 60,1 1,5 0,02 35,2 RUN T F T 3  -  \n", kWritten);
    EXPECT_NE(csv.text.find(",1.5,39.8,60.1,1.5,0.02,35.2,"), std::string::npos) << csv.text;
}

} // namespace
} // namespace kqvdr
