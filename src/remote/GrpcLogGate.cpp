#include "GrpcLogGate.h"

#include <atomic>
#include <cstdio>
#include <grpc/support/log.h>

namespace kqvdr::remote {
namespace {

// gRPC's log function is a plain function without a context pointer, so the counters it
// reaches have to be found here; the gate that owns them sets and clears them.
std::atomic<FloodCounter*> activeCounter{nullptr};
std::atomic<FloodCounter*> activeAcceptErrors{nullptr};
std::atomic<std::atomic<std::uint64_t>*> activeAcceptFailures{nullptr};

void gatedLog(gpr_log_func_args* args) {
    FloodCounter* counter = activeCounter.load();
    if (counter != nullptr && GrpcLogGate::counted(args->message)) {
        counter->count();
        return;
    }
    FloodCounter* acceptErrors = activeAcceptErrors.load();
    if (acceptErrors != nullptr && GrpcLogGate::acceptError(args->message)) {
        acceptErrors->count();
        return;
    }
    std::atomic<std::uint64_t>* acceptFailures = activeAcceptFailures.load();
    if (acceptFailures != nullptr && GrpcLogGate::failedAccept(args->message)) {
        acceptFailures->fetch_add(1);
    }
    std::fprintf(stderr, "%s %s:%d] %s\n", gpr_log_severity_string(args->severity), args->file,
                 args->line, args->message);
}

} // namespace

GrpcLogGate::GrpcLogGate(FloodCounter& counter, FloodCounter& acceptErrors,
                         std::atomic<std::uint64_t>& acceptFailures) {
    activeCounter.store(&counter);
    activeAcceptErrors.store(&acceptErrors);
    activeAcceptFailures.store(&acceptFailures);
    gpr_set_log_function(&gatedLog);
}

GrpcLogGate::~GrpcLogGate() {
    // Null puts gRPC's own printing back.
    gpr_set_log_function(nullptr);
    activeCounter.store(nullptr);
    activeAcceptErrors.store(nullptr);
    activeAcceptFailures.store(nullptr);
}

bool GrpcLogGate::counted(std::string_view message) {
    return message.find("Handshake failed") != std::string_view::npos;
}

bool GrpcLogGate::acceptError(std::string_view message) {
    return message.find("on_accept error") != std::string_view::npos;
}

bool GrpcLogGate::failedAccept(std::string_view message) {
    return message.find("Failed accept4") != std::string_view::npos;
}

} // namespace kqvdr::remote
