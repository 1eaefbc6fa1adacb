#pragma once

#include "InstrumentState.h"
#include "ManualClock.h"
#include "OperationalLog.h"
#include "ScriptedOperator.h"
#include "TemporaryDirectory.h"

#include <string>
#include <vector>

namespace kqvdr::test {

// The log channel on a clock of its own, in a fresh data directory, logging for COM 1.
struct LogWorld {
    LogWorld() { setTime(10, 0, 0); }

    void setTime(int hour, int minute, int second) {
        clock.time.hour = hour;
        clock.time.minute = minute;
        clock.time.second = second;
    }

    // `seconds` of the heartbeat: ten ticks a second, each running `tick`.
    template <typename Tick> void runWith(int seconds, Tick tick) {
        for (int s = 0; s < seconds; ++s) {
            for (int i = 0; i < 10; ++i) {
                tick();
            }
            clock.advanceSeconds(1);
        }
    }
    // The half-minute check alone, as the poll hands it on while logging.
    void run(int seconds) {
        runWith(seconds, [this] {
            if (log.loggingActive()) {
                log.tick();
            }
        });
    }

    std::filesystem::path logFile() const { return dir.file("vdr_com1.log"); }

    // The port's log file, line by line without the CR LF.
    std::vector<std::string> fileLines() const {
        std::vector<std::string> lines;
        const std::string bytes = readBytes(logFile());
        for (std::size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos;
             at = end + 2) {
            lines.push_back(bytes.substr(at, end - at));
        }
        return lines;
    }
    std::vector<std::string> loggedTimes() const {
        std::vector<std::string> times;
        for (const std::string& line : fileLines()) {
            times.push_back(line.substr(0, 8));
        }
        return times;
    }

    InstrumentState state;
    ManualClock clock;
    ScriptedOperator person;
    TemporaryDirectory dir;
    OperationalLog log{state, clock, person, dir.path(), "/home/tester"};
};

} // namespace kqvdr::test
