#include "ProtobufLogGate.h"

#include <atomic>
#include <cstdio>
#include <google/protobuf/stubs/logging.h>

namespace kqvdr::remote {
namespace {

namespace pb = google::protobuf;

// libprotobuf's log handler is a plain function without a context pointer, so the counter it
// reaches has to be found here; the gate that owns it sets and clears it.
std::atomic<FloodCounter*> activeCounter{nullptr};

void gatedLog(pb::LogLevel level, const char* file, int line, const std::string& message) {
    FloodCounter* counter = activeCounter.load();
    if (counter != nullptr && ProtobufLogGate::counted(message)) {
        counter->count();
        return;
    }
    static const char* const kLevels[] = {"INFO", "WARNING", "ERROR", "FATAL"};
    const int index = level >= 0 && level <= 3 ? static_cast<int>(level) : 2;
    std::fprintf(stderr, "[libprotobuf %s %s:%d] %s\n", kLevels[index], file, line,
                 message.c_str());
}

} // namespace

ProtobufLogGate::ProtobufLogGate(FloodCounter& counter) {
    activeCounter.store(&counter);
    previous_ = pb::SetLogHandler(&gatedLog);
}

ProtobufLogGate::~ProtobufLogGate() {
    pb::SetLogHandler(previous_);
    activeCounter.store(nullptr);
}

bool ProtobufLogGate::counted(const std::string& message) {
    return message.find("invalid UTF-8") != std::string::npos;
}

} // namespace kqvdr::remote
