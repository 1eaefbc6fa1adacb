#include "Base64.h"
#include "SiLAFramework.pb.h"
#include "SilaErrorBytes.h"
#include "SilaStatus.h"

#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

namespace sila = sila2::org::silastandard;

// What a client does with a failed call: the status must be ABORTED and its message the base64
// of a SiLAError of the right kind.
sila::SiLAError decoded(const grpc::Status& status) {
    EXPECT_EQ(status.error_code(), grpc::StatusCode::ABORTED);
    const auto bytes = base64Decode(status.error_message());
    EXPECT_TRUE(bytes.has_value()) << status.error_message();
    sila::SiLAError error;
    EXPECT_TRUE(error.ParseFromString(bytes.value_or("")));
    return error;
}

TEST(SilaStatus, CarriesEachKindOfFailureAsItsOwnSilaError) {
    const auto validation =
        decoded(silaStatus(validationError("a/b/v1/Command/C/Parameter/P", "too big")));
    ASSERT_TRUE(validation.has_validationerror());
    EXPECT_EQ(validation.validationerror().parameter(), "a/b/v1/Command/C/Parameter/P");
    EXPECT_EQ(validation.validationerror().message(), "too big");

    const auto defined = decoded(silaStatus(definedError("a/b/v1/DefinedExecutionError/E", "no")));
    ASSERT_TRUE(defined.has_definedexecutionerror());
    EXPECT_EQ(defined.definedexecutionerror().erroridentifier(), "a/b/v1/DefinedExecutionError/E");

    const auto undefined = decoded(silaStatus(undefinedError("broke")));
    ASSERT_TRUE(undefined.has_undefinedexecutionerror());
    EXPECT_EQ(undefined.undefinedexecutionerror().message(), "broke");

    const auto framework =
        decoded(frameworkStatus(FrameworkErrorType::ExecutionNotFinished, "later"));
    ASSERT_TRUE(framework.has_frameworkerror());
    EXPECT_EQ(framework.frameworkerror().errortype(),
              sila::FrameworkError::COMMAND_EXECUTION_NOT_FINISHED);
}

TEST(SilaStatus, EachFrameworkErrorTypeIsTheStandardsEnumValue) {
    const struct {
        FrameworkErrorType type;
        sila::FrameworkError::ErrorType wire;
    } cases[] = {
        {FrameworkErrorType::CommandExecutionNotAccepted,
         sila::FrameworkError::COMMAND_EXECUTION_NOT_ACCEPTED},
        {FrameworkErrorType::InvalidExecutionUuid,
         sila::FrameworkError::INVALID_COMMAND_EXECUTION_UUID},
        {FrameworkErrorType::ExecutionNotFinished,
         sila::FrameworkError::COMMAND_EXECUTION_NOT_FINISHED},
        {FrameworkErrorType::InvalidMetadata, sila::FrameworkError::INVALID_METADATA},
        {FrameworkErrorType::NoMetadataAllowed, sila::FrameworkError::NO_METADATA_ALLOWED},
    };
    for (const auto& c : cases) {
        const auto error = decoded(silaStatus(frameworkError(c.type, "why")));
        ASSERT_TRUE(error.has_frameworkerror()) << c.wire;
        EXPECT_EQ(error.frameworkerror().errortype(), c.wire);
        EXPECT_EQ(error.frameworkerror().message(), "why");
    }
}

TEST(SilaStatus, AMissingParameterIsAValidationErrorNamingIt) {
    const auto error =
        decoded(silaStatus(missingParameter("a.b/c/F/v1/Command/SetTransferLine/Parameter/On")));
    ASSERT_TRUE(error.has_validationerror());
    EXPECT_EQ(error.validationerror().parameter(),
              "a.b/c/F/v1/Command/SetTransferLine/Parameter/On");
    EXPECT_EQ(error.validationerror().message(), "The parameter On is missing.");
}

