#pragma once

namespace kqvdr {

// A Windows window program has no console of its own, so --help, --version and --analyze would
// print nowhere. For those runs only, each standard stream that is not already going to a file
// or pipe is sent to the console the program was started from, which then takes UTF-8; the
// console's code page is put back when this object goes. A window run never attaches, so
// closing that console does not end it. Does nothing elsewhere.
class ParentConsole {
public:
    ParentConsole();
    ~ParentConsole();
    ParentConsole(const ParentConsole&) = delete;
    ParentConsole& operator=(const ParentConsole&) = delete;

private:
    [[maybe_unused]] unsigned int previousCodePage_ = 0;
};

} // namespace kqvdr
