#include <gtest/gtest.h>

#include "util/Helpers.h"

namespace {

TEST(Helpers, FormatNumberGivesDecimalTextAcrossTheWholeRange) {
    EXPECT_EQ("-5", formatNumber(-5));
    EXPECT_EQ("0", formatNumber(0));
    EXPECT_EQ("4294967295", formatNumber(4294967295u));
    EXPECT_EQ("-2147483648", formatNumber(static_cast<int>(-2147483647 - 1)));
}

}  // namespace
