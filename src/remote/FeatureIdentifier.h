#pragma once

#include <string_view>

namespace kqvdr::remote {

// "originator/category/FeatureIdentifier/vMajor", letters taken in either case: the standard
// compares identifiers without regard to case.
bool isFullyQualifiedFeatureIdentifier(std::string_view text);

// Identifiers and UUIDs are the same when they differ only in the case of ASCII letters.
bool sameIdentifier(std::string_view a, std::string_view b);

} // namespace kqvdr::remote
