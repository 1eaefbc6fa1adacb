#pragma once

#include "FrameCollector.h"
#include "InstrumentModel.h"
#include "SimulatorOptions.h"

#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace kqvdr::sim {

// The instrument's end of the serial line, free of any I/O: bytes from the program go in,
// reply bytes come out when they are due, and control commands steer it. Time is given by the
// caller in seconds on any steady scale.
class SimulatedInstrument {
public:
    static constexpr double kByteTime = 10.0 / 9600.0; // start, eight data and stop bits

    explicit SimulatedInstrument(const SimulatorOptions& options);

    void receive(std::string_view bytes, double now);

    // Reply bytes due by `now`, in order.
    std::string takeOutput(double now);
    // When the next queued byte falls due, if any are queued.
    std::optional<double> nextOutputDue() const;

    // Runs the physics up to `now` at the current speed.
    void advanceTo(double now);

    // One control line; returns the answer line ("ok ..." or "error ...") without a newline.
    std::string control(std::string_view line, double now);
    bool quitRequested() const { return quit_; }

    InstrumentModel& model() { return model_; }
    const InstrumentModel& model() const { return model_; }

    // Receives a description of every frame in and out when tracing.
    std::function<void(const std::string&)> traceSink;

private:
    struct QueuedByte {
        double due;
        char byte;
    };

    void handleFrame(std::string_view body, double now);
    void queue(std::string bytes, double now);
    std::string garble(std::string frame);
    std::string randomBytes(std::size_t count);
    std::string streamDue(double now);

    SimulatorOptions options_;
    InstrumentModel model_;
    FrameCollector collector_{kMinCommandFrameBody};
    std::deque<QueuedByte> output_;
    std::mt19937 random_;
    double speed_ = 1.0;
    std::optional<double> lastAdvance_;
    bool silent_ = false;
    int garbleCount_ = 0;
    int noiseBytes_ = 0;
    int streamRate_ = 0; // bytes a second
    double streamNext_ = 0;
    bool midFrame_ = false; // the last byte handed out belongs to an unfinished frame
    bool quit_ = false;
};

} // namespace kqvdr::sim
