#include "http/headerLines.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(HeaderLines, SplitAtTheFirstColonAndTrim) {
    struct Case {
        const char* line;
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {"Location: http://example.com:8080/x", "Location", "http://example.com:8080/x"},
        {"  Set-Cookie :  a=1; path=/  ", "Set-Cookie", "a=1; path=/"},
        {"X-Empty:", "X-Empty", ""},
        {":value", "", "value"},
        {"no colon at all", "", ""},
        {"", "", ""},
        // Full-width spaces (A1 A1) are trimmed as well.
        {"\xA1\xA1Name\xA1\xA1:\xA1\xA1v\xA1\xA1", "Name", "v"},
        // A colon as the second byte of a two-byte character is not a separator.
        {"\x81:a: b", "\x81:a", "b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(headerName(c.line), c.name);
        EXPECT_EQ(headerValue(c.line), c.value);
    }
}

} // namespace
} // namespace velmora
