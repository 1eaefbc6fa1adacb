#pragma once

#include <cstdio>
#include <string>

namespace kqvdr::test {

// Writes test-log lines as the log writer does, one every half minute from a start time.
struct TestLogBuilder {
    struct Line {
        const char* mode = "RUN";
        const char* ready = "T";
        int nebSet = 100;
        int evapSet = 80;
        double gasSet = 1.0;
        double neb = 100.0;
        double evap = 80.0;
        double flow = 1.0;
        double detector = 0.05;
        int method = 1;
    };

    explicit TestLogBuilder(int hour = 18, int minute = 0, int second = 15)
        : seconds(hour * 3600 + minute * 60 + second) {}

    std::string time() const {
        const int s = seconds % 86400;
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
        return buffer;
    }

    // `count` lines like `line`, half a minute apart.
    TestLogBuilder& add(const Line& line, int count = 1) {
        for (int i = 0; i < count; ++i) {
            char buffer[160];
            std::snprintf(buffer, sizeof buffer,
                          "%s %d %d 50 %.*f %.1f %.1f %.*f %.2f 40.0 %s %s F T %d  -  \r\n",
                          time().c_str(), line.nebSet, line.evapSet, fine ? 2 : 1, line.gasSet,
                          line.neb, line.evap, fine ? 2 : 1, line.flow, line.detector, line.mode,
                          line.ready, line.method);
            text += buffer;
            seconds += 30;
        }
        return *this;
    }
    TestLogBuilder& raw(const std::string& line) {
        text += line;
        return *this;
    }

    std::string text;
    int seconds;
    bool fine = false;
};

} // namespace kqvdr::test
