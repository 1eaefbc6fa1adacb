#include "SimulatedInstrument.h"

#include "CommandFrame.h"
#include "Frame.h"
#include "NumberText.h"

#include <algorithm>
#include <sstream>

namespace kqvdr::sim {
namespace {

std::string printable(std::string_view frame) {
    std::string out;
    for (const char c : frame) {
        if (c == kStx) {
            out += "<STX>";
        } else if (c == kEtx) {
            out += "<ETX>";
        } else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += "<";
            out += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
            out += kHex[static_cast<unsigned char>(c) & 0xF];
            out += ">";
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string> words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> out;
    for (std::string word; in >> word;) {
        out.push_back(word);
    }
    return out;
}

bool isCount(const std::string& text) {
    return !text.empty() && text.size() < 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

SimulatedInstrument::SimulatedInstrument(const SimulatorOptions& options)
    : options_(options), model_(options.fineGas, options.deviceId, options.seed),
      random_(options.seed + 1) {
    model_.setVapourCapable(options.vapourCapable);
}

void SimulatedInstrument::receive(std::string_view bytes, double now) {
    advanceTo(now);
    for (const char c : bytes) {
        if (const auto body = collector_.feed(static_cast<unsigned char>(c))) {
            handleFrame(*body, now);
        }
    }
}

void SimulatedInstrument::handleFrame(std::string_view body, double now) {
    if (traceSink) {
        traceSink("in  " + printable(body));
    }
    if (silent_) {
        return;
    }
    CommandFrame frame;
    if (!decodeCommandFrame(body, frame)) {
        return; // an instrument ignores what it cannot read
    }
    if (frame.address != model_.deviceId() && frame.address != 0) {
        return;
    }
    const Reply reply = model_.handle(frame.commandCode, frame.words);
    // The reply carries the identification in force after the command.
    const int address = model_.deviceId();
    switch (reply.kind) {
    case Reply::Kind::None:
        return;
    case Reply::Kind::Acknowledge:
        queue(acknowledgementFrame(address, frame.commandCode, InstrumentModel::kAcknowledgement),
              now);
        return;
    case Reply::Kind::Data:
        queue(dataReplyFrame(address, frame.commandCode, reply.words), now);
        return;
    }
}

std::string SimulatedInstrument::garble(std::string frame) {
    if (frame.size() < 4) {
        return frame;
    }
    // Change one character between STX and ETX to another valid digit, so the frame still
    // looks well-formed but its checksum no longer holds.
    std::uniform_int_distribution<std::size_t> position(1, frame.size() - 2);
    char& c = frame[position(random_)];
    c = c == '0' ? '1' : '0';
    return frame;
}

void SimulatedInstrument::queue(std::string bytes, double now) {
    if (garbleCount_ > 0) {
        --garbleCount_;
        bytes = garble(std::move(bytes));
    }
    if (noiseBytes_ > 0) {
        bytes = randomBytes(static_cast<std::size_t>(noiseBytes_)) + bytes;
        noiseBytes_ = 0;
    }
    if (traceSink) {
        traceSink("out " + printable(bytes));
    }
    double due = now;
    if (options_.pace && !output_.empty()) {
        due = std::max(due, output_.back().due);
    }
    for (const char c : bytes) {
        if (options_.pace) {
            due += kByteTime;
        }
        output_.push_back({due, c});
    }
}

std::string SimulatedInstrument::randomBytes(std::size_t count) {
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::string noise;
    while (noise.size() < count) {
        const char c = static_cast<char>(anyByte(random_));
        if (c != kStx) { // a start byte would open a frame that is not there
            noise += c;
        }
    }
    return noise;
}

// The streamed bytes owed by `now`; a gap of more than a second (a stopped host) is not made up.
std::string SimulatedInstrument::streamDue(double now) {
    if (streamRate_ <= 0 || midFrame_) {
        return {};
    }
    streamNext_ = std::max(streamNext_, now - 1.0);
    std::size_t count = 0;
    for (; streamNext_ <= now; streamNext_ += 1.0 / streamRate_) {
        ++count;
    }
    return randomBytes(count);
}

std::string SimulatedInstrument::takeOutput(double now) {
    std::string out;
    while (!output_.empty() && output_.front().due <= now) {
        const char byte = output_.front().byte;
        if (byte == kStx || byte == kEtx) {
            midFrame_ = byte == kStx;
        }
        out += byte;
        output_.pop_front();
    }
    return out + streamDue(now);
}

std::optional<double> SimulatedInstrument::nextOutputDue() const {
    // Streamed bytes go out in batches of about 10 ms rather than one wake-up each, and never
    // inside a frame, whose own bytes then set the time.
    constexpr double kStreamBatch = 0.01;
    std::optional<double> due;
    if (!output_.empty()) {
        due = output_.front().due;
    }
    if (streamRate_ > 0 && !midFrame_) {
        due = std::min(due.value_or(streamNext_ + kStreamBatch), streamNext_ + kStreamBatch);
    }
    return due;
}

void SimulatedInstrument::advanceTo(double now) {
    if (lastAdvance_ && now > *lastAdvance_) {
        model_.advance((now - *lastAdvance_) * speed_);
    }
    if (!lastAdvance_ || now > *lastAdvance_) {
        lastAdvance_ = now;
    }
}

std::string SimulatedInstrument::control(std::string_view line, double now) {
    advanceTo(now);
    const auto args = words(line);
    if (args.empty()) {
        return "error empty command";
    }
    const std::string& command = args[0];
    const auto argument = [&args](std::size_t i) {
        return i < args.size() ? args[i] : std::string();
    };
    if (command == "fault") {
        const auto bit = faultBit(argument(1));
        if (!bit) {
            return "error unknown fault " + argument(1);
        }
        model_.setFault(*bit);
        return "ok fault " + argument(1);
    }
    if (command == "silent") {
        if (argument(1) != "on" && argument(1) != "off") {
            return "error silent takes on or off";
        }
        silent_ = argument(1) == "on";
        return "ok silent " + argument(1);
    }
    if (command == "garble" || command == "noise") {
        if (!isCount(argument(1))) {
            return "error " + command + " takes a count";
        }
        (command == "garble" ? garbleCount_ : noiseBytes_) = parseLeadingInt(argument(1));
        return "ok " + command + " " + argument(1);
    }
    if (command == "stream") {
        if (!isCount(argument(1))) {
            return "error stream takes a count of bytes a second";
        }
        streamRate_ = parseLeadingInt(argument(1));
        streamNext_ = now;
        return "ok stream " + argument(1);
    }
    if (command == "variant") {
        if (argument(1) != "fine" && argument(1) != "standard") {
            return "error variant takes fine or standard";
        }
        model_.setFineGas(argument(1) == "fine");
        return "ok variant " + argument(1);
    }
    if (command == "speed") {
        const double speed = parseLeadingDecimal(argument(1));
        if (!(speed > 0 && speed <= 100000)) {
            return "error speed takes a factor above 0";
        }
        speed_ = speed;
        return "ok speed " + argument(1);
    }
    if (command == "unhealthy" || command == "healthy") {
        const auto ailment = ailmentNamed(argument(1));
        if (!ailment) {
            return "error " + command +
                   " takes slow-heating, unstable-temperature, slow-gas or high-baseline";
        }
        model_.setAilment(*ailment, command == "unhealthy");
        return "ok " + command + " " + argument(1);
    }
    if (command == "state") {
        return "ok " + model_.describe();
    }
    if (command == "quit") {
        quit_ = true;
        return "ok quit";
    }
    return "error unknown command " + command;
}

} // namespace kqvdr::sim
