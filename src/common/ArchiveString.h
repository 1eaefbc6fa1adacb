#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kqvdr {

// The length-prefixed string format of every data file: one length byte below 255, else 0xFF
// and a 16-bit little-endian length below 0xFFFE, else 0xFF, 0xFFFF and a 32-bit length.
// Characters are Windows-1252 on disk and UTF-8 in memory.
class ArchiveWriter {
public:
    void writeString(std::string_view utf8);
    void writeNumber(long long value);

    const std::string& bytes() const { return bytes_; }

private:
    void writeLength(std::uint64_t length);

    std::string bytes_;
};

// Reads strings from a byte buffer without ever reading past its end: a length that runs beyond
// the data is a damaged archive, reported as an empty optional.
class ArchiveReader {
public:
    explicit ArchiveReader(std::string_view bytes) : bytes_(bytes) {}

    std::optional<std::string> readString();

    // Reads exactly count strings, or nothing when the data is damaged or too short.
    std::optional<std::vector<std::string>> readStrings(std::size_t count);

    std::size_t remaining() const { return bytes_.size() - pos_; }

private:
    std::optional<std::uint64_t> readLength();
    std::optional<std::uint64_t> readLittleEndian(int byteCount);

    std::string_view bytes_;
    std::size_t pos_ = 0;
};

} // namespace kqvdr
