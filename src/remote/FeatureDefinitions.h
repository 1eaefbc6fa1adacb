#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kqvdr::remote {

// One served feature: its fully qualified identifier and its definition (FDL) as built in.
struct FeatureDefinition {
    std::string_view identifier;
    std::string_view xml;
};

// The features this server implements, SiLAService first. Built into the program from the
// files under data/sila, so the definitions served are always those the server was built with.
const std::vector<FeatureDefinition>& featureDefinitions();

} // namespace kqvdr::remote
