#pragma once

#include "DiscoveryInfo.h"

#include <memory>
#include <string>

namespace kqvdr {

// Announces the server as _sila._tcp on the local network: on Linux through the Avahi daemon,
// from a thread of Avahi's own, so that constructing never waits for the daemon; on Windows
// through the system's own DNS-SD. Where that is not there (no daemon running, a build without
// Avahi, a Windows older than 10 1809) it stays quietly unannounced and state() says why; an
// Avahi daemon that starts or restarts later is picked up. Withdrawn when destroyed.
class Discovery {
public:
    explicit Discovery(DiscoveryInfo info);
    ~Discovery();
    Discovery(const Discovery&) = delete;
    Discovery& operator=(const Discovery&) = delete;

    bool announced() const;
    std::string state() const; // one line for the Tools menu item's window

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace kqvdr
