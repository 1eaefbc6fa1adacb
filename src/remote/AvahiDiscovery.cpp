#include "Discovery.h"
#include "DiscoveryText.h"

#include <atomic>
#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/error.h>
#include <avahi-common/strlst.h>
#include <avahi-common/thread-watch.h>
#include <mutex>

namespace kqvdr {

// Everything but the constructor, destructor and the two readers runs on Avahi's thread.
struct Discovery::Impl {
    DiscoveryInfo info;
    AvahiThreadedPoll* poll = nullptr;
    bool running = false;
    AvahiClient* client = nullptr;
    AvahiEntryGroup* group = nullptr;
    std::atomic<bool> announced{false};
    mutable std::mutex mutex;
    std::string state;

    void setState(std::string text, bool isAnnounced = false) {
        const std::lock_guard lock(mutex);
        state = std::move(text);
        announced = isAnnounced;
    }

    void connect() {
        int error = 0;
        // NO_FAIL: without a daemon the client waits for one instead of failing.
        client = avahi_client_new(avahi_threaded_poll_get(poll), AVAHI_CLIENT_NO_FAIL,
                                  &Impl::onClient, this, &error);
        if (!client) {
            setState(std::string("Not announced: Avahi is not running here (") +
                     avahi_strerror(error) + ").");
        }
    }

    void clientChanged(AvahiClient* changed, AvahiClientState clientState) {
        switch (clientState) {
        case AVAHI_CLIENT_S_RUNNING:
            publish(changed);
            break;
        case AVAHI_CLIENT_S_REGISTERING:
        case AVAHI_CLIENT_S_COLLISION:
            if (group) {
                avahi_entry_group_reset(group);
            }
            setState("Not announced yet: Avahi is registering the host name.");
            break;
        case AVAHI_CLIENT_CONNECTING:
            setState("Not announced: waiting for the Avahi daemon to start.");
            break;
        case AVAHI_CLIENT_FAILURE:
            if (avahi_client_errno(changed) == AVAHI_ERR_DISCONNECTED) {
                // The daemon went away (a restart, say): wait for the next one.
                avahi_client_free(changed);
                client = nullptr;
                group = nullptr;
                connect();
            } else {
                setState(std::string("Not announced: Avahi failed (") +
                         avahi_strerror(avahi_client_errno(changed)) + ").");
            }
            break;
        }
    }

    void publish(AvahiClient* running) {
        if (!group) {
            group = avahi_entry_group_new(running, &Impl::onGroup, this);
        }
        if (!group) {
            setState(std::string("Not announced: Avahi refused the entry (") +
                     avahi_strerror(avahi_client_errno(running)) + ").");
            return;
        }
        if (!avahi_entry_group_is_empty(group)) {
            return;
        }
        AvahiStringList* text = nullptr;
        const auto entries = discoveryTextEntries(info);
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            text = avahi_string_list_add_arbitrary(
                text, reinterpret_cast<const std::uint8_t*>(it->data()), it->size());
        }
        int result = avahi_entry_group_add_service_strlst(
            group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
            discoveryInstanceName(info).c_str(), kDiscoveryServiceType, nullptr, nullptr, info.port,
            text);
        avahi_string_list_free(text);
        if (result == AVAHI_OK) {
            result = avahi_entry_group_commit(group);
        }
        if (result == AVAHI_ERR_COLLISION) {
            setCollision();
        } else if (result != AVAHI_OK) {
            setState(std::string("Not announced: Avahi refused the entry (") +
                     avahi_strerror(result) + ").");
        }
    }

    // The instance name is the UUID, which clients rely on: rather than rename it as other
    // services do, say that some other server on the network uses the same identity.
    void setCollision() {
        setState("Not announced: another server on the network announces the UUID " +
                 info.serverUuid + ".");
    }

    void groupChanged(AvahiEntryGroup* changed, AvahiEntryGroupState groupState) {
        switch (groupState) {
        case AVAHI_ENTRY_GROUP_ESTABLISHED:
            setState("Announced on the network as " + discoveryInstanceName(info) + "." +
                         kDiscoveryServiceType + ", port " + std::to_string(info.port) + ".",
                     true);
            break;
        case AVAHI_ENTRY_GROUP_COLLISION:
            setCollision();
            break;
        case AVAHI_ENTRY_GROUP_FAILURE:
            setState(std::string("Not announced: Avahi failed (") +
                     avahi_strerror(avahi_client_errno(avahi_entry_group_get_client(changed))) +
                     ").");
            break;
        case AVAHI_ENTRY_GROUP_UNCOMMITED:
        case AVAHI_ENTRY_GROUP_REGISTERING:
            break;
        }
    }

    static void onClient(AvahiClient* changed, AvahiClientState clientState, void* self) {
        static_cast<Impl*>(self)->clientChanged(changed, clientState);
    }
    static void onGroup(AvahiEntryGroup* changed, AvahiEntryGroupState groupState, void* self) {
        static_cast<Impl*>(self)->groupChanged(changed, groupState);
    }
    static void onStart(AvahiTimeout*, void* self) { static_cast<Impl*>(self)->connect(); }
};

Discovery::Discovery(DiscoveryInfo info) : impl_(std::make_unique<Impl>()) {
    impl_->info = std::move(info);
    if (impl_->info.port == 0) {
        impl_->setState("Not announced: the server has no port.");
        return;
    }
    impl_->setState("Not announced yet: connecting to the Avahi daemon.");
    impl_->poll = avahi_threaded_poll_new();
    if (!impl_->poll) {
        impl_->setState("Not announced: Avahi could not start.");
        return;
    }
    // The connection is made on Avahi's thread: a slow system bus must not hold up the caller.
    const AvahiPoll* api = avahi_threaded_poll_get(impl_->poll);
    const struct timeval now {};
    api->timeout_new(api, &now, &Impl::onStart, impl_.get());
    impl_->running = avahi_threaded_poll_start(impl_->poll) == 0;
    if (!impl_->running) {
        impl_->setState("Not announced: Avahi could not start its thread.");
    }
}

Discovery::~Discovery() {
    if (impl_->running) {
        avahi_threaded_poll_stop(impl_->poll);
    }
    if (impl_->client) {
        avahi_client_free(impl_->client);
    }
    if (impl_->poll) {
        avahi_threaded_poll_free(impl_->poll);
    }
}

bool Discovery::announced() const {
    return impl_->announced;
}

std::string Discovery::state() const {
    const std::lock_guard lock(impl_->mutex);
    return impl_->state;
}

} // namespace kqvdr
