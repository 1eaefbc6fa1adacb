// Any bytes as usage.txt: the reader never goes out of bounds, and whatever it reads writes out
// to a file that reads back the same, with nothing damaged in it.
#include "InstrumentUsage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t damaged = 0;
    const auto instruments = kqvdr::parseUsageFile(text, damaged);
    std::size_t damagedAgain = 0;
    const auto again = kqvdr::parseUsageFile(kqvdr::usageFileText(instruments), damagedAgain);
    if (again != instruments || damagedAgain != 0) {
        std::abort();
    }
    return 0;
}
