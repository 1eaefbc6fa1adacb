#include "Base64.h"
#include "SiLAFramework.pb.h"
#include "SilaStatus.h"

#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

namespace sila = sila2::org::silastandard;

TEST(Base64, EncodesAndDecodesEveryPaddingLengthAndAllByteValues) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {std::string("\0\xff\x10", 3), "AP8Q"},
        {"\xfb\xff", "+/8="},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(base64Encode(c.bytes), c.text) << c.text;
        EXPECT_EQ(base64Decode(c.text), c.bytes) << c.text;
    }
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    EXPECT_EQ(base64Decode(base64Encode(all)), all);
}

TEST(Base64, RefusesTextThatIsNotPaddedBase64) {
    for (const char* text : {"Zg=", "Zg", "Z===", "Zm9v!A==", "Zg==Zg==", "=Zg="}) {
        EXPECT_FALSE(base64Decode(text).has_value()) << text;
    }
}

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

TEST(SilaStatus, SuccessIsPlainOk) {
    EXPECT_TRUE(statusOf(std::nullopt).ok());
}

} // namespace
} // namespace kqvdr::remote
