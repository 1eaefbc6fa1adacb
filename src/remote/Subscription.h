#pragma once

#include "SnapshotBoard.h"
#include "StreamLimit.h"

#include <grpcpp/server_context.h>
#include <grpcpp/support/status.h>

namespace kqvdr::remote {

// How long a subscription sleeps between looks at whether its client is still there: a hundred
// subscriptions looking twice a second cost the program half its idle CPU again.
inline constexpr std::chrono::milliseconds kClientCheckPeriod{2000};

// A property subscription: the current value at once, then every change, until the client
// cancels or goes, a write fails, or the server stops.
template <typename Value, typename Read, typename Send>
grpc::Status streamChanges(grpc::ServerContext& context, const SnapshotBoard& board,
                           StreamLimit& streams, Read read, Send send) {
    const StreamLimit::Slot slot(streams);
    if (!slot) {
        return {grpc::StatusCode::RESOURCE_EXHAUSTED, "Too many subscriptions are open."};
    }
    SnapshotBoard::Snapshot snapshot = board.current();
    Value last = read(snapshot.values);
    if (!send(last)) {
        return grpc::Status::OK;
    }
    std::uint64_t version = snapshot.version;
    while (!context.IsCancelled()) {
        const auto next =
            board.waitNewer(version, std::chrono::steady_clock::now() + kClientCheckPeriod);
        if (!next) {
            if (board.closed()) {
                break;
            }
            continue;
        }
        version = next->version;
        Value value = read(next->values);
        if (value == last) {
            continue;
        }
        last = std::move(value);
        if (!send(last)) {
            break;
        }
    }
    return grpc::Status::OK;
}

} // namespace kqvdr::remote
