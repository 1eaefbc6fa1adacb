#pragma once

#include "FloodCounter.h"

#include <google/protobuf/stubs/logging.h>
#include <string>

namespace kqvdr::remote {

// While it lives, libprotobuf's complaints about invalid UTF-8 in a request (one line each, and
// any client can send such requests) are counted in `counter` instead of printed; every other
// libprotobuf line is printed as before. One gate at a time.
class ProtobufLogGate {
public:
    explicit ProtobufLogGate(FloodCounter& counter);
    ~ProtobufLogGate();
    ProtobufLogGate(const ProtobufLogGate&) = delete;
    ProtobufLogGate& operator=(const ProtobufLogGate&) = delete;

    // True for a line this gate counts rather than prints.
    static bool counted(const std::string& message);

private:
    google::protobuf::LogHandler* previous_ = nullptr;
};

} // namespace kqvdr::remote
