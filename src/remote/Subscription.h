#pragma once

#include "SilaStatus.h"
#include "SnapshotBoard.h"
#include "StreamLimit.h"

#include <grpcpp/server_context.h>
#include <grpcpp/support/status.h>

namespace kqvdr::remote {

// How long a subscription sleeps when nothing changes: the limit's watcher wakes it when its
// client cancels or goes, so this only bounds how late a missed wake-up is noticed.
inline constexpr std::chrono::milliseconds kClientCheckPeriod{2000};

// A property subscription: the current value at once, then every change, until the client
// cancels or goes, a write fails, or the server stops. It counts against `client`'s share.
template <typename Value, typename Read, typename Send>
grpc::Status streamChanges(grpc::ServerContext& context, const SnapshotBoard& board,
                           StreamLimit& streams, std::string client, Read read, Send send) {
    const StreamLimit::Slot slot(streams, context, std::move(client));
    if (!slot) {
        return silaStatus(undefinedError(slot.refusal()));
    }
    SnapshotBoard::Snapshot snapshot = board.current();
    Value last = read(snapshot.values);
    if (!send(last)) {
        return grpc::Status::OK;
    }
    std::uint64_t version = snapshot.version;
    while (!slot.cancelled() && !context.IsCancelled()) {
        const auto next = board.waitNewer(
            version, std::chrono::steady_clock::now() + kClientCheckPeriod, &slot.cancelled());
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
