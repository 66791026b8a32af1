#include "text/bytes.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using namespace std::string_view_literals;

TEST(Bytes, TextToBytesKeepsEveryByte) {
    EXPECT_TRUE(textToBytes("").empty());
    EXPECT_EQ(textToBytes("a\xD6\xD0"), "a\xD6\xD0");
}

TEST(Bytes, BytesToTextStopsAtTheFirstZeroByte) {
    EXPECT_EQ(bytesToText("ab\0cd"sv), "ab");
    EXPECT_EQ(bytesToText("\0ab"sv), "");
    EXPECT_EQ(bytesToText("abc"), "abc");
    EXPECT_EQ(bytesToText(""), "");
}

TEST(Bytes, CharFromCodeGivesOneByteAndNothingForZero) {
    EXPECT_EQ(charFromCode(65), "A");
    EXPECT_EQ(charFromCode(0xD6), "\xD6");
    EXPECT_EQ(charFromCode(0), "");
    EXPECT_EQ(charFromCode(256), "");
    EXPECT_EQ(charFromCode(-1), "");
    EXPECT_EQ("abc" + charFromCode(0), "abc");
}

TEST(Bytes, BlankTextGivesSpaces) {
    EXPECT_EQ(blankText(3), "   ");
    EXPECT_EQ(blankText(0), "");
    EXPECT_EQ(blankText(-2), "");
}

} // namespace
} // namespace velmora
