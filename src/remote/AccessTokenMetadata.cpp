#include "AccessTokenMetadata.h"

#include "AccessTokens.h"
#include "Authorizer.h"
#include "FeatureDefinitions.h"
#include "Sha256.h"

#include <variant>

namespace kqvdr::remote {

std::vector<std::string> featuresNeedingToken() {
    std::vector<std::string> features;
    for (const FeatureDefinition& feature : featureDefinitions()) {
        if (featureNeedsToken(feature.identifier)) {
            features.emplace_back(feature.identifier);
        }
    }
    return features;
}

MetadataGate::Declaration accessTokenDeclaration(AccessTokens& tokens) {
    auto validate =
        [authorizer = Authorizer(tokens)](std::string_view call, std::string_view value,
                                          MetadataGate::Admission& admission) mutable -> Outcome {
        const std::optional<std::string> token = stringMetadataValue(value);
        if (!token) {
            return frameworkError(FrameworkErrorType::InvalidMetadata,
                                  std::string("The metadata ") + kAccessTokenMetadata +
                                      " is not a String message.");
        }
        auto checked = authorizer.check(*token, call);
        if (auto* refused = std::get_if<SilaFailure>(&checked)) {
            return std::move(*refused);
        }
        const Caller& caller = std::get<Caller>(checked);
        admission.facts[kUserFact] = caller.name;
        admission.facts[kRoleFact] = roleName(caller.role);
        admission.facts[kSessionFact] = Sha256::hex(Sha256::of(*token));
        return std::nullopt;
    };
    return {kAccessTokenMetadata, featuresNeedingToken(), std::move(validate)};
}

} // namespace kqvdr::remote
