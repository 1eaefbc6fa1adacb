#include "SilaErrorBytes.h"

#include "ServerName.h"

#include <cstdint>
#include <string_view>

namespace kqvdr::remote {
namespace {

// The fields of SiLAError's oneof and of the messages in it.
enum SilaErrorField : std::uint32_t {
    kValidation = 1,
    kDefinedExecution = 2,
    kUndefinedExecution = 3,
    kFramework = 4,
};

enum WireType : std::uint32_t { kVarint = 0, kLengthDelimited = 2 };

void appendVarint(std::string& out, std::uint64_t value) {
    while (value >= 0x80) {
        out += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

void appendKey(std::string& out, std::uint32_t field, WireType type) {
    appendVarint(out, (std::uint64_t{field} << 3) | type);
}

void appendBytes(std::string& out, std::uint32_t field, std::string_view bytes) {
    appendKey(out, field, kLengthDelimited);
    appendVarint(out, bytes.size());
    out.append(bytes);
}

// proto3 leaves a field at its default out; the generated code writes fields by number.
void appendText(std::string& out, std::uint32_t field, std::string_view text) {
    if (!text.empty()) {
        appendBytes(out, field, repairedUtf8(text));
    }
}

void appendNumber(std::string& out, std::uint32_t field, std::uint64_t value) {
    if (value != 0) {
        appendKey(out, field, kVarint);
        appendVarint(out, value);
    }
}

} // namespace

int frameworkErrorTypeNumber(FrameworkErrorType type) {
    switch (type) {
    case FrameworkErrorType::CommandExecutionNotAccepted:
        return 0;
    case FrameworkErrorType::InvalidExecutionUuid:
        return 1;
    case FrameworkErrorType::ExecutionNotFinished:
        return 2;
    case FrameworkErrorType::InvalidMetadata:
        return 3;
    case FrameworkErrorType::NoMetadataAllowed:
        return 4;
    }
    return 0;
}

std::string silaErrorBytes(const SilaFailure& failure) {
    std::string body;
    std::uint32_t field = kUndefinedExecution;
    switch (failure.kind) {
    case SilaFailure::Kind::Validation:
        field = kValidation;
        appendText(body, 1, failure.identifier); // parameter
        appendText(body, 2, failure.message);
        break;
    case SilaFailure::Kind::DefinedExecution:
        field = kDefinedExecution;
        appendText(body, 1, failure.identifier); // errorIdentifier
        appendText(body, 2, failure.message);
        break;
    case SilaFailure::Kind::UndefinedExecution:
        appendText(body, 1, failure.message);
        break;
    case SilaFailure::Kind::Framework:
        field = kFramework;
        appendNumber(body, 1,
                     static_cast<std::uint64_t>(frameworkErrorTypeNumber(failure.framework)));
        appendText(body, 2, failure.message);
        break;
    }
    // The chosen member of the oneof is written even when all its fields are at their defaults.
    std::string error;
    appendBytes(error, field, body);
    return error;
}

} // namespace kqvdr::remote
