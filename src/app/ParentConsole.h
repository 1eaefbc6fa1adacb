#pragma once

namespace kqvdr {

// A Windows window program has no console of its own, so --help, --version and --analyze
// would print nowhere: it writes to the console it was started from, when there is one and
// its output is not already going to a file or pipe. Does nothing elsewhere.
void useParentConsole();

} // namespace kqvdr
