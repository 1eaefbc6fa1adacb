#pragma once

namespace kqvdr {

// While this object lives, the installer can tell that the program is running, in any session
// of the PC (a system-wide named mutex on Windows), and refuses to replace it. Does nothing
// elsewhere.
class RunningMark {
public:
    RunningMark();
    ~RunningMark();
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

private:
    [[maybe_unused]] void* handle_ = nullptr;
};

} // namespace kqvdr
