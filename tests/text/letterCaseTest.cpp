#include "text/letterCase.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// 81 41 and 81 61 are characters whose second byte is an ASCII letter.

TEST(LetterCase, ChangesOnlyAsciiLettersThatStartACharacter) {
    EXPECT_EQ(toLowerCase("ABC\xD6\xD0Zz1"), "abc\xD6\xD0zz1");
    EXPECT_EQ(toUpperCase("abc\xD6\xD0zZ1"), "ABC\xD6\xD0ZZ1");
    EXPECT_EQ(toLowerCase("\x81\x41"
                          "A"),
              "\x81\x41"
              "a");
    EXPECT_EQ(toUpperCase("\x81\x61"
                          "a"),
              "\x81\x61"
              "A");
    EXPECT_EQ(toUpperCase("a\xD6"), "A\xD6");
    EXPECT_EQ(toLowerCase(""), "");
}

} // namespace
} // namespace velmora
