#pragma once

#include "SleepInhibitor.h"

#include <functional>
#include <vector>

namespace kqvdr::test {

// Every hold and release in order: true for a hold.
class RecordingSleepInhibitor final : public SleepInhibitor {
public:
    void hold() override { record(true); }
    void release() override { record(false); }

    std::vector<bool> calls;
    std::function<void(bool held)> onCall;

private:
    void record(bool held) {
        calls.push_back(held);
        if (onCall) {
            onCall(held);
        }
    }
};

} // namespace kqvdr::test
