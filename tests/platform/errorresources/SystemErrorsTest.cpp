#include <gtest/gtest.h>

#include "platform/errorresources/ErrorMapper.h"
#include "platform/errorresources/SystemErrors.h"

namespace {

const std::string prefix = "System error message: ";

class FixedMapper : public ErrorMapper {
public:
    explicit FixedMapper(bool found) : _found(found) {}
    std::pair<bool, std::string> lookup(int) const override { return {_found, "Mapped text"}; }

private:
    bool _found;
};

TEST(SystemErrors, UnknownCodeNamesTheCodeInSignedDecimal) {
    EXPECT_EQ(prefix + "The string representation of the error code [-5] was not found.\r\n",
              SystemErrors::map(-5));
    EXPECT_EQ(prefix + "The string representation of the error code [987654] was not found.\r\n",
              SystemErrors::map(987654));
}

TEST(SystemErrors, FallbackMapperIsAskedOnlyForUnknownCodes) {
    FixedMapper found(true), notFound(false);
    EXPECT_EQ(prefix + "Mapped text\r\n", SystemErrors::map(-5, &found));
    EXPECT_EQ(SystemErrors::map(-5), SystemErrors::map(-5, &notFound));
    EXPECT_EQ(SystemErrors::map(2), SystemErrors::map(2, &found));
}

TEST(SystemErrors, KnownCodesKeepTheSystemTextWithItsLineEnd) {
    for (int code : {0, 2, 3, 5}) {
        std::string text = SystemErrors::map(code);
        ASSERT_EQ(0u, text.find(prefix)) << code;
        ASSERT_GT(text.size(), prefix.size() + 1) << code;
        EXPECT_EQ('\n', text.back()) << code;
        EXPECT_EQ(std::string::npos, text.find("was not found")) << code;
    }
    EXPECT_NE(SystemErrors::map(2), SystemErrors::map(5));
}

}  // namespace
