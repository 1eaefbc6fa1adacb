#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kqvdr::remote {

// Standard alphabet with padding, as a SiLA error travels in a gRPC status message.
std::string base64Encode(std::string_view bytes);
// Nothing when the text is not padded base64 of the standard alphabet.
std::optional<std::string> base64Decode(std::string_view text);

} // namespace kqvdr::remote
