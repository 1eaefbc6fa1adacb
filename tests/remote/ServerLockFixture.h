#pragma once

#include "ManualSteadyClock.h"
#include "ServerLock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kqvdr::remote {

struct Recorded {
    std::string who;
    AuditEvent event;
};

// A lock on a clock the test moves, with the audit trail it writes.
struct LockTest : ::testing::Test {
    test::ManualSteadyClock clock;
    std::vector<Recorded> trail;
    ServerLock lock{clock, [this](const std::string& who, const AuditEvent& event) {
                        trail.push_back({who, event});
                    }};

    std::vector<AuditEventKind> kinds() const {
        std::vector<AuditEventKind> result;
        for (const Recorded& line : trail) {
            result.push_back(line.event.kind);
        }
        return result;
    }
};

} // namespace kqvdr::remote