// The generated code's own message for a failure, field by field: what the hand-made bytes must
// equal.
sila::SiLAError generated(const SilaFailure& failure) {
    sila::SiLAError error;
    switch (failure.kind) {
    case SilaFailure::Kind::Validation:
        error.mutable_validationerror()->set_parameter(failure.identifier);
        error.mutable_validationerror()->set_message(failure.message);
        break;
    case SilaFailure::Kind::DefinedExecution:
        error.mutable_definedexecutionerror()->set_erroridentifier(failure.identifier);
        error.mutable_definedexecutionerror()->set_message(failure.message);
        break;
    case SilaFailure::Kind::UndefinedExecution:
        error.mutable_undefinedexecutionerror()->set_message(failure.message);
        break;
    case SilaFailure::Kind::Framework:
        error.mutable_frameworkerror()->set_errortype(static_cast<sila::FrameworkError::ErrorType>(
            frameworkErrorTypeNumber(failure.framework)));
        error.mutable_frameworkerror()->set_message(failure.message);
        break;
    }
    return error;
}

TEST(SilaErrorBytes, AreExactlyWhatTheGeneratedCodeWritesAndReadsBack) {
    std::vector<SilaFailure> failures = {
        validationError("a/b/v1/Command/C/Parameter/P", "too big"),
        validationError("", ""),
        validationError("a/b/v1/Command/C/Parameter/P", ""),
        validationError("", "only a message"),
        definedError("a/b/v1/DefinedExecutionError/E", "no"),
        definedError("", ""),
        undefinedError("broke"),
        undefinedError(""),
        undefinedError(
            "Der Lauf wurde abgebrochen: \xc3\xa4\xc3\xb6 \xe6\xb8\xac \xf0\x9f\xa7\xaa"),
        frameworkError(FrameworkErrorType::NoMetadataAllowed, ""),
    };
    for (const std::size_t size : {127u, 128u, 16383u, 16384u, 70000u}) {
        failures.push_back(undefinedError(std::string(size, 'x')));
        failures.push_back(validationError(std::string(size, 'p'), std::string(size + 1, 'm')));
    }
    for (const FrameworkErrorType type :
         {FrameworkErrorType::CommandExecutionNotAccepted, FrameworkErrorType::InvalidExecutionUuid,
          FrameworkErrorType::ExecutionNotFinished, FrameworkErrorType::InvalidMetadata,
          FrameworkErrorType::NoMetadataAllowed}) {
        failures.push_back(frameworkError(type, "why"));
    }
    for (const SilaFailure& failure : failures) {
        const std::string what = std::to_string(static_cast<int>(failure.kind)) + " " +
                                 failure.identifier.substr(0, 40) + ": " +
                                 failure.message.substr(0, 40);
        const sila::SiLAError expected = generated(failure);
        const std::string bytes = silaErrorBytes(failure);
        EXPECT_EQ(bytes, expected.SerializeAsString()) << what;
        sila::SiLAError parsed;
        ASSERT_TRUE(parsed.ParseFromString(bytes)) << what;
        EXPECT_EQ(parsed.SerializeAsString(), expected.SerializeAsString()) << what;
        EXPECT_EQ(parsed.error_case(), expected.error_case()) << what;
    }
}

TEST(SilaErrorBytes, TextThatIsNotUtf8StillReachesTheClientRepaired) {
    const struct {
        SilaFailure failure;
        std::string parameter;
        std::string message;
    } cases[] = {
        {undefinedError("Zugriff verweigert: \xe4"), "", "Zugriff verweigert: \xef\xbf\xbd"},
        {validationError("P\x80", "cut \xe6\xb8"), "P\xef\xbf\xbd", "cut \xef\xbf\xbd\xef\xbf\xbd"},
    };
    for (const auto& c : cases) {
        sila::SiLAError parsed;
        ASSERT_TRUE(parsed.ParseFromString(silaErrorBytes(c.failure))) << c.message;
        if (parsed.has_validationerror()) {
            EXPECT_EQ(parsed.validationerror().parameter(), c.parameter);
            EXPECT_EQ(parsed.validationerror().message(), c.message);
        } else {
            ASSERT_TRUE(parsed.has_undefinedexecutionerror());
            EXPECT_EQ(parsed.undefinedexecutionerror().message(), c.message);
        }
    }
}

TEST(SilaStatus, SuccessIsPlainOk) {
    EXPECT_TRUE(statusOf(std::nullopt).ok());
}

} // namespace
} // namespace kqvdr::remote
