#include "ArchiveString.h"

#include "Windows1252.h"

namespace kqvdr {

void ArchiveWriter::writeString(std::string_view utf8) {
    const std::string encoded = windows1252FromUtf8(utf8);
    writeLength(encoded.size());
    bytes_ += encoded;
}

void ArchiveWriter::writeNumber(long long value) {
    writeString(std::to_string(value));
}

void ArchiveWriter::writeLength(std::uint64_t length) {
    const auto put = [this](std::uint64_t value, int byteCount) {
        for (int i = 0; i < byteCount; ++i) {
            bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    if (length < 0xFF) {
        put(length, 1);
        return;
    }
    put(0xFF, 1);
    if (length < 0xFFFE) {
        put(length, 2);
        return;
    }
    put(0xFFFF, 2);
    put(length, 4);
}

std::optional<std::uint64_t> ArchiveReader::readLittleEndian(int byteCount) {
    if (remaining() < static_cast<std::size_t>(byteCount)) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (int i = 0; i < byteCount; ++i) {
        value |= std::uint64_t{static_cast<unsigned char>(bytes_[pos_ + i])} << (8 * i);
    }
    pos_ += byteCount;
    return value;
}

std::optional<std::uint64_t> ArchiveReader::readLength() {
    const auto shortLength = readLittleEndian(1);
    if (!shortLength || *shortLength < 0xFF) {
        return shortLength;
    }
    const auto mediumLength = readLittleEndian(2);
    if (!mediumLength || *mediumLength < 0xFFFE) {
        return mediumLength;
    }
    // 0xFFFE marks a wide-character string, which no file of ours holds.
    if (*mediumLength == 0xFFFE) {
        return std::nullopt;
    }
    return readLittleEndian(4);
}

std::optional<std::string> ArchiveReader::readString() {
    const std::size_t start = pos_;
    const auto length = readLength();
    if (!length || *length > remaining()) {
        pos_ = start;
        return std::nullopt;
    }
    const auto text = bytes_.substr(pos_, static_cast<std::size_t>(*length));
    pos_ += text.size();
    return utf8FromWindows1252(text);
}

std::optional<std::vector<std::string>> ArchiveReader::readStrings(std::size_t count) {
    std::vector<std::string> strings;
    strings.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto text = readString();
        if (!text) {
            return std::nullopt;
        }
        strings.push_back(std::move(*text));
    }
    return strings;
}

} // namespace kqvdr
