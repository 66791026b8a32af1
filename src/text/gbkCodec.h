#pragma once

#include <string>
#include <string_view>

// Conversions between code page 936, UTF-8 and UTF-16 over tables taken once from glibc iconv.
// Invalid input never stops a conversion:
// - code page 936: a byte pair in the two-byte range that has no character, a byte of 0x80 or
//   above that no valid second byte follows (the second byte is then read on its own) and a
//   lead byte at the very end each read as U+FFFD;
// - UTF-8: each maximal ill-formed subsequence (the Unicode "maximal subpart" rule: an
//   unexpected byte ends it and is read again as the start of the next character) reads as
//   U+FFFD; overlong forms, encoded surrogates and values above U+10FFFF are ill-formed;
// - UTF-16: an unpaired surrogate reads as U+FFFD.
// Writing code page 936, every character it cannot hold (U+FFFD and everything beyond the BMP
// included) becomes one "?".
namespace velmora::detail {

/// Appends the code page 936 text as UTF-8 (always well-formed) to `out`.
void appendGbkAsUtf8(std::string_view gbk, std::string& out);

/// Appends the UTF-8 text as code page 936 to `out`.
void appendUtf8AsGbk(std::string_view utf8, std::string& out);

/// Appends the UTF-16 text as code page 936 to `out`.
void appendUtf16AsGbk(std::u16string_view utf16, std::string& out);

/// The code page 936 text as UTF-16.
std::u16string gbkToUtf16(std::string_view gbk);

/// The UTF-8 text as UTF-16.
std::u16string utf8ToUtf16(std::string_view utf8);

/// The UTF-16 text as UTF-8.
std::string utf16ToUtf8(std::u16string_view utf16);

/// The offset in `gbk` of the character that begins at `utf8Offset` of the text that
/// appendGbkAsUtf8 makes of it (the end of `gbk` for an offset at or past the end).
std::size_t gbkOffsetOfUtf8Offset(std::string_view gbk, std::size_t utf8Offset);

} // namespace velmora::detail
