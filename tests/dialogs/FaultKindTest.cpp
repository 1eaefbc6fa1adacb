#include "FaultKind.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(FaultKind, EachFaultWordBitHasItsLogCodeWhileOpenAndOnceCleared) {
    struct Row {
        std::string_view open;
        std::string_view cleared;
    };
    // The trailing blank of "OT " and "TC " while open is what the log lines carry.
    const Row expected[kFaultKindCount] = {
        {"GAS", "GAS"}, {"NEB", "NEB"}, {"EVP", "EVP"},   {"EXH", "EXH"}, {"VAP", "VAP"},
        {"LMP", "LMP"}, {"FAN", "FAN"}, {"CSM", "CSM"},   {"PDT", "PDT"}, {"OT ", "OT"},
        {"PIC", "PIC"}, {"TC ", "TC"},  {"VDEV", "VDEV"},
    };
    for (int index = 0; index < kFaultKindCount; ++index) {
        SCOPED_TRACE(index);
        const FaultKind* kind = faultKind(index);
        ASSERT_NE(kind, nullptr);
        EXPECT_EQ(kind->index, index);
        EXPECT_EQ(kind->openCode, expected[index].open);
        EXPECT_EQ(kind->clearedCode, expected[index].cleared);
    }
}

TEST(FaultKind, OnlyTheVapourDeviceFaultSelectsTheDeviceVariantOfTheSharedDialog) {
    for (const FaultKind& kind : faultKinds()) {
        SCOPED_TRACE(kind.index);
        EXPECT_EQ(kind.dialog == FaultDialogId::Vapour, kind.index == 4 || kind.index == 12);
        EXPECT_EQ(kind.deviceError, kind.index == 12);
    }
}

TEST(FaultKind, BitsOutsideTheThirteenKindsHaveNoKind) {
    for (int index : {-1, 13, 14, 15, 1000}) {
        EXPECT_EQ(faultKind(index), nullptr) << index;
    }
}

} // namespace
} // namespace kqvdr
