#pragma once

#include <string>
#include <string_view>

namespace velmora::market {

/// UTF-8 text in code page 936; a character the code page lacks becomes "?".
std::string utf8ToGbk(std::string_view utf8);

/// Code page 936 bytes as UTF-8; an invalid byte becomes U+FFFD.
std::string gbkToUtf8(std::string_view gbk);

} // namespace velmora::market
