#pragma once

#include <string>

namespace kqvdr::remote {

// The SHA-256 fingerprint of a PEM certificate as browsers show it ("AB:CD:..."), or an empty
// text when the PEM holds no certificate.
std::string certificateFingerprint(const std::string& certificatePem);

} // namespace kqvdr::remote
