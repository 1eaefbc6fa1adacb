#pragma once

#include <string_view>

namespace kqvdr::remote {

// A system test log's name as the program gives it in its data folder: "003_" or "M03_", three
// digits and ".log". A bare name: nothing that could lead out of the folder passes.
bool isTestLogName(std::string_view name);

} // namespace kqvdr::remote
