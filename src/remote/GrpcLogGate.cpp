#include "GrpcLogGate.h"

#include <atomic>
#include <cstdio>
#include <grpc/support/log.h>

namespace kqvdr::remote {
namespace {

// gRPC's log function is a plain function without a context pointer, so the counter it reaches
// has to be found here; the gate that owns it sets and clears it.
std::atomic<FloodCounter*> activeCounter{nullptr};

void gatedLog(gpr_log_func_args* args) {
    FloodCounter* counter = activeCounter.load();
    if (counter != nullptr && GrpcLogGate::counted(args->message)) {
        counter->count();
        return;
    }
    std::fprintf(stderr, "%s %s:%d] %s\n", gpr_log_severity_string(args->severity), args->file,
                 args->line, args->message);
}

} // namespace

GrpcLogGate::GrpcLogGate(FloodCounter& counter) {
    activeCounter.store(&counter);
    gpr_set_log_function(&gatedLog);
}

GrpcLogGate::~GrpcLogGate() {
    // Null puts gRPC's own printing back.
    gpr_set_log_function(nullptr);
    activeCounter.store(nullptr);
}

bool GrpcLogGate::counted(std::string_view message) {
    return message.find("Handshake failed") != std::string_view::npos;
}

} // namespace kqvdr::remote
