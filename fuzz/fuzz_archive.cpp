// Any bytes as an archive: reading never goes out of bounds, and whatever reads back writes to
// the same strings again.
#include "ArchiveString.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kqvdr::ArchiveReader reader(std::string_view(reinterpret_cast<const char*>(data), size));
    while (const auto text = reader.readString()) {
        kqvdr::ArchiveWriter writer;
        writer.writeString(*text);
        kqvdr::ArchiveReader again(writer.bytes());
        if (again.readString() != text) {
            std::abort();
        }
    }
    return 0;
}
