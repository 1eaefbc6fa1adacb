#pragma once

#include "SilaFailure.h"

#include <string>

namespace kqvdr::remote {

// The serialised SiLAFramework.SiLAError for a failure, as the generated protocol buffer code
// writes it, so that the status of a failed call can be made without that code. Text that is
// not UTF-8 is repaired (U+FFFD for each stray byte): a proto3 string that is not UTF-8 makes a
// client refuse the whole error, and with it the reason the call failed.
std::string silaErrorBytes(const SilaFailure& failure);

// The number of FrameworkError.ErrorType the type has on the wire.
int frameworkErrorTypeNumber(FrameworkErrorType type);

} // namespace kqvdr::remote
