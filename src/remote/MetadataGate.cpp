#include "MetadataGate.h"

#include "FeatureIdentifier.h"
#include "FeatureIds.h"
#include "SiLAFramework.pb.h"

#include <algorithm>
#include <grpcpp/server_context.h>

namespace kqvdr::remote {
namespace {

namespace sila = sila2::org::silastandard;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && sameIdentifier(text.substr(0, prefix.size()), prefix);
}

// "originator/category/Feature/v1" of a command's or property's fully qualified identifier.
std::string_view featureOf(std::string_view call) {
    std::size_t at = 0;
    for (int slashes = 0; slashes < 4; ++slashes) {
        at = call.find('/', at);
        if (at == std::string_view::npos) {
            return call;
        }
        ++at;
    }
    return call.substr(0, at - 1);
}

bool affects(const MetadataGate::Declaration& declaration, std::string_view call) {
    const std::string_view feature = featureOf(call);
    return std::any_of(
        declaration.affects.begin(), declaration.affects.end(), [&](const std::string& affected) {
            return sameIdentifier(affected, call) || sameIdentifier(affected, feature);
        });
}

bool isSilaMetadataKey(std::string_view key) {
    return startsWithIgnoringCase(key, "sila-");
}

} // namespace

void MetadataGate::declare(Declaration declaration) {
    declarations_.push_back(std::move(declaration));
}

std::vector<std::string> MetadataGate::affectedBy(std::string_view metadataIdentifier) const {
    for (const Declaration& declaration : declarations_) {
        if (sameIdentifier(declaration.identifier, metadataIdentifier)) {
            return declaration.affects;
        }
    }
    return {};
}

std::string MetadataGate::headerKey(std::string_view metadataIdentifier) {
    std::string key = "sila-";
    for (const char c : metadataIdentifier) {
        key += c == '/' ? '-' : lower(c);
    }
    return key + "-bin";
}

Outcome MetadataGate::admit(std::string_view call, const Headers& headers,
                            Admission& admission) const {
    if (startsWithIgnoringCase(call, std::string(kSilaServiceFeature) + "/")) {
        for (const auto& [key, value] : headers) {
            if (isSilaMetadataKey(key)) {
                return frameworkError(FrameworkErrorType::NoMetadataAllowed,
                                      "SiLAService calls take no SiLA client metadata, but \"" +
                                          std::string(key) + "\" was sent; send it without.");
            }
        }
        return std::nullopt;
    }
    for (const Declaration& declaration : declarations_) {
        if (!affects(declaration, call)) {
            continue;
        }
        const std::string key = headerKey(declaration.identifier);
        const auto sent = std::find_if(headers.begin(), headers.end(), [&](const auto& header) {
            return sameIdentifier(header.first, key);
        });
        if (sent == headers.end() && declaration.absent) {
            if (Outcome refused = declaration.absent(call, admission)) {
                return refused;
            }
            continue;
        }
        if (sent == headers.end()) {
            return frameworkError(FrameworkErrorType::InvalidMetadata,
                                  "The call needs the SiLA client metadata " +
                                      declaration.identifier + " (header \"" + key + "\").");
        }
        if (declaration.validate) {
            if (Outcome refused = declaration.validate(call, sent->second, admission)) {
                return refused;
            }
        }
    }
    return std::nullopt;
}

Outcome MetadataGate::admit(const grpc::ServerContext& context, std::string_view call,
                            Admission& admission) const {
    admission.facts["peer"] = context.peer();
    Headers headers;
    for (const auto& [key, value] : context.client_metadata()) {
        headers.emplace_back(std::string_view(key.data(), key.size()),
                             std::string_view(value.data(), value.size()));
    }
    return admit(call, headers, admission);
}

Outcome MetadataGate::admit(const grpc::ServerContext& context, std::string_view call) const {
    Admission admission;
    return admit(context, call, admission);
}

std::optional<std::string> stringMetadataValue(std::string_view bytes) {
    // Metadata_<Identifier> holds one field, number 1, the String message; read as a Binary its
    // field 1 is those bytes whatever they hold, so a wrong type shows as a missing value.
    sila::Binary outer;
    if (!outer.ParseFromArray(bytes.data(), static_cast<int>(bytes.size())) || !outer.has_value()) {
        return std::nullopt;
    }
    sila::String inner;
    if (!inner.ParseFromString(outer.value())) {
        return std::nullopt;
    }
    return inner.value();
}

} // namespace kqvdr::remote
