#include "SequenceSource.h"

#include <sstream>

namespace kqvdr {
namespace {

bool validTime(const std::string& time) {
    if (time == kUnsetEventTime) {
        return true;
    }
    const auto digit = [&time](std::size_t i) { return time[i] >= '0' && time[i] <= '9'; };
    if (time.size() != 5 || time[2] != ':' || !digit(0) || !digit(1) || !digit(3) || !digit(4)) {
        return false;
    }
    return std::stoi(time.substr(0, 2)) < 24 && std::stoi(time.substr(3, 2)) < 60;
}

bool validMethod(const std::string& method) {
    if (method.empty() || method.size() > 2 ||
        method.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const int number = std::stoi(method);
    return number >= 1 && number <= kAutomationEventCount;
}

} // namespace

SequenceSource parseSequenceSource(std::string_view text) {
    SequenceSource source;
    std::istringstream lines{std::string(text)};
    std::string line;
    int lineNumber = 0;
    std::size_t count = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::istringstream words(line);
        std::vector<std::string> tokens;
        for (std::string word; words >> word;) {
            tokens.push_back(word);
        }
        if (tokens.empty() || tokens.front().starts_with("#")) {
            continue;
        }
        const auto error = [&](const std::string& what) {
            source.errors.push_back("line " + std::to_string(lineNumber) + ": " + what);
        };
        if (tokens.front() != "step" || tokens.size() < 4) {
            error("expected \"step TIME MODE METHOD\"");
            continue;
        }
        std::string mode = tokens[2];
        for (std::size_t i = 3; i + 1 < tokens.size(); ++i) {
            mode += " " + tokens[i];
        }
        const AutomationEvent step{"", tokens[1], mode, tokens.back()};
        if (!validTime(step.eventTime)) {
            error("time " + step.eventTime + " is not HH:MM or ##:##");
        } else if (!eventModeCode(step.eventMode)) {
            error("mode " + step.eventMode + " is not STANDBY, RUN, GAS SAVE or SLEEP");
        } else if (!validMethod(step.eventMethod)) {
            error("method " + step.eventMethod + " is not 1 to 10");
        } else if (count >= source.steps.size()) {
            error("more than ten steps");
        } else {
            source.steps[count] = step;
        }
        ++count;
    }
    if (source.errors.empty() && count != source.steps.size()) {
        source.errors.push_back("expected ten steps, found " + std::to_string(count));
    }
    return source;
}

} // namespace kqvdr
