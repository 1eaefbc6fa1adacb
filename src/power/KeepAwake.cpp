#include "KeepAwake.h"

#include "SleepInhibitor.h"
#include "TickHandoffs.h"

namespace kqvdr {

KeepAwake::KeepAwake(Watched watched, SleepInhibitor& inhibitor)
    : watched_(watched), inhibitor_(inhibitor) {}

KeepAwake::~KeepAwake() {
    follow(false);
}

void KeepAwake::linkOpened() {
    linkOpen_ = true;
    tick();
}

void KeepAwake::linkClosed() {
    linkOpen_ = false;
    follow(false);
}

void KeepAwake::tick() {
    follow(linkOpen_ && (watched_.log.loggingActive() || watched_.automation.running() ||
                         watched_.systemTest.running()));
}

void KeepAwake::follow(bool wanted) {
    if (wanted == holding_) {
        return;
    }
    holding_ = wanted;
    if (wanted) {
        inhibitor_.hold();
    } else {
        inhibitor_.release();
    }
}

} // namespace kqvdr
